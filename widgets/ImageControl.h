#pragma once
// The image control of every window: shows a picture it owns, either at the
// picture's natural size (stretch off: the control takes that size) or
// scaled to the control's own size (stretch on). It carries a free tag text
// and reports clicks.

#include <QImage>
#include <QWidget>

class ImageControl : public QWidget {
    Q_OBJECT
public:
    explicit ImageControl(QWidget* parent = nullptr);

    const QImage& picture() const { return picture_; }
    bool hasPicture() const { return !picture_.isNull(); }
    void setPicture(const QImage& picture);
    void clearPicture();

    bool stretch() const { return stretch_; }
    void setStretch(bool on);

    const QString& tag() const { return tag_; }
    void setTag(const QString& tag) { tag_ = tag; }

    // The control's own visibility flag, whatever its parent's state.
    bool isShownFlag() const { return !isHidden(); }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void takeNaturalSize();

    QImage picture_;
    bool stretch_ = false;
    bool pressed_ = false;
    QString tag_;
};
