#pragma once
// The push button of every window. It draws itself in one of fifteen styles
// (ButtonType 0-14; the program uses 3), in one of four colour schemes,
// shows a hover look, can behave like a check box, and reports its events
// as signals, each raised before the button's own reaction. Event arguments
// are references: a handler may change them (a KeyDown handler that sets
// KeyCode to 0 cancels the key for the button). Mouse positions are in
// pixels.
//
// Enabled and Visible are the widget's own flags: setEnabled(), hide() and
// show() of QWidget set them, and the button redraws itself on the change.
// Font is the widget's font, set with setFont().
//
// Scheme 1 takes the desktop's colours from the widget palette (Active
// group): button face = Button, text = ButtonText, shadow = Dark, 3D light =
// Midlight, highlight = Light, 3D dark shadow = Shadow, selection =
// Highlight.

#include "ButtonColors.h"
#include "ButtonLayout.h"
#include "ButtonPicture.h"
#include "OleColor.h"

#include <QImage>
#include <QWidget>

class PropertyBag;

class chameleonButton : public QWidget {
    Q_OBJECT
public:
    static constexpr OleColor DefaultMaskColor = 12632256; // 192, 192, 192

    explicit chameleonButton(QWidget* parent = nullptr);

    // Properties, in the order the layouts know them.
    OleColor BackColor() const { return backColor_; }
    void setBackColor(OleColor color);
    OleColor BackOver() const { return backOver_; }
    void setBackOver(OleColor color);
    OleColor ForeColor() const { return foreColor_; }
    void setForeColor(OleColor color);
    OleColor ForeOver() const { return foreOver_; }
    void setForeOver(OleColor color);
    OleColor MaskColor() const { return maskColor_; }
    void setMaskColor(OleColor color);
    int ButtonType() const { return buttonType_; }
    void setButtonType(int type);
    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);
    bool Enabled() const { return !testAttribute(Qt::WA_ForceDisabled); }
    bool Visible() const { return !isHidden(); }
    QFont Font() const { return font(); }
    bool FontBold() const { return font().bold(); }
    void setFontBold(bool on);
    bool FontItalic() const { return font().italic(); }
    void setFontItalic(bool on);
    bool FontUnderline() const { return font().underline(); }
    void setFontUnderline(bool on);
    qint16 FontSize() const; // points, rounded to a whole number
    void setFontSize(qint16 points);
    QString FontName() const { return font().family(); }
    void setFontName(const QString& name);
    int ColorScheme() const { return colorScheme_; }
    void setColorScheme(int scheme);
    bool ShowFocusRect() const { return showFocusRect_; }
    void setShowFocusRect(bool on);
    qint16 MousePointer() const { return mousePointer_; }
    void setMousePointer(qint16 pointer); // 0 default, 1 arrow, ... 99 MouseIcon
    const ButtonPicture& MouseIcon() const { return mouseIcon_; }
    void setMouseIcon(const ButtonPicture& icon);
    bool HandPointer() const { return handPointer_; }
    void setHandPointer(bool on);
    QWidget* hwnd() { return this; }
    bool SoftBevel() const { return softBevel_; }
    void setSoftBevel(bool on);
    const ButtonPicture& PictureNormal() const { return pictureNormal_; }
    void setPictureNormal(const ButtonPicture& picture);
    const ButtonPicture& PictureOver() const { return pictureOver_; }
    void setPictureOver(const ButtonPicture& picture);
    int PicturePosition() const { return picturePosition_; }
    void setPicturePosition(int position);
    bool UseMaskColor() const { return useMaskColor_; }
    void setUseMaskColor(bool on);
    bool UseGreyscale() const { return useGreyscale_; }
    void setUseGreyscale(bool on);
    int SpecialEffect() const { return specialEffect_; }
    void setSpecialEffect(int effect);
    bool CheckBoxBehaviour() const { return checkBoxBehaviour_; }
    void setCheckBoxBehaviour(bool on);
    bool Value() const { return value_; }
    void setValue(bool on);
    static QString Version() { return QStringLiteral("2.0.6"); }

    // Stop painting until Refresh; Refresh recomputes colours and layout
    // (and for style 11 the background) and repaints once.
    void DisableRefresh();
    void Refresh();

    // The stored layout (see LayoutFile.h). ReadProperties takes absent keys
    // as their defaults; InitProperties makes a new button.
    void WriteProperties(PropertyBag& bag) const;
    void ReadProperties(const PropertyBag& bag);
    void InitProperties();

    // Set by the window that holds the button. In design mode BackColor and
    // ForeColor also set BackOver and ForeOver, and style 5 makes the font
    // bold. DisplayAsDefault marks the window's default button.
    bool DesignMode() const { return designMode_; }
    void setDesignMode(bool on) { designMode_ = on; }
    bool DisplayAsDefault() const { return displayAsDefault_; }
    void setDisplayAsDefault(bool on);

    // What the button derived and drew.
    QChar AccessKey() const { return accessKey_; }
    const ButtonLayout& layout() const { return layout_; }
    const ButtonPalette& colors() const { return colors_; }
    const QImage& surface() const { return surface_; }
    int lastState() const { return LastState; }
    bool mouseIsOver() const { return MouseIsOver; }

signals:
    void Click();
    void MouseDown(qint16& Button, qint16& Shift, float& X, float& Y);
    void MouseMove(qint16& Button, qint16& Shift, float& X, float& Y);
    void MouseUp(qint16& Button, qint16& Shift, float& X, float& Y);
    void KeyPress(qint16& KeyAscii);
    void KeyDown(qint16& KeyCode, qint16& Shift);
    void KeyUp(qint16& KeyCode, qint16& Shift);
    void MouseOver();
    void MouseOut();
    // A property was set: its change name ("BCOL", "TX"...), for a designer.
    void PropertyChanged(const QString& name);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Drawing side (chameleonButton.cpp).
    void DrawButton(int state, bool force);
    void SetColors();
    SystemColors SystemPalette() const;
    void CalcLayout();
    void MeasurePicture();
    void ResizeHandling();
    void CaptureBackground();
    void SetAccessKey();
    void redraw() { DrawButton(LastState, true); }
    void notify(const char* name);
    void applyPointer();
    void setFontQuietly(const QFont& font);

    // Input side (chameleonButtonInput.cpp).
    bool IsMouseOver(QPoint local) const;
    void UserControl_Click();
    void AccessKeyPressed();
    void OverTimerTick(bool stillOver);
    bool clickByPlainAccessKey(const QKeyEvent* event);

    // Property values.
    OleColor backColor_ = 0;
    OleColor backOver_ = 0;
    OleColor foreColor_ = 0;
    OleColor foreOver_ = 0;
    OleColor maskColor_ = DefaultMaskColor;
    int buttonType_ = 2;
    QString caption_;
    int colorScheme_ = 1;
    bool showFocusRect_ = true;
    qint16 mousePointer_ = 0;
    ButtonPicture mouseIcon_;
    bool handPointer_ = false;
    bool softBevel_ = false;
    ButtonPicture pictureNormal_;
    ButtonPicture pictureOver_;
    int picturePosition_ = 0;
    bool useMaskColor_ = true;
    bool useGreyscale_ = false;
    int specialEffect_ = 0;
    bool checkBoxBehaviour_ = false;
    bool value_ = false;

    // State.
    quint8 LastState = 0;  // 0 normal, 2 pressed
    quint8 LastButton = 0; // 1 left, 2 right, 4 middle
    quint8 LastKey = 0;
    bool HasFocus = false;
    bool MouseIsOver = false;
    bool PaintEnabled = true;
    bool Capturing = false;
    Qt::MouseButton pressedButton_ = Qt::NoButton; // for the click: pressed here, released here
    bool designMode_ = false;
    bool displayAsDefault_ = false;
    bool enabledFlag_ = true;
    bool quietFont_ = false;

    int W = 0;
    int H = 0;
    EdgeRect focusRect_;
    int pictureWidth_ = 0;
    int pictureHeight_ = 0;
    QString lastCaption_;
    QChar accessKey_;
    int shortcutId_ = 0;
    ButtonPalette colors_;
    ButtonLayout layout_;
    QImage surface_;    // what the button shows; paintEvent copies it out
    QImage background_; // style 11: what lies under the button
};
