// TVsSkin: reading and writing skin description files.
#include <QFileInfo>
#include <QMetaProperty>

#include "snkins/colorref.h"
#include "snkins/vs/skinerror.h"
#include "snkins/vs/tvscomposer.h"
#include "snkins/vs/tvsini.h"
#include "snkins/vs/tvsskin.h"
#include "snkins/vs/tvsskingraphiccontrol.h"

namespace {

const QString kDefaults = QStringLiteral("Defaults");

// `path` with its extension (if any) replaced by `ext`.
QString withExtension(const QString& path, const QString& ext)
{
    const qsizetype slash = qMax(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return (dot > slash ? path.left(dot) : path) + ext;
}

QString folderOf(const QString& path) { return QFileInfo(path).absolutePath() + QLatin1Char('/'); }

// An auto-save control is any widget. Its colour and font colour are its declared "Color" and
// "FontColor" properties when it has them (a QColor or a 0xBBGGRR number), else its palette's
// background and text; its hint is its declared "Hint", else its tool tip; "ShowHint" is a
// property too (declared or dynamic). Pitch and character set of its font ride along as the
// dynamic properties "FontPitch" and "FontCharset".
bool declares(const QWidget* w, const char* name) { return w->metaObject()->indexOfProperty(name) >= 0; }

uint32_t colorProperty(const QWidget* w, const char* name, QPalette::ColorRole role)
{
    if (!declares(w, name)) return colorToRef(w->palette().color(role));
    const QVariant v = w->property(name);
    return v.typeId() == QMetaType::QColor ? colorToRef(v.value<QColor>()) : v.toUInt();
}

void setColorProperty(QWidget* w, const char* name, QPalette::ColorRole role, uint32_t color)
{
    if (color == clNone) return;
    if (declares(w, name)) {
        const QMetaProperty p = w->metaObject()->property(w->metaObject()->indexOfProperty(name));
        w->setProperty(name, p.typeId() == QMetaType::QColor ? QVariant(colorFromRef(color)) : QVariant(color));
        return;
    }
    QPalette pal = w->palette();
    pal.setColor(role, colorFromRef(color));
    w->setPalette(pal);
}

QString hintOf(const QWidget* w) { return declares(w, "Hint") ? w->property("Hint").toString() : w->toolTip(); }

void setHintOf(QWidget* w, const QString& hint)
{
    if (declares(w, "Hint")) w->setProperty("Hint", hint);
    else w->setToolTip(hint);
}

SkinFont fontOf(const QWidget* w)
{
    const QFont f = w->font();
    SkinFont s;
    s.Name = f.family();
    s.Size = f.pointSize() > 0 ? f.pointSize() : QFontInfo(f).pointSize();
    s.Styles = (f.bold() ? SkinFont::fsBold : 0) | (f.italic() ? SkinFont::fsItalic : 0) |
               (f.underline() ? SkinFont::fsUnderline : 0) | (f.strikeOut() ? SkinFont::fsStrikeOut : 0);
    const QVariant pitch = w->property("FontPitch"), charset = w->property("FontCharset");
    s.Pitch = pitch.isValid() ? pitch.toInt() : (f.fixedPitch() ? 2 : 0);
    s.Charset = charset.isValid() ? charset.toInt() : 1;
    return s;
}

void setFontOf(QWidget* w, const SkinFont& s)
{
    QFont f = w->font();
    if (!s.Name.isEmpty()) f.setFamily(s.Name);
    if (s.Size > 0) f.setPointSize(qMin(s.Size, 1000));
    f.setBold(s.Styles & SkinFont::fsBold);
    f.setItalic(s.Styles & SkinFont::fsItalic);
    f.setUnderline(s.Styles & SkinFont::fsUnderline);
    f.setStrikeOut(s.Styles & SkinFont::fsStrikeOut);
    f.setFixedPitch(s.Pitch == 2);
    w->setFont(f);
    w->setProperty("FontPitch", s.Pitch);
    w->setProperty("FontCharset", s.Charset);
}

// The surface's direct children of that name.
QList<QWidget*> childrenNamed(const TVsSkin* skin, const QString& name)
{
    return skin->findChildren<QWidget*>(name, Qt::FindDirectChildrenOnly);
}

QList<TVsSkinGraphicControl*> skinnedChildren(const TVsSkin* skin)
{
    return skin->findChildren<TVsSkinGraphicControl*>(QString(), Qt::FindDirectChildrenOnly);
}

}  // namespace

void TVsSkin::ReadConfig(const TVsIni& ini)
{
    const QString section = objectName();
    SetHint(ini.ReadString(section, QStringLiteral("Hint"), QString()));
    SetShowHint(ini.ReadBool(section, QStringLiteral("ShowHint"), false));
    SetMaskColor(ini.ReadColor(section, QStringLiteral("MaskColor"), clNone));
}

void TVsSkin::WriteConfig(TVsIni& ini) const
{
    const QString section = objectName();
    ini.WriteDefaultString(section, QStringLiteral("Hint"), QString(), Hint());
    ini.WriteBool(section, QStringLiteral("ShowHint"), ShowHint());
    ini.WriteColor(section, QStringLiteral("MaskColor"), FMaskColor);
}

void TVsSkin::ReadAutoSave(const TVsIni& ini)
{
    for (const QString& name : FAutoSave) {
        for (QWidget* w : childrenNamed(this, name)) {
            w->setGeometry(ini.ReadRect(name, QStringLiteral("Rect"), w->geometry()));
            setColorProperty(w, "Color", w->backgroundRole(),
                             ini.ReadColor(name, QStringLiteral("Color"), colorProperty(w, "Color", w->backgroundRole())));
            setHintOf(w, ini.ReadString(name, QStringLiteral("Hint"), QString()));
            w->setProperty("ShowHint", ini.ReadBool(name, QStringLiteral("ShowHint"), false));
            SkinFont font = fontOf(w);
            ini.ReadFont(name, QStringLiteral("Font"), font);
            setFontOf(w, font);
            setColorProperty(w, "FontColor", w->foregroundRole(),
                             ini.ReadColor(name, QStringLiteral("FontColor"),
                                           colorProperty(w, "FontColor", w->foregroundRole())));
        }
    }
}

void TVsSkin::WriteAutoSave(TVsIni& ini) const
{
    for (const QString& name : FAutoSave) {
        for (const QWidget* w : childrenNamed(this, name)) {
            ini.WriteRect(name, QStringLiteral("Rect"), w->geometry());
            ini.WriteColor(name, QStringLiteral("Color"), colorProperty(w, "Color", w->backgroundRole()));
            ini.WriteDefaultString(name, QStringLiteral("Hint"), QString(), hintOf(w));
            ini.WriteDefaultBool(name, QStringLiteral("ShowHint"), false, w->property("ShowHint").toBool());
            ini.WriteFont(name, QStringLiteral("Font"), fontOf(w));
            ini.WriteColor(name, QStringLiteral("FontColor"), colorProperty(w, "FontColor", w->foregroundRole()));
        }
    }
}

void TVsSkin::ReadSkin(const QString& path)
{
    QWidget* form = FParentForm;
    const bool reshow = form && form->isVisible();
    if (reshow) form->hide();
    BeginUpdate();
    const auto finish = [&] {
        EndUpdate();
        if (reshow && form) form->show();
    };
    try {
        if (!QFileInfo(path).isFile()) throw SkinError(QStringLiteral("No skin description file found."));
        TVsIni ini(path);
        if (ini.ReadString(kDefaults, QStringLiteral("Signature"), QString()) != FSignature)
            throw SkinError(QStringLiteral("Invalid or unknown file signature."));
        ReadConfig(ini);
        for (TVsSkinGraphicControl* control : skinnedChildren(this)) control->ReadConfig(ini);
        ReadAutoSave(ini);
        const int mode = ini.ReadInteger(kDefaults, QStringLiteral("Mode"), 1);
        if (FComposer) {
            if (mode != 0) FComposer->Graphics()->LoadFromFile(withExtension(path, QStringLiteral(".vsf")));
            else FComposer->Graphics()->LoadFromFolder(folderOf(path));
        }
        emit OnSkinRead(this, &ini);
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TVsSkin::WriteSkin(const QString& path, int mode)
{
    TVsIni ini(path);
    ini.Clear();
    ini.WriteInteger(kDefaults, QStringLiteral("Mode"), mode);
    ini.WriteDefaultString(kDefaults, QStringLiteral("Signature"), QString(), FSignature);
    WriteConfig(ini);
    for (const TVsSkinGraphicControl* control : skinnedChildren(this)) control->WriteConfig(ini);
    WriteAutoSave(ini);
    if (FComposer) {
        if (mode != 0) FComposer->Graphics()->SaveToFile(withExtension(path, QStringLiteral(".vsf")));
        else FComposer->Graphics()->SaveToFolder(folderOf(path));
    }
    emit OnSkinWrite(this, &ini);
    ini.UpdateFile();
}
