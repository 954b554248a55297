#pragma once
// The editor's picture box: shows the picture one picture pixel to one screen
// pixel and carries the selection frame drawn over it in XOR. Drawing a
// figure a second time removes it, as with an XOR pen; the picture itself is
// never touched. Only the pixels of figures that change are repainted.

#include <QColor>
#include <QImage>
#include <QList>
#include <QRect>
#include <QWidget>

// The pixels of one frame figure, as rectangles in picture coordinates.
using Figure = QList<QRect>;

class PictureView : public QWidget {
    Q_OBJECT
public:
    explicit PictureView(QWidget* parent = nullptr);

    // The widget takes the picture's size.
    void setPicture(const QImage& picture);
    const QImage& picture() const { return picture_; }
    // Turns the picture by 180° in place; the frame figures, in picture
    // coordinates, stay where they are.
    void turnPicture();

    void setPenColor(QColor color) { pen_ = color; }
    // XOR the figure onto the view: present figures are removed, others added.
    void toggleFigure(const Figure& figure);
    const QList<Figure>& figures() const { return figures_; }

    // The picture as it is seen, frame included, for checks and screenshots.
    QImage rendered(const QRect& area) const;

signals:
    // Button masks as the framing handlers want them: 1 left, 2 right, 4 middle.
    void mouseDown(int buttons, float x, float y);
    void mouseMove(int buttons, float x, float y);
    void mouseUp(int button, float x, float y);
    // An arrow key pressed while the picture has the focus (a click gives
    // it); the view keeps the key, so focus does not move on.
    void arrowKey(int key, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void paintArea(QPainter& painter, const QRect& area) const;

    QImage picture_;
    QColor pen_;
    QList<Figure> figures_;
};

// The selection frame with its two grips for the box with corners
// (left, top) and (right, bottom): the outline, then for i = 1..8 the
// diagonal from (right - 1, bottom - i) towards (right - 1 - i, bottom) and
// from (left + 1, top + i) towards (left + 1 + i, top), end points excluded.
Figure SelectionFigure(int left, int top, int right, int bottom);
