// The configuration bridge: the configuration row into the engine and the window
// (asignoconfig), the configuration button (bconfigMouseDown) and the first activation's
// configuration dialog. The window is the bridge's host: the dialog, the MIDI and HID
// controllers, the row, the skin, the presets and the outputs. The row written at shut-down,
// with the window's own state, is the shut-down's (graboconfigRow); the bridge writes the row
// as the dialog left it.
#include <QFileInfo>

#include "controllers/profilepath.h"
#include "engine/audiobase.h"
#include "engine/carga.h"
#include "library/tmsql.h"
#include "mainwindow/logic/configrow.h"
#include "mainwindow/logic/labelview.h"
#include "mainwindow/logic/positionview.h"
#include "mainwindow/tform1.h"
#include "controllers/controllerset.h"
#include "mainwindow/config/audiobaseconfigengine.h"
#include "mainwindow/config/configbridge.h"
#include "mainwindow/config/configbridgehost.h"
#include "mainwindow/config/midicontrollersports.h"
#include "mainwindow/config/midiportreader.h"
#include "mainwindow/config/tfnewconfig.h"
#include "mainwindow/logic/buttonview.h"
#include "platform/midi/rtmidibackend.h"
#include "snkins/vs/tvsbutton.h"

void Tform1::asignoconfig()
{
    if (!adj || !quorsql) return;
    PSoundConfig& cfg = *adj->soundcfg;

    // steps 1 and 2
    const int pitchA = deckA.trackfrequency ? deckA.trackfrequency->position() : 63;
    const int pitchB = deckB.trackfrequency ? deckB.trackfrequency->position() : 63;
    if (!ConfigRow::read(*quorsql, cfg))
        tell(QStringLiteral("The stored settings could not be read. The default settings are used."));

    // steps 3 and 4: six files that exist, or the six default samples
    static const char* const defaults[] = {"ALARM 1.mp3", "ALARM 2.mp3", "POLICE.mp3",
                                           "SPIRAL.mp3",  "THRILL 1.mp3", "THRILL 2.mp3"};
    bool usable = true;
    for (int i = 1; i <= 6; ++i) {
        const QString file = cfg.sample(i)->get();
        sp[size_t(i - 1)] = file;
        if (file.isEmpty() || file == QLatin1String("xxx") || !QFileInfo(file).isFile()) usable = false;
    }
    if (!usable)
        for (int i = 0; i < 6; ++i)
            sp[size_t(i)] = ProfilePath::find(myApplicationdir, QStringLiteral("samples/") + QLatin1String(defaults[i]));

    // step 5
    sampleCaptions();

    // step 6
    if (PositionView* ffout = positionView(QStringLiteral("ffout"))) ffout->setPosition(cfg.dr);
    if (PositionView* ffin = positionView(QStringLiteral("ffin"))) ffin->setPosition(cfg.lr);

    // steps 7 to 10
    const QString range = QString::number(cfg.pitch) + QLatin1Char('%');
    for (DeckControls* d : {&deckA, &deckB})
        if (d->lpitp) d->lpitp->setCaption(range);
    for (DeckControls* d : {&deckA, &deckB}) {
        carga* p = d->player();
        PositionView* slider = d->trackfrequency;
        if (!p || !slider) continue;
        const int position = p->SetPitchv(cfg.pitch);
        if (slider->position() == 127) slider->setPosition(126);
        if (slider->position() == 0) slider->setPosition(1);
        slider->setPosition(position);
        if (!p->loaded) slider->setPosition(d->deck == 1 ? pitchA : pitchB);
    }
    for (DeckControls* d : {&deckA, &deckB})
        if (d->lpitp) d->lpitp->setCaption(range);
}

// ---- the bridge's host

class Tform1::ConfigHost : public ConfigBridgeHost {
  public:
    explicit ConfigHost(Tform1& w) : w_(w) {}
    ~ConfigHost() override {
        // the dialog holds the adapters below
        delete w_.fnewconfig.data();
    }

    PSoundConfig& soundcfg() override { return *w_.adj->soundcfg; }

    bool configButtonOpen() const override {
        const auto* b = w_.get<TVsButton>(QStringLiteral("bconfig"));
        return b && b->GraphicName() == QLatin1String("tconfigon.bmp");
    }
    void setConfigButton(bool open) override {
        if (auto* b = w_.get<TVsButton>(QStringLiteral("bconfig")))
            b->SetGraphicName(QLatin1String(open ? "tconfigon.bmp" : "tconfigoff.bmp"));
        if (ButtonView* v = w_.buttonView(QStringLiteral("bconfig")); v && !open) v->setDown(false);
    }

    void createDialog() override {
        delete w_.fnewconfig.data();
        engine_ = std::make_unique<AudiobaseConfigEngine>(*w_.adj);
        // made once: a read the last dialog left under way serves the next one
        if (w_.set && !ports_) {
            ports_ = std::make_unique<MidiControllersPorts>(w_.set->midi, backend());
            reader_ = std::make_unique<MidiPortReader>(*ports_);
        }
        ConfigDialogModel::Services s;
        s.engine = engine_.get();
        s.midi = ports_.get();
        s.midiReader = reader_.get();
        s.main = &w_;
        s.profile = w_.myApplicationdir;
        w_.fnewconfig = new Tfnewconfig(&w_, s);
    }
    void showDialog(std::function<void(bool cambioskin)> closed) override {
        Tfnewconfig* d = w_.fnewconfig;
        if (!d) return;
        QObject::connect(d, &Tfnewconfig::configClosed, &w_,
                         [closed = std::move(closed)](bool, bool cambioskin) { closed(cambioskin); });
        d->setWindowModality(Qt::WindowModal);
        d->open();
    }

    // the splash went when the window was shown
    void hideSplash() override {}
    void raiseWindow() override {
        w_.raise();
        w_.activateWindow();
    }

    void closeMidiPorts() override {
        if (!w_.set) return;
        MidiControllers& m = w_.set->midi;
        if (m.MidiOutput1) m.MidiOutput1->Close();
        if (m.MidiInput1) m.MidiInput1->Close();
        if (m.MidiOutput2) m.MidiOutput2->Close();
        if (m.MidiInput2) m.MidiInput2->Close();
    }
    // new, closed port objects (the old ones stopped and freed by the controllers)
    void replaceMidiInputs() override {
        if (w_.set) w_.set->midi.recreatePorts();
    }
    void resetDisplays() override {
        if (!w_.set) return;
        w_.set->tables.CHARDISPLAY1 = w_.set->tables.CHARDISPLAY2 = 0;
        resetDisplayCounters();
    }
    void resetDisplayCounters() override {
        if (w_.set) w_.set->state.changedis1 = w_.set->state.changedis2 = 0;
    }

    void writeRow() override {
        if (w_.quorsql) w_.quorsql->graboconfig(*w_.adj->soundcfg);
    }
    void asignoconfig() override { w_.asignoconfig(); }
    void setUpMidi() override {
        if (!w_.set) return;
        const PSoundConfig& c = *w_.adj->soundcfg;
        w_.set->midi.inicializamidifile(c.portconin.get());
        w_.set->midi.inicializamidifile2(c.portconin2.get());
    }
    void setUpHid() override { w_.setUpHidControllers(); }
    void clearLights() override {
        if (w_.set) w_.set->state.luces.clear();
    }
    void changeSkin() override {
        w_.asignoskin(w_.adj->soundcfg->skin.get());
        w_.maximizo();
    }
    void applyPreset(int level) override {
        switch (level) {
        case 0: w_.higp(); break;
        case 1: w_.medp(); break;
        case 2: w_.lowp(); break;
        default: break;
        }
    }
    bool stoppedcarga() const override { return w_.adj->stoppedcarga; }
    void restartOutput(bool alsa) override {
        if (alsa) w_.adj->desinitds();
        else w_.adj->desinitasio();
    }
    void playcargas() override { w_.adj->playcargas(); }
    void enableKeylock(bool on) override {
        for (DeckControls* d : {&w_.deckA, &w_.deckB})
            if (d->key) d->key->setEnabled(on);
    }

  private:
    midi::Backend& backend() { return w_.options_.midi ? *w_.options_.midi : midi::RtMidiBackend::instance(); }

    Tform1& w_;
    std::unique_ptr<AudiobaseConfigEngine> engine_;
    std::unique_ptr<MidiControllersPorts> ports_;
    std::unique_ptr<MidiPortReader> reader_; // goes first: its worker reads through ports_
};

void Tform1::wireConfig()
{
    configHost_ = std::make_unique<ConfigHost>(*this);
    configBridge = std::make_unique<ConfigBridge>(*configHost_);
    onMouseDown(QStringLiteral("bconfig"), &Tform1::bconfigMouseDown);
    firstActivationDialog = [this](std::function<void()> then) {
        if (!adj) {
            if (then) then();
            return;
        }
        configBridge->openAtFirstActivation(std::move(then));
    };
}

void Tform1::bconfigMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    if (!adj || shutdown.begun()) return;
    configBridge->bconfigMouseDown();
}
