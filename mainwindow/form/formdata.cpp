#include "mainwindow/form/formdata.h"

#include <stdexcept>

#include "snkins/colorref.h"
#include "snkins/vs/skinerror.h"
#include "snkins/vs/tvsini.h"
#include "snkins/vs/vssysutils.h"

namespace {

[[noreturn]] void bad(const QString& section, const QString& key, const QString& value)
{
    throw std::runtime_error(
        QStringLiteral("form data: [%1] %2=%3 is not usable").arg(section, key, value).toStdString());
}

QStringList list(const QString& text)
{
    QStringList out;
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) out << part.trimmed();
    return out;
}

int toInt(const QString& section, const QString& key, const QString& text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok) bad(section, key, text);
    return v;
}

QSize toSize(const QString& section, const QString& key, const QString& text)
{
    const QStringList p = list(text);
    if (p.size() != 2) bad(section, key, text);
    return QSize(toInt(section, key, p[0]), toInt(section, key, p[1]));
}

QColor toColor(const TVsIni& ini, const QString& section, const QString& key)
{
    // the skin description file's r,g,b, kept as 0xBBGGRR and converted once
    return colorFromRef(ini.ReadColor(section, key, 0));
}

}  // namespace

const QMap<QString, QString>* FormData::View::find(const QString& control) const
{
    for (const auto& entry : controls)
        if (entry.first.compare(control, Qt::CaseInsensitive) == 0) return &entry.second;
    return nullptr;
}

FormData::FormData(const QString& fileName) : FFileName(fileName), FIni(nullptr)
{
    FIni = new TVsIni(fileName);
    try {
        if (FIni->ReadSections().isEmpty()) throw SkinError(QStringLiteral("No form data in ") + fileName);
        for (const QString& section : FIni->ReadSections()) {
            if (section.startsWith(QLatin1String("Graphic "))) {
                Graphic g;
                g.name = section.mid(8);
                g.kind = FIni->ReadString(section, QStringLiteral("Kind"), QString());
                g.cell = toSize(section, QStringLiteral("Cell"), FIni->ReadString(section, QStringLiteral("Cell"), QString()));
                g.cells = g.kind == QLatin1String("button") ? 5 : g.kind == QLatin1String("thumb") ? 2 : 1;
                g.look = FIni->ReadString(section, QStringLiteral("Look"), QStringLiteral("neutral"));
                g.caption = FIni->ReadString(section, QStringLiteral("Caption"), QString());
                g.symbol = FIni->ReadString(section, QStringLiteral("Symbol"), QString());
                g.style = FIni->ReadString(section, QStringLiteral("Style"), QString());
                g.lit = FIni->ReadString(section, QStringLiteral("Lit"), QString());
                g.vertical = FIni->ReadBool(section, QStringLiteral("Vertical"), false);
                if (FIni->ValueExists(section, QStringLiteral("Backing")))
                    g.backing = toColor(*FIni, section, QStringLiteral("Backing"));
                FGraphics.insert(g.name.toLower(), g);
            } else if (section.startsWith(QLatin1String("Bitmap "))) {
                Bitmap b;
                b.index = toInt(section, QStringLiteral("index"), section.mid(7));
                b.kind = FIni->ReadString(section, QStringLiteral("Kind"), QString());
                b.cell = toSize(section, QStringLiteral("Cell"), FIni->ReadString(section, QStringLiteral("Cell"), QString()));
                b.frames = FIni->ReadInteger(section, QStringLiteral("Frames"), 1);
                b.state = FIni->ReadInteger(section, QStringLiteral("State"), 0);
                b.look = FIni->ReadString(section, QStringLiteral("Look"), QString());
                b.arc = FIni->ReadString(section, QStringLiteral("Arc"), QString());
                if (b.index != FBitmaps.size()) bad(section, QStringLiteral("index"), section.mid(7));
                FBitmaps << b;
            } else if (section.startsWith(QLatin1String("Decor "))) {
                Decor d;
                d.id = section.mid(6);
                d.kind = FIni->ReadString(section, QStringLiteral("Kind"), QString());
                d.rect = FIni->ReadRect(section, QStringLiteral("Rect"), QRect());
                d.text = FIni->ReadString(section, QStringLiteral("Text"), QString());
                d.look = FIni->ReadString(section, QStringLiteral("Look"), QString());
                d.align = FIni->ReadString(section, QStringLiteral("Align"), QStringLiteral("center"));
                d.size = FIni->ReadInteger(section, QStringLiteral("Size"), 12);
                FDecor << d;
            } else if (section.startsWith(QLatin1String("View ")) || section == QLatin1String("Wide") ||
                       section == QLatin1String("Narrow")) {
                View v;
                v.name = section.startsWith(QLatin1String("View ")) ? section.mid(5) : section;
                for (const QString& key : FIni->ReadSection(section)) {
                    const QString value = FIni->ReadString(section, key, QString());
                    const qsizetype dot = key.indexOf(QLatin1Char('.'));
                    if (dot < 0) {
                        v.globals.insert(key, value);
                        continue;
                    }
                    const QString ctl = key.left(dot), what = key.mid(dot + 1);
                    auto it = std::find_if(v.controls.begin(), v.controls.end(),
                                           [&](const auto& e) { return e.first == ctl; });
                    if (it == v.controls.end()) {
                        v.controls.append({ctl, {}});
                        it = v.controls.end() - 1;
                    }
                    it->second.insert(what, value);
                }
                FViews << v;
            } else if (section != QLatin1String("Defaults") &&
                       FIni->ValueExists(section, QStringLiteral("Class"))) {
                readControl(section);
            }
        }
        for (const View& v : FViews)
            for (const auto& e : v.controls)
                if (!control(e.first)) bad(QStringLiteral("View ") + v.name, e.first, QStringLiteral("(no such control)"));
        for (const Control& c : FControls)
            if (!c.parent.isEmpty() && !control(c.parent)) bad(c.name, QStringLiteral("Parent"), c.parent);
    } catch (...) {
        delete FIni;
        throw;
    }
}

FormData::~FormData() { delete FIni; }

void FormData::readControl(const QString& s)
{
    const TVsIni& ini = *FIni;
    auto str = [&](const char* key) { return ini.ReadString(s, QString::fromLatin1(key), QString()); };
    auto has = [&](const char* key) { return ini.ValueExists(s, QString::fromLatin1(key)); };
    Control c;
    c.name = s;
    for (const QString& key : ini.ReadSection(s)) c.raw.insert(key, ini.ReadString(s, key, QString()));
    c.cls = str("Class");
    c.parent = str("Parent");
    c.concern = str("Concern");
    if (has("Rect")) c.rect = ini.ReadRect(s, QStringLiteral("Rect"), QRect());
    c.graphic = str("GraphicName");
    if (has("ClipRect")) c.clip = ini.ReadRect(s, QStringLiteral("ClipRect"), QRect());
    c.hasMask = has("MaskColor");
    c.direction = ini.ReadInteger(s, QStringLiteral("Direction"), 0);
    c.style = str("Style");
    if (has("Tag")) c.tag = ini.ReadInteger(s, QStringLiteral("Tag"), 0);
    c.hint = str("Hint");
    c.caption = str("Caption");
    if (has("Range")) {
        const QStringList r = list(str("Range"));
        if (r.size() != 2) bad(s, QStringLiteral("Range"), str("Range"));
        c.minValue = toInt(s, QStringLiteral("Range"), r[0]);
        c.maxValue = toInt(s, QStringLiteral("Range"), r[1]);
        if (*c.minValue >= *c.maxValue) bad(s, QStringLiteral("Range"), str("Range"));
    }
    if (has("Position")) c.position = ini.ReadInteger(s, QStringLiteral("Position"), 0);
    c.visible = ini.ReadBool(s, QStringLiteral("Visible"), true);
    c.enabled = ini.ReadBool(s, QStringLiteral("Enabled"), true);
    c.down = ini.ReadBool(s, QStringLiteral("Down"), false);
    c.anchors = list(str("Anchors"));
    c.overlays = list(str("Overlays"));
    c.backdrop = ini.ReadBool(s, QStringLiteral("Backdrop"), false);
    c.bitmapList = str("BitmapList");
    c.bitmapIndex = ini.ReadInteger(s, QStringLiteral("BitmapIndex"), -1);
    c.imageCount = ini.ReadInteger(s, QStringLiteral("ImageCount"), 0);
    c.picture = str("Picture");
    if (has("Color")) c.color = toColor(ini, s, QStringLiteral("Color"));
    if (has("FontColor")) c.fontColor = toColor(ini, s, QStringLiteral("FontColor"));
    c.fontSize = ini.ReadInteger(s, QStringLiteral("FontSize"), 0);
    c.align = str("Align");
    c.alignment = str("Alignment");
    c.orientation = str("Orientation");
    c.popupMenu = str("PopupMenu");
    c.title = str("Title");
    c.stretch = str("Stretch");
    c.round = ini.ReadInteger(s, QStringLiteral("Round"), 0);
    c.transparent = ini.ReadBool(s, QStringLiteral("Transparent"), false);
    c.inversed = ini.ReadBool(s, QStringLiteral("Inversed"), false);
    c.items = list(str("Items"));
    c.itemTags = list(str("ItemTags"));
    c.interval = ini.ReadInteger(s, QStringLiteral("Interval"), 0);
    if (FIndex.contains(s.toLower())) bad(s, QStringLiteral("(section)"), QStringLiteral("twice"));
    FIndex.insert(s.toLower(), int(FControls.size()));
    FControls << c;
}

const FormData::Control* FormData::control(const QString& name) const
{
    const auto it = FIndex.constFind(name.toLower());
    return it == FIndex.constEnd() ? nullptr : &FControls.at(*it);
}

QList<const FormData::Control*> FormData::children(const QString& parent) const
{
    QList<const Control*> out;
    for (const Control& c : FControls)
        if (c.parent.compare(parent, Qt::CaseInsensitive) == 0) out << &c;
    return out;
}

const FormData::Graphic* FormData::graphic(const QString& name) const
{
    const auto it = FGraphics.constFind(name.toLower());
    return it == FGraphics.constEnd() ? nullptr : &*it;
}

const FormData::View* FormData::view(const QString& name) const
{
    for (const View& v : FViews)
        if (v.name.compare(name, Qt::CaseInsensitive) == 0) return &v;
    return nullptr;
}

QStringList FormData::viewNames() const
{
    QStringList out;
    for (const View& v : FViews) out << v.name;
    return out;
}

QRect FormData::surfaceRect(const Control& c) const
{
    QRect r = c.rect;
    const Control* p = control(c.parent);
    while (p && p->name.compare(surfaceName(), Qt::CaseInsensitive) != 0 && p->cls != QLatin1String("Tform1")) {
        r.translate(p->rect.topLeft());
        p = control(p->parent);
    }
    return r;
}
