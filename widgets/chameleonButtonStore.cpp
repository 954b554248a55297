// The button's stored layout: the keys, their types, their order and their
// defaults.

#include "chameleonButton.h"

#include "Fonts.h"
#include "PropertyBag.h"

#include <QApplication>

namespace {

StoredFont ToStored(const QFont& f)
{
    StoredFont s;
    s.name = StoredFamily(f.family());
    s.size = f.pixelSize() > 0 ? PixelsToPoints(f.pixelSize()) : f.pointSizeF();
    s.weight = f.weight();
    s.italic = f.italic();
    s.underline = f.underline();
    s.strikethrough = f.strikeOut();
    s.charset = 0;
    return s;
}

QFont FromStored(const StoredFont& s)
{
    QFont f(ResolvedFamily(s.name));
    f.setPixelSize(std::max(1, PointsToPixels(s.size)));
    f.setWeight(static_cast<QFont::Weight>(std::clamp(s.weight, 1, 1000)));
    f.setItalic(s.italic);
    f.setUnderline(s.underline);
    f.setStrikeOut(s.strikethrough);
    return f;
}

qint32 Stored(OleColor c)
{
    return static_cast<qint32>(c);
}

OleColor Colour(qint32 v)
{
    return static_cast<OleColor>(v);
}

} // namespace

void chameleonButton::WriteProperties(PropertyBag& bag) const
{
    bag.WriteProperty(QStringLiteral("btype"), qint32(buttonType_));
    bag.WriteProperty(QStringLiteral("tx"), caption_);
    bag.WriteProperty(QStringLiteral("enab"), Enabled());
    bag.WriteProperty(QStringLiteral("font"), ToStored(font()));
    bag.WriteProperty(QStringLiteral("coltype"), qint32(colorScheme_));
    bag.WriteProperty(QStringLiteral("focusr"), showFocusRect_);
    bag.WriteProperty(QStringLiteral("bcol"), Stored(backColor_));
    bag.WriteProperty(QStringLiteral("bcolo"), Stored(backOver_));
    bag.WriteProperty(QStringLiteral("fcol"), Stored(foreColor_));
    bag.WriteProperty(QStringLiteral("fcolo"), Stored(foreOver_));
    bag.WriteProperty(QStringLiteral("mcol"), Stored(maskColor_));
    bag.WriteProperty(QStringLiteral("mptr"), mousePointer_);
    bag.WriteProperty(QStringLiteral("micon"), mouseIcon_);
    bag.WriteProperty(QStringLiteral("picn"), pictureNormal_);
    bag.WriteProperty(QStringLiteral("pich"), pictureOver_);
    bag.WriteProperty(QStringLiteral("umcol"), useMaskColor_);
    bag.WriteProperty(QStringLiteral("soft"), softBevel_);
    bag.WriteProperty(QStringLiteral("picpos"), qint32(picturePosition_));
    bag.WriteProperty(QStringLiteral("ngrey"), useGreyscale_);
    bag.WriteProperty(QStringLiteral("fx"), qint32(specialEffect_));
    bag.WriteProperty(QStringLiteral("hand"), handPointer_);
    bag.WriteProperty(QStringLiteral("check"), checkBoxBehaviour_);
    bag.WriteProperty(QStringLiteral("value"), value_);
}

void chameleonButton::ReadProperties(const PropertyBag& bag)
{
    const SystemColors system = SystemPalette();
    buttonType_ = bag.ReadInt32(u"btype", 2);
    caption_ = bag.ReadString(u"tx", QString());
    const bool enabled = bag.ReadBool(u"enab", true);
    setFontQuietly(FromStored(bag.ReadFont(u"font", ToStored(font()))));
    colorScheme_ = bag.ReadInt32(u"coltype", 1);
    showFocusRect_ = bag.ReadBool(u"focusr", true);
    backColor_ = Colour(bag.ReadInt32(u"bcol", Stored(system.buttonFace)));
    backOver_ = Colour(bag.ReadInt32(u"bcolo", Stored(backColor_)));
    foreColor_ = Colour(bag.ReadInt32(u"fcol", Stored(system.buttonText)));
    foreOver_ = Colour(bag.ReadInt32(u"fcolo", Stored(foreColor_)));
    maskColor_ = Colour(bag.ReadInt32(u"mcol", Stored(DefaultMaskColor)));
    mousePointer_ = bag.ReadInt16(u"mptr", 0);
    mouseIcon_ = bag.ReadPicture(u"micon");
    pictureNormal_ = bag.ReadPicture(u"picn");
    pictureOver_ = bag.ReadPicture(u"pich");
    useMaskColor_ = bag.ReadBool(u"umcol", true);
    softBevel_ = bag.ReadBool(u"soft", false);
    picturePosition_ = bag.ReadInt32(u"picpos", 0);
    useGreyscale_ = bag.ReadBool(u"ngrey", false);
    specialEffect_ = bag.ReadInt32(u"fx", 0);
    // The hand pointer takes over the pointer; without it the stored
    // pointer and icon stay as they were written.
    if (bag.ReadBool(u"hand", false))
        setHandPointer(true);
    else {
        handPointer_ = false;
        applyPointer();
    }
    checkBoxBehaviour_ = bag.ReadBool(u"check", false);
    value_ = bag.ReadBool(u"value", false);

    setEnabled(enabled);
    enabledFlag_ = Enabled();
    MeasurePicture();
    CalcLayout();
    SetAccessKey();
    // A button read into a window already on screen shows its new look now.
    SetColors();
    DrawButton(0, true);
}

void chameleonButton::InitProperties()
{
    setEnabled(true);
    enabledFlag_ = true;
    showFocusRect_ = true;
    useMaskColor_ = true;
    caption_ = objectName();
    setFontQuietly(parentWidget() ? parentWidget()->font() : QApplication::font());
    buttonType_ = 2;
    colorScheme_ = 1;
    SetColors();
    backColor_ = backOver_ = colors_.FaceColor;
    foreColor_ = foreOver_ = colors_.TextColor;
    maskColor_ = DefaultMaskColor;
    CalcLayout();
    SetAccessKey();
}
