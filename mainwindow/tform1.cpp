// The main window's core: the form, the views over its controls, and the connection of its
// controls' events to the handlers of every concern.
#include "mainwindow/tform1.h"

#include <map>

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include "controllers/controllerset.h"
#include "engine/audiobase.h"
#include "engine/cargaasio.h"
#include "library/tmsql.h"
#include "mainwindow/explorerpanelview.h"
#include "mainwindow/songpanelviews.h"
#include "platform/shell/mounttable.h"
#include "mainwindow/form/formbuilder.h"
#include "mainwindow/logic/automixswitch.h"
#include "mainwindow/logic/recordingcontrols.h"
#include "mainwindow/logic/tmsqldecklibrary.h"
#include "mainwindow/logic/updatecheck.h"
#include "library/shell/filedialogs.h"
#include "mainwindow/logic/runstats.h"
#include "mainwindow/views/dialview.h"
#include "mainwindow/views/gridview.h"
#include "mainwindow/views/imagesliderview.h"
#include "mainwindow/views/labelwidgetview.h"
#include "mainwindow/views/progresslink.h"
#include "mainwindow/views/quorbuttonview.h"
#include "mainwindow/views/skinbuttonview.h"
#include "mainwindow/views/skinsliderview.h"
#include "mainwindow/config/configbridge.h"
#include "mainwindow/config/configbridgehost.h"
#include "mainwindow/views/speedsliderlink.h"
#include "mainwindow/views/widgetview.h"
#include "platform/sys/sleepinhibitor.h"
#include "snkins/dialogs/mainloophook.h"
#include "snkins/dialogs/ttquormessage.h"
#include "snkins/quor/tnslider.h"
#include "snkins/quor/tquorbutton.h"
#include "snkins/vr/tvrbitmapdial.h"
#include "snkins/vs/skinwidget.h"
#include "snkins/vs/tvsbutton.h"
#include "snkins/vs/tvsslider.h"

struct Tform1::Views {
    std::map<QString, std::unique_ptr<ButtonView>> buttons;
    std::map<QString, std::unique_ptr<PositionView>> positions;
    std::map<QString, std::unique_ptr<LabelView>> labels;
    std::map<QString, std::unique_ptr<ControlView>> controls;
};

Tform1::Tform1() : Tform1(Options{}) {}

Tform1::Tform1(Options options)
    : views_(std::make_unique<Views>()),
      options_(std::move(options)),
      loader(deckA, deckB, mixer, source, *this)
{
    setMainLoopHost(this);
    if (RunStats::wanted()) runStats = std::make_unique<RunStats>();
    setWindowTitle(QStringLiteral("OSTRELKORVANTA v2.0"));
    // the form as designed: 1024 wide, as high as the work area
    const QRect work = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->availableGeometry()
                                                        : QRect(0, 0, 1024, 768);
    form_ = std::make_unique<FormBuilder>(this);
    form_->build(1024, work.height());
    bindViews();
    wireHandlers();
    FormCreate();
}

Tform1::~Tform1()
{
    loader.shutdown();
    loop.stop();
    if (qApp) {
        qApp->removeEventFilter(this);
        disconnect(qApp, nullptr, this, nullptr);
    }
    if (mainLoopHost() == this) setMainLoopHost(nullptr);
    // The engine's scans write into the decks' hand-over cells until the engine ends them, and a
    // deck ends its scan as it goes: the decks let go of the scans, the engine goes, then the decks.
    // A window that was never closed shuts down here; the shut-down runs once.
    FormClose();
    visual.reset();  // it reads the decks' records
    for (auto& d : decks_)
        if (d) d->creo_onda = d->creo_onda2 = nullptr;
    closeControllers();  // every lit controller light goes out before the ports close
    set.reset();
    adj.reset();
    for (auto& d : decks_) d.reset();
}

bool Tform1::mmain(bool flag) { return loop.mmain(flag); }
bool Tform1::mainRunning() const { return loop.MainRunning(); }

QObject* Tform1::object(const QString& name) const { return form_ ? form_->object(name) : nullptr; }

ButtonView* Tform1::buttonView(const QString& name)
{
    auto& slot = views_->buttons[name];
    if (!slot) {
        if (auto* b = get<TVsButton>(name)) slot = std::make_unique<SkinButtonView>(b);
        else if (auto* q = get<TquorButton>(name)) slot = std::make_unique<QuorButtonView>(q);
    }
    return slot.get();
}

PositionView* Tform1::positionView(const QString& name)
{
    auto& slot = views_->positions[name];
    if (!slot) {
        if (auto* s = get<TVsSlider>(name)) slot = std::make_unique<SkinSliderView>(s);
        else if (auto* d = get<TVrBitmapDial>(name)) slot = std::make_unique<DialView>(d);
        else if (auto* n = get<TnSlider>(name)) slot = std::make_unique<ImageSliderView>(n);
    }
    return slot.get();
}

LabelView* Tform1::labelView(const QString& name)
{
    auto& slot = views_->labels[name];
    if (!slot)
        if (auto* l = get<QLabel>(name)) slot = std::make_unique<LabelWidgetView>(l);
    return slot.get();
}

ControlView* Tform1::controlView(const QString& name)
{
    auto& slot = views_->controls[name];
    if (!slot)
        if (auto* w = get<QWidget>(name)) slot = std::make_unique<WidgetView>(w);
    return slot.get();
}

void Tform1::bindViews()
{
    for (DeckControls* d : {&deckA, &deckB}) {
        for (const auto& s : DeckControls::buttonSlots()) s.ref(*d) = buttonView(QLatin1String(d->name(s.a, s.b)));
        for (const auto& s : DeckControls::positionSlots())
            s.ref(*d) = positionView(QLatin1String(d->name(s.a, s.b)));
        for (const auto& s : DeckControls::labelSlots()) s.ref(*d) = labelView(QLatin1String(d->name(s.a, s.b)));
        for (const auto& s : DeckControls::controlSlots())
            s.ref(*d) = controlView(QLatin1String(d->name(s.a, s.b)));
    }
    for (const auto& s : MixerControls::positionSlots()) mixer.*(s.member) = positionView(QLatin1String(s.name));

    panels.todo = controlView(QStringLiteral("todo"));
    panels.playlist = controlView(QStringLiteral("playlist"));
    panels.grupos = controlView(QStringLiteral("grupos"));
    panels.explorer = controlView(QStringLiteral("explorer"));
    panels.bpplaylist = buttonView(QStringLiteral("bpplaylist"));
    panels.bggrupos = buttonView(QStringLiteral("bggrupos"));
    panels.bpexplorer = buttonView(QStringLiteral("bpexplorer"));
    panels.nzoom = positionView(QStringLiteral("nzoom"));
}

void Tform1::wireHandlers()
{
    wireMainLoop();
    wireSongLoad();
    wirePanels();
    wireControllers();
    wireTransport();
    wireMixer();
    wireHotcues();
    wireStatus();
    wireJog();
    wireShutDown();
    wireEffects();
    wireAutomix();
    wireViews();
    wirePresets();
    wireUpdate();
    wireConfig();
}

// ---- connecting events to handlers

namespace {
// A press or release handler on a control's mouse signal: a skinned control sends itself, a
// kit button is its own sender.
template <class SkinSignal, class KitSignal>
void connectMouse(Tform1& w, QObject* o, Tform1::MouseHandler h, SkinSignal skin, KitSignal kit)
{
    if (auto* s = qobject_cast<SkinWidget*>(o)) {
        QObject::connect(s, skin, &w, [&w, h](QObject* sender, Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
            (w.*h)(sender, b, m, x, y);
        });
    } else if (auto* q = qobject_cast<TquorButton*>(o)) {
        QObject::connect(q, kit, &w, [&w, h, q](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
            (w.*h)(q, b, m, x, y);
        });
    }
}
}  // namespace

void Tform1::onMouseDown(const QString& name, MouseHandler h)
{
    connectMouse(*this, object(name), h, &SkinWidget::OnMouseDown, &TquorButton::mouseDown);
}

void Tform1::onMouseUp(const QString& name, MouseHandler h)
{
    connectMouse(*this, object(name), h, &SkinWidget::OnMouseUp, &TquorButton::mouseUp);
}

void Tform1::onClick(const QString& name, NotifyHandler h)
{
    QObject* o = object(name);
    if (auto* b = qobject_cast<TVsButton*>(o))
        connect(b, &TVsButton::OnClick, this, [this, h](QObject* sender) { (this->*h)(sender); });
    else if (auto* q = qobject_cast<TquorButton*>(o))
        connect(q, &TquorButton::clicked, this, [this, h, q] { (this->*h)(q); });
}

void Tform1::onChange(const QString& name, NotifyHandler h)
{
    QObject* o = object(name);
    if (auto* s = qobject_cast<TVsSlider*>(o))
        connect(s, &TVsSlider::OnChange, this, [this, h](QObject* sender) { (this->*h)(sender); });
    else if (auto* d = qobject_cast<TVrBitmapDial*>(o))
        connect(d, &TVrBitmapDial::OnChange, this, [this, h](QObject* sender) { (this->*h)(sender); });
    else if (auto* n = qobject_cast<TnSlider*>(o))
        connect(n, &TnSlider::Onchange, this, [this, h, n] { (this->*h)(n); });
}

void Tform1::onTimer(const QString& name, void (Tform1::*h)())
{
    if (auto* t = get<QTimer>(name)) connect(t, &QTimer::timeout, this, [this, h] { (this->*h)(); });
}
