#include "mainwindow/form/formbuilder.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "mainwindow/form/formkitcontrols.h"
#include "snkins/colorref.h"
#include "snkins/vs/skinerror.h"
#include "snkins/vs/tvsbutton.h"
#include "snkins/vs/tvscomposer.h"
#include "snkins/vs/tvsimage.h"
#include "snkins/vs/tvsini.h"
#include "snkins/vs/tvsskin.h"
#include "snkins/vs/tvsslider.h"

namespace {

const char* const kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";

// The labels' face: the captions' font when the system has it.
QString labelFamily()
{
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kFontFile));
        const QStringList f = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
        return f.isEmpty() ? QString() : f.first();
    }();
    return family;
}

QRect toRect(const QString& text)
{
    const QStringList p = text.split(QLatin1Char(','));
    if (p.size() != 4) return QRect();
    return QRect(p[0].trimmed().toInt(), p[1].trimmed().toInt(), p[2].trimmed().toInt(), p[3].trimmed().toInt());
}

bool isSurface(const FormData::Control& c) { return c.cls == QLatin1String("TVsSkin"); }

}  // namespace

FormBuilder::FormBuilder(QWidget* window, const QString& formData)
    : QObject(window), FWindow(window), FData(std::make_unique<FormData>(formData))
{
}

FormBuilder::~FormBuilder() = default;

QImage FormBuilder::picture(const QString& name)
{
    QImage img(QStringLiteral(":/skin/form/") + name);
    return img;
}

void FormBuilder::build(int width, int height)
{
    FComposer = new TVsComposer(FWindow);
    FComposer->setObjectName(QStringLiteral("Composer1"));
    FComposer->Graphics()->LoadFromFile(QStringLiteral(":/skin/tform1.vsf"));
    FBitmapList = createBitmapList(FWindow, QStringLiteral("VrBitmapList1"), QStringLiteral(":/skin/VrBitmapList1.vrb"));
    FObjects.insert(QStringLiteral("composer1"), FComposer);
    FObjects.insert(QStringLiteral("vrbitmaplist1"), bitmapListObject(FBitmapList));

    FWindow->setObjectName(QStringLiteral("form1"));
    if (const FormData::Control* f = FData->control(QStringLiteral("form1"))) {
        FWindow->setWindowTitle(f->caption);
        QPalette pal = FWindow->palette();
        pal.setColor(QPalette::Window, f->color.value_or(QColor(0x21, 0x21, 0x21)));
        FWindow->setPalette(pal);
    }
    FObjects.insert(QStringLiteral("form1"), FWindow.data());

    FSkin = new TVsSkin(FWindow);
    FSkin->setObjectName(FData->surfaceName());
    FObjects.insert(FData->surfaceName().toLower(), FSkin);
    FSkin->BeginUpdate();
    FSkin->SetComposer(FComposer);
    const FormData::Control* s = FData->control(FData->surfaceName());
    FSkin->SetGraphicName(s ? s->graphic : QStringLiteral("fondo.bmp"));
    FSkin->SetMaskColor(clFuchsia);
    createControls();
    FSkin->EndUpdate();
    applyWidth(width, height);
}

void FormBuilder::createControls()
{
    // parents come before their children in the file, so one pass in file order places all
    for (const FormData::Control& c : FData->controls()) {
        if (isSurface(c) || c.cls == QLatin1String("Tform1") || c.cls == QLatin1String("TVsComposer") ||
            c.cls == QLatin1String("TVrBitmapList"))
            continue;
        QObject* parentObject = object(c.parent);
        if (c.cls == QLatin1String("TTimer")) {
            auto* t = new QTimer(FWindow);
            t->setObjectName(c.name);
            t->setInterval(c.interval);
            t->setProperty("Enabled", c.raw.value(QStringLiteral("Enabled")) == QLatin1String("1"));
            FObjects.insert(c.name.toLower(), t);
            continue;
        }
        if (c.cls == QLatin1String("TJvPopupMenu") || c.cls == QLatin1String("TPopupMenu")) {
            auto* m = new QMenu(FWindow);
            m->setObjectName(c.name);
            for (int i = 0; i < c.items.size(); ++i) {
                auto* a = m->addAction(c.items.at(i));
                a->setObjectName(c.items.at(i));
                if (i < c.itemTags.size()) {
                    a->setData(c.itemTags.at(i).toInt());
                    // the range items read as the number followed by six blanks
                    a->setText(c.itemTags.at(i) + QStringLiteral("      "));
                }
            }
            FObjects.insert(c.name.toLower(), m);
            continue;
        }
        auto* parent = qobject_cast<QWidget*>(parentObject);
        if (!parent) throw SkinError(QStringLiteral("The form's control %1 has no parent %2").arg(c.name, c.parent));
        QWidget* w = createOne(c, parent);
        if (!w) throw SkinError(QStringLiteral("The form's control %1 has an unknown class %2").arg(c.name, c.cls));
        w->setObjectName(c.name);
        if (!c.hint.isEmpty()) w->setProperty("Hint", c.hint);
        if (c.tag && !w->property("Tag").isValid()) w->setProperty("Tag", *c.tag);
        w->setEnabled(c.enabled);
        w->setVisible(c.visible);
        if (c.round) {
            const QRect r = c.round == 2 ? w->rect().adjusted(-1, -1, 1, 1) : w->rect();
            w->setMask(QRegion(r, QRegion::Ellipse));
        }
        FObjects.insert(c.name.toLower(), w);
    }
}

QWidget* FormBuilder::createOne(const FormData::Control& c, QWidget* parent)
{
    const QString& k = c.cls;
    if (k == QLatin1String("TVsButton") || k == QLatin1String("TVsSlider") || k == QLatin1String("TVsImage")) {
        TVsSkinGraphicControl* g = nullptr;
        if (k == QLatin1String("TVsButton")) {
            auto* b = new TVsButton(parent);
            b->SetStyle(c.style == QLatin1String("bsSwitch") ? bsSwitch : bsButton);
            g = b;
        } else if (k == QLatin1String("TVsSlider")) {
            g = new TVsSlider(parent);
        } else {
            g = new TVsImage(parent);
        }
        g->setObjectName(c.name);
        g->SetGraphicName(c.graphic);
        // the skin description file's own keys, read by the control itself: Rect, Hint,
        // ShowHint, ClipRect, MaskColor (and a slider's Direction)
        g->ReadConfig(FData->ini());
        if (!c.graphic.isEmpty() && !FComposer->GetGraphic(c.graphic))
            throw SkinError(QStringLiteral("The form's graphic %1 is not in the skin").arg(c.graphic));
        if (auto* b = qobject_cast<TVsButton*>(g)) {
            b->SetDown(c.down);
            b->setProperty("Tag", c.tag.value_or(0));
        } else if (auto* s = qobject_cast<TVsSlider*>(g)) {
            if (c.maxValue) {
                s->SetMaxValue(*c.maxValue);
                s->SetMinValue(*c.minValue);
            }
            if (c.position) s->SetPosition(*c.position);
        }
        return g;
    }
    const GraphicSource graphics = [this](const QString& name) {
        TVsGraphic* g = FComposer->GetGraphic(name);
        return g ? g->Bitmap() : QImage();
    };
    if (QWidget* w = createKitControl(c, parent, FBitmapList, graphics)) {
        if (!c.picture.isEmpty() && k == QLatin1String("TQuorDial")) {
            // the platter picture stays with the wheel's owner; the wheel shows it at rest
            w->setProperty("Picture", c.picture);
        }
        return w;
    }
    if (k == QLatin1String("TLabel")) {
        auto* l = new QLabel(c.caption, parent);
        l->setGeometry(c.rect);
        QFont f(labelFamily().isEmpty() ? l->font().family() : labelFamily());
        f.setBold(true);
        f.setPixelSize(c.fontSize > 0 ? c.fontSize : 11);
        l->setFont(f);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, c.fontColor.value_or(QColor(0xDD, 0xDD, 0xDD)));
        l->setPalette(pal);
        l->setAlignment((c.alignment == QLatin1String("center")  ? Qt::AlignHCenter
                         : c.alignment == QLatin1String("right") ? Qt::AlignRight
                                                                 : Qt::AlignLeft) |
                        Qt::AlignVCenter);
        l->setAttribute(Qt::WA_TranslucentBackground);
        return l;
    }
    if (k == QLatin1String("TPanel") || k == QLatin1String("TPaintBox")) {
        auto* p = new QWidget(parent);
        p->setGeometry(c.rect);
        const QColor back = k == QLatin1String("TPaintBox") ? QColor(0, 0, 0) : c.color.value_or(QColor());
        if (back.isValid()) {
            QPalette pal = p->palette();
            pal.setColor(QPalette::Window, back);
            p->setPalette(pal);
            p->setAutoFillBackground(true);
        }
        return p;
    }
    if (k == QLatin1String("TImage")) {
        auto* l = new QLabel(parent);
        l->setGeometry(c.rect);
        if (!c.picture.isEmpty()) {
            const QImage img = picture(c.picture);
            if (img.isNull()) throw SkinError(QStringLiteral("The form's picture %1 is missing").arg(c.picture));
            l->setPixmap(QPixmap::fromImage(img));
        }
        return l;
    }
    if (k == QLatin1String("TComboBoxEx")) {
        auto* cb = new QComboBox(parent);
        cb->setGeometry(c.rect);
        cb->setStyleSheet(QStringLiteral(
            "QComboBox { background: #2E2E2E; color: #DDDDDD; border: 1px solid #111111; border-radius: 2px;"
            " padding-left: 4px; font-weight: bold; }"
            "QComboBox::drop-down { border: none; width: 14px; }"
            "QComboBox QAbstractItemView { background: #2E2E2E; color: #DDDDDD; selection-background-color: #0059AB; }"));
        cb->addItems(c.items);
        cb->setCurrentIndex(c.raw.value(QStringLiteral("ItemIndex")).toInt());
        return cb;
    }
    if (k == QLatin1String("TButton")) {
        auto* b = new QPushButton(parent);
        b->setGeometry(c.rect);
        return b;
    }
    return nullptr;
}

QObject* FormBuilder::object(const QString& name) const
{
    const auto it = FObjects.constFind(name.toLower());
    return it == FObjects.constEnd() ? nullptr : it->data();
}

QWidget* FormBuilder::control(const QString& name) const { return qobject_cast<QWidget*>(object(name)); }

QStringList FormBuilder::names() const
{
    QStringList out;
    for (const FormData::Control& c : FData->controls())
        if (object(c.name)) out << c.name;
    return out;
}

void FormBuilder::place(QWidget* w, const QRect& r)
{
    if (auto* g = qobject_cast<TVsSkinGraphicControl*>(w))
        g->SetBounds(r.x(), r.y(), r.width(), r.height());
    else
        w->setGeometry(r);
}

void FormBuilder::setGraphic(QWidget* w, const QString& graphic)
{
    if (auto* g = qobject_cast<TVsSkinGraphicControl*>(w)) {
        if (g->GraphicName() == graphic) return;
        const QRect at = g->geometry();
        g->SetGraphicName(graphic);  // the clip becomes the whole new graphic
        g->SetBounds(at.x(), at.y(), at.width(), at.height());
    }
}

void FormBuilder::applyKeys(const QString& name, const QMap<QString, QString>& keys)
{
    QObject* o = object(name);
    QWidget* w = qobject_cast<QWidget*>(o);
    if (!w) return;
    // the graphic first: a button takes its new graphic's size, then its place
    if (keys.contains(QStringLiteral("GraphicName"))) setGraphic(w, keys.value(QStringLiteral("GraphicName")));
    if (keys.contains(QStringLiteral("Rect"))) place(w, toRect(keys.value(QStringLiteral("Rect"))));
    if (keys.contains(QStringLiteral("Top"))) {
        QRect r = w->geometry();
        r.moveTop(keys.value(QStringLiteral("Top")).toInt());
        place(w, r);
    }
    if (keys.contains(QStringLiteral("Tag"))) w->setProperty("Tag", keys.value(QStringLiteral("Tag")).toInt());
    if (keys.contains(QStringLiteral("Enabled"))) w->setEnabled(keys.value(QStringLiteral("Enabled")) == QLatin1String("1"));
    if (keys.contains(QStringLiteral("Down")))
        if (auto* b = qobject_cast<TVsButton*>(w)) b->SetDown(keys.value(QStringLiteral("Down")) == QLatin1String("1"));
    if (keys.contains(QStringLiteral("Raise"))) w->raise();
    if (keys.contains(QStringLiteral("Lower"))) w->lower();
}

void FormBuilder::applyView(const QString& viewName, bool metersEnabled)
{
    const FormData::View* v = FData->view(viewName);
    if (!v) return;
    FView = v->name;
    // visibility after places and graphics, and raising in the file's order, so that what a
    // view lists last ends in front
    for (const auto& [name, keys] : v->controls) applyKeys(name, keys);
    for (const auto& [name, keys] : v->controls) {
        if (!keys.contains(QStringLiteral("Visible"))) continue;
        QWidget* w = control(name);
        if (!w) continue;
        const QString vis = keys.value(QStringLiteral("Visible"));
        w->setVisible(vis == QLatin1String("nometers") ? !metersEnabled : vis == QLatin1String("1"));
    }
    // the view combo shows the view
    if (auto* combo = get<QComboBox>(QStringLiteral("ComboBoxEx1"))) {
        const QSignalBlocker quiet(combo);
        const int at = combo->findText(FView);
        if (at >= 0) combo->setCurrentIndex(at);
    }
    // the browser area and the side strip take the window's height below their tops
    applyWidth(FWidth, FHeight);
}

void FormBuilder::applySelectors()
{
    // the centre selectors: the wide mode's when wide, else the view's
    const FormData::View* v = FData->view(FWide ? QStringLiteral("Wide") : FView);
    if (!v) return;
    for (const QString& sel : {QStringLiteral("bmix"), QStringLiteral("bfx"), QStringLiteral("bax"), QStringLiteral("bsampler")}) {
        const QMap<QString, QString>* keys = v->find(sel);
        if (!keys) continue;
        QMap<QString, QString> k;
        for (const char* key : {"Tag", "Enabled"})
            if (keys->contains(QString::fromLatin1(key))) k.insert(QString::fromLatin1(key), keys->value(QString::fromLatin1(key)));
        applyKeys(sel, k);
    }
}

void FormBuilder::applyWidth(int width, int height)
{
    const FormData::View* wideView = FData->view(QStringLiteral("Wide"));
    const int maxWidth = wideView ? wideView->globals.value(QStringLiteral("MaxWidth"), QStringLiteral("1280")).toInt() : 1280;
    const int design = FData->control(QStringLiteral("form1")) ? FData->control(QStringLiteral("form1"))->rect.width() : 1024;
    width = std::min(std::max(width, design), maxWidth);
    const bool wasWide = FWide;
    FWide = width > design;
    FWidth = width;
    FHeight = height;
    const int dx = width - design;
    for (const FormData::Control& c : FData->controls()) {
        if (c.anchors.isEmpty()) continue;
        QWidget* w = control(c.name);
        if (!w) continue;
        QRect r = w->geometry();
        const bool left = c.anchors.contains(QStringLiteral("left")), right = c.anchors.contains(QStringLiteral("right"));
        if (right && !left) r.moveLeft(c.rect.left() + dx);
        if (right && left) r.setWidth(c.rect.width() + dx);
        place(w, r);
    }
    // what reaches the window's bottom
    for (const FormData::Control& c : FData->controls()) {
        if (c.stretch != QLatin1String("bottom")) continue;
        if (QWidget* w = control(c.name)) {
            QRect r = w->geometry();
            r.setHeight(std::max(0, height - r.top()));
            place(w, r);
        }
    }
    if (FWide != wasWide || !FWidthApplied) {
        if (const FormData::View* mode = FData->view(FWide ? QStringLiteral("Wide") : QStringLiteral("Narrow")))
            for (const auto& [name, keys] : mode->controls) applyKeys(name, keys);
        FWidthApplied = true;
    }
    applySelectors();
    FWindow->setFixedSize(width, height);
    applyMask();
}

QRegion FormBuilder::windowMask() const
{
    QRegion r = FSkin ? FSkin->RgnData().CreateRegion() : QRegion();
    const QSize bg = FSkin ? FSkin->size() : QSize(0, 0);
    const int big = 20000;  // X window shapes take 16-bit coordinates
    if (r.isEmpty()) r = QRegion(0, 0, bg.width(), bg.height());
    r += QRegion(bg.width(), 0, big, big);
    r += QRegion(0, bg.height(), big, big);
    return r;
}

void FormBuilder::applyMask()
{
    if (FWindow) FWindow->setMask(windowMask());
}

bool FormBuilder::covered(QWidget* w) const
{
    QWidget* parent = w ? w->parentWidget() : nullptr;
    if (!parent) return false;
    QRegion rest(w->geometry());
    const QObjectList& siblings = parent->children();
    const int at = int(siblings.indexOf(w));
    for (int i = at + 1; i < siblings.size(); ++i) {  // later children are stacked in front
        auto* s = qobject_cast<QWidget*>(siblings.at(i));
        if (!s || !s->isVisibleTo(parent) || s->geometry().isEmpty()) continue;
        const FormData::Control* c = FData->control(s->objectName());
        // only what is opaque covers: the browser area, panels, images of the skin
        if (!c || !(c->cls == QLatin1String("TQuorPanel") || c->cls == QLatin1String("TVsImage") ||
                    c->cls == QLatin1String("TPanel")))
            continue;
        rest -= QRegion(s->geometry());
    }
    return rest.isEmpty();
}

QList<QWidget*> FormBuilder::shownChildren(const QString& parentName) const
{
    QList<QWidget*> out;
    QWidget* parent = control(parentName);
    if (!parent) return out;
    for (QObject* o : parent->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || w->objectName().isEmpty() || !w->isVisibleTo(parent) || w->geometry().isEmpty()) continue;
        if (covered(w)) continue;
        out << w;
    }
    return out;
}
