#pragma once
// The push button of every window. It draws itself (caption with access key,
// picture placed by PicturePosition), clicks with the left mouse button, the
// space bar or Alt with its access key, and reports the click as Click.

#include "ButtonLayout.h"
#include "OleColor.h"

#include <QImage>
#include <QWidget>

class chameleonButton : public QWidget {
    Q_OBJECT
public:
    explicit chameleonButton(QWidget* parent = nullptr);

    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);
    // The access key derived from the caption, null when there is none.
    QChar AccessKey() const { return accessKey_; }

    // The control's own flag, whatever the state of the window around it.
    bool Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }
    bool Visible() const { return !isHidden(); }
    void Refresh();

    int ButtonType() const { return buttonType_; }
    void setButtonType(int type);
    int ColorScheme() const { return colorScheme_; }
    void setColorScheme(int scheme);
    OleColor BackColor() const { return backColor_; }
    void setBackColor(OleColor color);
    OleColor ForeColor() const { return foreColor_; }
    void setForeColor(OleColor color);
    QImage PictureNormal() const { return pictureNormal_; }
    void setPictureNormal(const QImage& picture);
    int PicturePosition() const { return picturePosition_; }
    void setPicturePosition(int position);

    const ButtonLayout& layout() const { return layout_; }

signals:
    void Click();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void calcLayout();
    void registerAccessKey();
    void fireClick();
    QColor faceColor() const;
    QColor textColor() const;

    QString caption_;
    QChar accessKey_;
    int shortcutId_ = 0;
    int buttonType_ = 2;
    int colorScheme_ = 1;
    OleColor backColor_ = 0;
    OleColor foreColor_ = 0;
    QImage pictureNormal_;
    int picturePosition_ = 0;
    ButtonLayout layout_;
    bool pressed_ = false;      // drawn pressed
    bool leftDown_ = false;     // left button went down over the control
    bool spaceDown_ = false;
};
