// Automix and recording controls: the automix switch with mix now, the fade times and the
// shuffle buttons (AutomixSwitch), the REC button and the recording dialog (RecordingControls).
// The automix switch starts a mix with loader.primeraautomix and learns of finished loads
// through loader.onLoadFinished; it sets the walk's CURRENTPLAYNUMBER and currentplayfinded,
// which the status timer's walk then advances.
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include "engine/audiobase.h"
#include "engine/carga.h"
#include "engine/microsf.h"
#include "library/shell/filedialogs.h"
#include "mainwindow/explorerpanelview.h"
#include "mainwindow/songpanelviews.h"
#include "mainwindow/logic/automixswitch.h"
#include "mainwindow/logic/recordingcontrols.h"
#include "mainwindow/logic/buttonview.h"
#include "mainwindow/tform1.h"

namespace {

class WindowAutomixHost : public AutomixHost {
public:
    explicit WindowAutomixHost(Tform1& w) : w_(w) {}
    bool autoenable() const override { return w_.adj && w_.adj->autoenable; }
    // while automix runs, the listed playlist (the one it walks, and CURRENT) cannot change
    void setAutoenable(bool on) override
    {
        if (w_.adj) w_.adj->autoenable = on;
        if (QWidget* dt = w_.playlistTree()) dt->setEnabled(!on);
    }
    void setFades(int dr, int lr) override
    {
        setFadeOut(dr);
        setFadeIn(lr);
    }
    void setFadeOut(int dr) override
    {
        if (w_.adj) w_.adj->dr = dr;
    }
    void setFadeIn(int lr) override
    {
        if (w_.adj) w_.adj->lr = lr;
    }
    void resetMix() override
    {
        if (!w_.adj) return;
        w_.adj->mix1to2 = 0;
        w_.adj->newdl = 0;
        w_.adj->newdr = 0;
    }
    void toggleMixnow() override
    {
        if (w_.adj) w_.adj->mixnow = !w_.adj->mixnow;
    }
    bool stopped(int deck) const override
    {
        carga* p = player(deck);
        return !p || p->basseqfx->Fstatus == sStop;
    }
    bool loaded(int deck) const override
    {
        carga* p = player(deck);
        return p && p->loaded;
    }
    void setLoaded(int deck, bool on) override
    {
        if (carga* p = player(deck)) p->loaded = on;
    }
    void play(int deck) override
    {
        if (carga* p = player(deck)) p->Play();
    }
    void load(int deck) override
    {
        if (w_.ep3) w_.source.msender = w_.ep3->grid();
        if (deck == 1) w_.btnload1MouseDown(&w_, Qt::LeftButton, Qt::NoModifier, 1, 1);
        else w_.btnload2MouseDown(&w_, Qt::LeftButton, Qt::NoModifier, 1, 1);
    }
    void playlistsAlone() override
    {
        if (w_.selectors.playlistsAlone) w_.selectors.playlistsAlone();
        if (w_.ep3) w_.source.msender = w_.ep3->grid();
    }
    bool shuttle() const override { return w_.shuttleHook ? w_.shuttleHook() : shuffle; }
    void shuttlepress(bool on) override
    {
        shuffle = on;
        if (w_.shuttlepressHook) w_.shuttlepressHook(on);
    }
    void warning(const QString& text) override
    {
        // the timed warning: it closes by itself after 3 s
        auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Warning "), text,
                                    QMessageBox::Yes | QMessageBox::No, &w_);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::NonModal);
        QTimer::singleShot(3000, box, &QWidget::close);
        box->show();
    }
    void message(const QString& text) override { w_.ShowMessage(text); }

private:
    carga* player(int deck) const { return w_.adj ? w_.adj->deck(deck) : nullptr; }
    Tform1& w_;
    bool shuffle = false;
};

class WindowRecordingHost : public RecordingHost {
public:
    explicit WindowRecordingHost(Tform1& w) : w_(w) {}
    bool grabando() const override { return w_.adj && w_.adj->grabando; }
    void graba(const QString& file, int start) override
    {
        if (w_.adj) w_.adj->graba(file, start);
        if (ButtonView* rec = w_.buttonView(QStringLiteral("REC"))) rec->setDown(grabando());
    }
    void showDialog() override
    {
        if (!w_.mrecsave) return;
        // the tree opens on the stored recording folder while it still exists (the home folder
        // otherwise); it keeps the user's choice after its first show
        if (w_.adj) {
            const QString stored = w_.adj->soundcfg->rrecord.get();
            if (stored != QLatin1String("-") && QFileInfo(stored).isDir()) w_.mrecsave->tffd->startPath = stored;
        }
        w_.mrecsave->show();
        w_.mrecsave->raise();
        w_.mrecsave->activateWindow();
    }
    void hideDialog() override
    {
        if (w_.mrecsave) w_.mrecsave->hide();
    }
    QString selectedFolder() const override
    {
        if (!w_.mrecsave) return {};
        const QString f = w_.mrecsave->tffd->GetPath();
        return QFileInfo(f).isDir() ? f : QString();
    }
    QString fileName() const override { return w_.mrecsave ? w_.mrecsave->Edit1->text() : QString(); }
    void setRrecord(const QString& folder) override
    {
        if (w_.adj) w_.adj->soundcfg->rrecord = folder;
    }
    void message(const QString& text) override
    {
        QMessageBox* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Warning "), text, QMessageBox::Ok,
                                           w_.mrecsave ? static_cast<QWidget*>(w_.mrecsave.data()) : &w_);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setWindowModality(Qt::WindowModal);
        box->open();
    }
    void askOverwrite(const QString& file, std::function<void(bool)> answer) override
    {
        QMessageBox* box = new QMessageBox(QMessageBox::Question, QStringLiteral("Warning "),
                                           RecordingControls::overwriteText(file), QMessageBox::Yes | QMessageBox::No,
                                           w_.mrecsave ? static_cast<QWidget*>(w_.mrecsave.data()) : &w_);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setDefaultButton(QMessageBox::No);
        box->setWindowModality(Qt::WindowModal);
        QObject::connect(box, &QMessageBox::finished, &w_,
                         [answer = std::move(answer)](int r) { answer(r == QMessageBox::Yes); });
        box->open();
    }
    bool exists(const QString& file) const override { return QFileInfo::exists(file) || QFileInfo(file).isSymLink(); }

private:
    Tform1& w_;
};

}  // namespace

void Tform1::automixOff()
{
    if (adj) adj->autoenable = false;
    if (ButtonView* b = buttonView(QStringLiteral("auto_enable"))) b->setDown(false);
    if (QWidget* dt = playlistTree()) dt->setEnabled(true);
}

void Tform1::wireAutomix()
{
    automixHost_ = std::make_unique<WindowAutomixHost>(*this);
    automix = std::make_unique<AutomixSwitch>(*automixHost_);
    automix->after = [this](int ms, std::function<void()> f) { QTimer::singleShot(ms, this, std::move(f)); };
    automix->auto_enable = buttonView(QStringLiteral("auto_enable"));
    automix->random = buttonView(QStringLiteral("random"));
    automix->track1 = labelView(QStringLiteral("track1"));
    automix->track2 = labelView(QStringLiteral("track2"));
    automix->laut_t1 = labelView(QStringLiteral("laut_t1"));
    automix->laut_t2 = labelView(QStringLiteral("laut_t2"));
    automix->ffout = positionView(QStringLiteral("ffout"));
    automix->ffin = positionView(QStringLiteral("ffin"));
    automix->lfout = labelView(QStringLiteral("lfout"));
    automix->lfin = labelView(QStringLiteral("lfin"));
    automix->primeraautomix = &loader.primeraautomix;
    automix->number = &walk.CURRENTPLAYNUMBER;
    automix->found = &walk.currentplayfinded;
    auto previous = loader.onLoadFinished;
    loader.onLoadFinished = [this, previous](int deck, bool ok) {
        if (previous) previous(deck, ok);
        automix->loadFinished(deck, ok);
    };

    recordingHost_ = std::make_unique<WindowRecordingHost>(*this);
    recording = std::make_unique<RecordingControls>(*recordingHost_);

    // auto_enable and REC are wired with the controllers' table
    onMouseDown(QStringLiteral("mixnow"), &Tform1::mixnowMouseDown);
    onChange(QStringLiteral("ffout"), &Tform1::ffoutChange);
    onChange(QStringLiteral("ffin"), &Tform1::ffinChange);
    onMouseDown(QStringLiteral("random"), &Tform1::randomMouseDown);
    onMouseUp(QStringLiteral("random"), &Tform1::randomMouseUp);
    onMouseDown(QStringLiteral("newlist"), &Tform1::newlistMouseDown);
    onMouseUp(QStringLiteral("newlist"), &Tform1::newlistMouseUp);
}

// A latched kit button inverts its own Down after its press handler has run: the state the
// handler leaves is shown once the press is over.
void Tform1::showAfterPress(const QString& button, std::function<bool()> down)
{
    QTimer::singleShot(0, this, [this, button, down = std::move(down)] {
        if (ButtonView* b = buttonView(button)) b->setDown(down());
    });
}

void Tform1::auto_enableMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    automix->playlist = ep3 ? ep3->grid() : nullptr;
    automix->auto_enableMouseDown();
    // lit exactly while automix is on
    showAfterPress(QStringLiteral("auto_enable"), [this] { return adj && adj->autoenable; });
}

void Tform1::mixnowMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { automix->mixnowMouseDown(); }
void Tform1::ffoutChange(QObject*) { automix->ffoutChange(); }
void Tform1::ffinChange(QObject*) { automix->ffinChange(); }
void Tform1::randomMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { automix->randomMouseDown(); }
void Tform1::randomMouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { automix->randomMouseUp(); }
void Tform1::newlistMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { automix->newlistMouseDown(); }
void Tform1::newlistMouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {}
void Tform1::recMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    recording->recMouseDown();
    // the latched button shows the engine's state, not the press (a shown dialog records nothing)
    showAfterPress(QStringLiteral("REC"), [this] { return adj && adj->grabando; });
}
void Tform1::boffd1click() { recording->boffd1click(); }
void Tform1::boffd2click() { recording->boffd2click(); }
