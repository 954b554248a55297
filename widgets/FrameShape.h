#pragma once
// A rectangle outline one pixel wide, drawn inside the control's box. Like a
// drawn shape it takes no mouse input: clicks go to the window behind it.

#include <QColor>
#include <QWidget>

class FrameShape : public QWidget {
    Q_OBJECT
public:
    explicit FrameShape(QWidget* parent = nullptr, QColor color = QColor(192, 192, 192));

    QColor color() const { return color_; }
    void setColor(QColor color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
};
