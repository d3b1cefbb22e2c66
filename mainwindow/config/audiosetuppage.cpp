#include "mainwindow/config/audiosetuppage.h"

#include "engine/psoundconfig.h"
#include "mainwindow/config/channellists.h"
#include "mainwindow/config/configengine.h"
#include "mainwindow/config/configprompts.h"
#include "mainwindow/config/routingcheck.h"

namespace {

const QString kStopQuestion = QStringLiteral(" This action will stop the music. Do you want to continue?");
const QString kRefreshQuestion =
    QStringLiteral(" This action will stop the music. Do you want to continue? ");

// the positions of the three channel selectors, put back where they still exist
struct ChannelChoices {
    int at[3];
    explicit ChannelChoices(const Selector* cha) : at{cha[0].index, cha[1].index, cha[2].index} {}
    void restore(Selector* cha) const {
        for (int k = 0; k < 3; ++k)
            if (cha[k].has(at[k])) cha[k].index = at[k];
    }
};

// what a position shows: the first entry when it no longer exists
void keepOrFirst(Selector& s, int remembered) {
    s.setIndex(s.has(remembered) ? remembered : 0);
}

} // namespace

AudioSetupPage::AudioSetupPage(ConfigEngine& engine, ConfigPrompts& prompts, Hooks hooks)
    : engine_(engine), prompts_(prompts), hooks_(std::move(hooks)) {
    lab1.text = QStringLiteral("Device:");
    lab2.text = QStringLiteral("Channel");
    lab5.text = QStringLiteral("Sampler:");
    lab5.visible = false;
    dev[2].visible = false;
    cha[2].visible = false;
}

QString AudioSetupPage::modeCaption(int mode) {
    static const char* const captions[] = {
        "Single Channel External Mixer",    "Multi Channel External Mixer", "Multi Channel Master+Headphones",
        "Single Channel Master+Headphones", "Multi Audio External Mixer",   "Multi Audio Master+Headphones"};
    return mode >= 1 && mode <= 6 ? QString::fromLatin1(captions[mode - 1]) : QString();
}

PSoundConfig& AudioSetupPage::cfg() const {
    return engine_.soundcfg();
}

bool AudioSetupPage::asio() const {
    return cfg().devicemode != 1;
}

int AudioSetupPage::channels(int row) const {
    const int d = dev[row].index;
    if (d < 0) return 0;
    return asio() ? engine_.asioOutputs(d) : engine_.dsOutputs(d);
}

// ---- fills

void AudioSetupPage::cambio() {
    const QStringList names = asio() ? engine_.asioNames() : engine_.dsNames();
    for (Selector& d : dev)
        d.setItems(names);
    for (int k = 0; k < 3; ++k) {
        dev[k].setIndex(asio() ? cfg().asnum[size_t(k)] : cfg().dsnum[size_t(k)]);
        cha[k].setIndex(asio() ? cfg().aschan[size_t(k)] : cfg().dschan[size_t(k)]);
    }
    if (hooks_.hidePlaceholders) hooks_.hidePlaceholders();
    const int m = cfg().devicework;
    rw1Click(m >= 1 && m <= 6 ? m : 1);
}

void AudioSetupPage::pressStoredDriver() {
    oldrm1 = asio() ? 1 : 2;
    pressSwitch(oldrm1);
    workmode = asio() ? QStringLiteral("JACK Work Mode") : QStringLiteral("ALSA Work Mode");
}

void AudioSetupPage::selectStored() {
    for (int k = 0; k < 3; ++k) {
        dev[k].setIndex(asio() ? cfg().asnum[size_t(k)] : cfg().dsnum[size_t(k)]);
        cha[k].setIndex(asio() ? cfg().aschan[size_t(k)] : cfg().dschan[size_t(k)]);
    }
    const int m = cfg().devicework;
    if (m >= 1 && m <= 6) mode = m;
}

// ---- the mode handler

void AudioSetupPage::rw1Click(int radio) {
    mode = radio;
    titledc.text = modeCaption(radio);
    const bool multiAudio = radio >= 5;
    lab2.visible = multiAudio;
    dev[1].visible = multiAudio;
    lab5.visible = false;
    dev[2].visible = false;
    cha[2].visible = false;
    const bool master = radio == 3 || radio == 4 || radio == 6;
    lab3.text = master ? (radio == 6 ? QStringLiteral("Master:") : QStringLiteral("Master :"))
                       : QStringLiteral("Deck A:");
    lab4.text = master ? QStringLiteral("Headphones:") : QStringLiteral("Deck B:");

    const QStringList pairs = ChannelLists::pairs(6);
    switch (radio) {
    case 1:
        cha[0].setItems(ChannelLists::mono(!asio()));
        cha[1].setItems(ChannelLists::mono(!asio()));
        cha[0].setIndex(0);
        cha[1].setIndex(1);
        break;
    case 2:
    case 3:
        cha[0].setItems(pairs);
        cha[1].setItems(pairs);
        cha[0].setIndex(0);
        cha[1].setIndex(1);
        if (radio == 2) {
            cha[2].setItems(ChannelLists::sampler(6));
            cha[2].setIndex(2);
        }
        break;
    case 4:
        cha[0].setItems(ChannelLists::mono(false));
        cha[1].setItems(ChannelLists::mono(false));
        cha[0].setIndex(0);
        cha[1].setIndex(1);
        break;
    case 5:
        for (Selector& c : cha) {
            c.setItems(pairs);
            c.setIndex(0);
        }
        dev2Change();
        dev3Change();
        break;
    case 6:
        cha[0].setItems(pairs);
        cha[1].setItems(pairs);
        cha[2].setItems(ChannelLists::sampler(6));
        for (Selector& c : cha)
            c.setIndex(0);
        dev2Change();
        break;
    default:
        break;
    }
    dev1Change();
}

// ---- device handlers

void AudioSetupPage::dev1Change() {
    const int r1 = cha[0].index, r2 = cha[1].index;
    const int n1 = channels(0), n2 = channels(1);
    switch (mode) {
    case 1: {
        const QStringList l = n1 >= 2 ? ChannelLists::mono(true) : QStringList();
        cha[0].setItems(l);
        cha[1].setItems(l);
        cha[0].setIndex(0);
        cha[1].setIndex(1);
        break;
    }
    case 2:
    case 3:
        cha[0].setItems(ChannelLists::pairs(n1));
        cha[1].setItems(ChannelLists::pairs(n1));
        if (mode == 2) cha[2].setItems(ChannelLists::pairs(n1));
        cha[0].setIndex(r1);
        keepOrFirst(cha[1], r2);
        break;
    case 4:
        if (asio()) {
            const QStringList l = n1 >= 2 ? ChannelLists::mono(false) : QStringList();
            cha[0].setItems(l);
            cha[1].setItems(l);
            cha[0].setIndex(0);
            cha[1].setIndex(1);
        }
        break;
    case 5:
    case 6:
        cha[0].setItems(ChannelLists::pairs(n1));
        if (asio()) {
            cha[1].setItems(ChannelLists::pairs(n2));
            cha[0].setIndex(0);
            cha[1].setIndex(0);
        }
        break;
    default:
        break;
    }
    keepOrFirst(cha[0], r1);
}

void AudioSetupPage::deviceChange(int row) {
    const int remembered = cha[row].index;
    if (mode == 2 || mode == 3 || mode == 5 || mode == 6)
        cha[row].setItems(ChannelLists::pairs(channels(row)));
    keepOrFirst(cha[row], remembered);
}

void AudioSetupPage::dev2Change() {
    deviceChange(1);
}

void AudioSetupPage::dev3Change() {
    deviceChange(2);
}

// ---- channel handlers: in ALSA mode 1, Stereo for one deck is Stereo for both

void AudioSetupPage::cha1Change() {
    if (!asio() && mode == 1 && cha[0].index == 2) cha[1].setIndex(2);
}

void AudioSetupPage::cha2Change() {
    if (!asio() && mode == 1 && cha[1].index == 2) cha[0].setIndex(2);
}

void AudioSetupPage::chooseDevice(int row, int position) {
    if (row < 0 || row > 2) return;
    dev[row].setIndex(position);
    if (row == 0)
        dev1Change();
    else if (row == 1)
        dev2Change();
    else
        dev3Change();
}

void AudioSetupPage::chooseChannel(int row, int position) {
    if (row < 0 || row > 2) return;
    cha[row].setIndex(position);
    if (row == 0)
        cha1Change();
    else if (row == 1)
        cha2Change();
}

// ---- driver switch

void AudioSetupPage::pressSwitch(int tag) {
    rdm1 = tag == 1;
    rdm2 = tag == 2;
}

void AudioSetupPage::rdm1Click() {
    rdmClick(1);
}

void AudioSetupPage::rdm2Click() {
    rdmClick(2);
}

void AudioSetupPage::Label67Click() {
    pressSwitch(1);
    rdmClick(1);
}

void AudioSetupPage::Label68Click() {
    pressSwitch(2);
    rdmClick(2);
}

void AudioSetupPage::rdmClick(int tag) {
    if (tag == oldrm1) {
        pressSwitch(tag);
        return;
    }
    // the clicked switch shows pressed while the question waits
    (tag == 1 ? rdm1 : rdm2) = true;
    std::weak_ptr<int> alive = alive_;
    prompts_.ask(kStopQuestion, [this, alive, tag](bool yes) {
        if (alive.expired()) return;
        if (yes)
            switchDriver(tag);
        else
            pressSwitch(oldrm1);
        if (hooks_.changed) hooks_.changed();
    });
}

void AudioSetupPage::switchDriver(int tag) {
    if (!engine_.stoppedcarga()) engine_.stopcargas();
    oldrm1 = tag;
    pressSwitch(tag);
    workmode = tag == 1 ? QStringLiteral("JACK Work Mode") : QStringLiteral("ALSA Work Mode");
    cfg().devicemode = tag == 1 ? 0 : 1;
    cambio();
    for (Selector& d : dev)
        d.setIndex(1);
}

// ---- refresh

void AudioSetupPage::JvHTButton4Click() {
    std::weak_ptr<int> alive = alive_;
    prompts_.ask(kRefreshQuestion, [this, alive](bool yes) {
        if (alive.expired() || !yes) return;
        if (!engine_.stoppedcarga()) {
            if (hooks_.busy) hooks_.busy(true);
            engine_.stopcargas();
        }
        engine_.dameds();
        engine_.dameasio();
        if (hooks_.activate) hooks_.activate();
        if (hooks_.busy) hooks_.busy(false);
        if (hooks_.changed) hooks_.changed();
    });
}

// ---- OK

bool AudioSetupPage::compruebosalidas() {
    RoutingInput in;
    in.asio = asio();
    in.mode = mode;
    in.p1 = cha[0].index;
    in.p2 = cha[1].index;
    in.d1 = dev[0].index;
    in.d2 = dev[1].index;
    in.n1 = channels(0);
    in.n2 = channels(1);
    const RoutingResult r = RoutingCheck::check(in);
    if (r.ok) return true;
    prompts_.warn(r.text);
    if (hooks_.front) hooks_.front();
    const ChannelChoices kept(cha);
    for (int h : r.rerun) {
        if (h == 1)
            dev1Change();
        else if (h == 2)
            dev2Change();
    }
    kept.restore(cha);
    if (hooks_.focus) hooks_.focus(r.focus == 1 ? QStringLiteral("cha1") : QStringLiteral("cha2"));
    return false;
}

QString AudioSetupPage::rowName(int row, bool device) const {
    // modes 1 to 4 choose one device for both rows
    if (device && mode < 5) return QString();
    QString name = (row == 0 ? lab3 : row == 1 ? lab4 : lab5).text.trimmed();
    if (name.endsWith(QLatin1Char(':'))) name.chop(1);
    return name.trimmed();
}

bool AudioSetupPage::selectionsComplete() {
    for (int pass = 0; pass < 2; ++pass) {
        const bool device = pass == 0;
        for (int k = 0; k < 3; ++k) {
            const Selector& s = device ? dev[k] : cha[k];
            if (!s.visible || s.index >= 0) continue;
            const QString row = rowName(k, device);
            QString text =
                device ? QStringLiteral("No audio device selected") : QStringLiteral("No channel selected");
            if (!row.isEmpty()) text += QStringLiteral(" for ") + row;
            prompts_.warn(text + QLatin1Char('.'));
            if (hooks_.front) hooks_.front();
            if (hooks_.focus)
                hooks_.focus((device ? QStringLiteral("dev") : QStringLiteral("cha")) +
                             QString::number(k + 1));
            return false;
        }
    }
    return true;
}

void AudioSetupPage::store() {
    PSoundConfig& c = cfg();
    if (rdm2) {
        c.devicemode = 1;
        for (size_t k = 0; k < 3; ++k) {
            c.dsnum[k] = dev[k].visible ? dev[k].index : -1;
            c.dsname[k] = dev[k].visible ? dev[k].text() : QStringLiteral("-");
            c.dschan[k] = cha[k].index;
        }
    } else if (rdm1) {
        c.devicemode = 0;
        for (size_t k = 0; k < 3; ++k) {
            c.asnum[k] = dev[k].index;
            c.asname[k] = dev[k].visible ? dev[k].text() : QStringLiteral("-");
            c.aschan[k] = cha[k].index;
        }
    }
    c.devicework = mode;
}
