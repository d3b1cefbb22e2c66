// Deck views and window size: the view switch (normal, medium, full), the width modes
// (maximizo), the window buttons, the waveform zoom dials, the elliptic regions and the skin
// routine. The form's own applyView and applyWidth place the controls from the views' data;
// WindowGeometry places the window.
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>

#include "engine/audiobase.h"
#include "engine/carga.h"
#include "mainwindow/form/formbuilder.h"
#include "mainwindow/logic/windowgeometry.h"
#include "mainwindow/tform1.h"
#include "snkins/vr/tvrbitmapdial.h"

namespace {
// A double click on a zoom dial brings it back to position 2 (deck zoom 0).
class ZoomReset : public QObject {
public:
    explicit ZoomReset(TVrBitmapDial* dial) : QObject(dial), dial_(dial) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::MouseButtonDblClick) return false;
        dial_->SetPosition(2);
        return true;
    }

private:
    TVrBitmapDial* dial_;
};
}  // namespace

void Tform1::wireViews()
{
    for (const char* z : {"zoomleft", "zoomright"})
        if (auto* dial = get<TVrBitmapDial>(QLatin1String(z))) dial->installEventFilter(new ZoomReset(dial));
    if (auto* combo = get<QComboBox>(QStringLiteral("ComboBoxEx1")))
        connect(combo, &QComboBox::activated, this, [this] { ComboBoxEx1Click(); });
    onClick(QStringLiteral("maximizar"), &Tform1::maximizarClick);
    onClick(QStringLiteral("minimizar"), &Tform1::minimizarClick);
    onClick(QStringLiteral("VsButton4"), &Tform1::minimizarClick);
    onClick(QStringLiteral("VsButton7"), &Tform1::VsButton7Click);
    onChange(QStringLiteral("zoomleft"), &Tform1::zoomleftChange);
    onChange(QStringLiteral("zoomright"), &Tform1::zoomrightChange);
}

void Tform1::ComboBoxEx1Click()
{
    auto* combo = get<QComboBox>(QStringLiteral("ComboBoxEx1"));
    switch (combo ? combo->currentIndex() : 0) {
    case 1: medium(); break;
    case 2: full(); break;
    default: normal(); break;
    }
    devuelvofoco();
}

void Tform1::applyDeckView(const QString& view)
{
    bmixMouseDown(this, Qt::LeftButton, Qt::NoModifier, 1, 1);
    plvista = view != QLatin1String("Extended");
    form_->applyView(view, presets.metersEnabled());
    alineopanels();
    update();
}

void Tform1::normal() { applyDeckView(QStringLiteral("Extended")); }
void Tform1::medium() { applyDeckView(QStringLiteral("Essential")); }
void Tform1::full() { applyDeckView(QStringLiteral("Minimal")); }

void Tform1::maximizarClick(QObject*)
{
    modemax = !modemax;
    maximizo();
}

void Tform1::maximizo()
{
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect full = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    R = screen ? screen->availableGeometry() : full;
    AlturaVieja = R.height();
    const QRect place = WindowGeometry::place(full, R, modemax);
    if (modemax) bmixMouseDown(this, Qt::LeftButton, Qt::NoModifier, 1, 1);
    // the form applies the width mode's selectors, buttons and browser height
    form_->applyWidth(place.width(), place.height());
    move(place.topLeft());
    alineopanels();
    update();
}

void Tform1::minimizarClick(QObject*) { showMinimized(); }
void Tform1::VsButton7Click(QObject*) { close(); }

void Tform1::zoomleftChange(QObject*)
{
    auto* dial = get<TVrBitmapDial>(QStringLiteral("zoomleft"));
    if (dial && adj && adj->carga1) adj->carga1->basseqfx->zoom = dial->Position() - 2;
}

void Tform1::zoomrightChange(QObject*)
{
    auto* dial = get<TVrBitmapDial>(QStringLiteral("zoomright"));
    if (dial && adj && adj->carga2) adj->carga2->basseqfx->zoom = dial->Position() - 2;
}

void Tform1::Redondea(QWidget* control)
{
    if (!control) return;
    const QRect r = control->rect();
    control->setMask(QRegion(r.adjusted(0, 0, -1, -1), QRegion::Ellipse));
    control->update();
}

void Tform1::redondeacom(QWidget* control)
{
    if (!control) return;
    control->setMask(QRegion(control->rect().adjusted(-1, -1, 1, 1), QRegion::Ellipse));
    control->update();
}

// The skin routine: one skin is built in; nothing changes.
void Tform1::asignoskin(const QString&) {}
