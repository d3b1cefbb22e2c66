// Stand-ins for the configuration dialog's model: an engine with device lists a test sets,
// prompts a test answers, MIDI ports and a HID driver, and the configuration row in memory.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "engine/psoundconfig.h"
#include "library/tmsql.h"
#include "mainwindow/config/configengine.h"
#include "mainwindow/config/confighiddriver.h"
#include "mainwindow/config/configmidiports.h"
#include "mainwindow/config/configprompts.h"

class FakeConfigEngine : public ConfigEngine {
  public:
    PSoundConfig cfg;
    QStringList asio, ds, rec;
    std::vector<int> asioOut, dsOut;
    int rec_ds = 0;
    bool stopped = false;
    int stops = 0, dsReads = 0, asioReads = 0;
    std::function<void()> onRead; // a refresh reads the lists: the test changes them here

    PSoundConfig& soundcfg() override { return cfg; }
    QStringList asioNames() const override { return asio; }
    int asioOutputs(int p) const override {
        return p >= 0 && p < int(asioOut.size()) ? asioOut[size_t(p)] : 0;
    }
    QStringList dsNames() const override { return ds; }
    int dsOutputs(int p) const override { return p >= 0 && p < int(dsOut.size()) ? dsOut[size_t(p)] : 0; }
    QStringList recordNames() const override { return rec; }
    int recds() const override { return rec_ds; }
    void setRecds(int p) override { rec_ds = p; }
    bool stoppedcarga() const override { return stopped; }
    void stopcargas() override {
        ++stops;
        stopped = true;
    }
    void dameds() override {
        ++dsReads;
        if (onRead) onRead();
    }
    void dameasio() override { ++asioReads; }
};

class FakePrompts : public ConfigPrompts {
  public:
    std::vector<QString> asked, warned;
    std::deque<bool> answers;          // answered at once, in order; when none, the question waits
    std::function<void(bool)> waiting; // the question that waits

    void ask(const QString& text, std::function<void(bool)> answer) override {
        asked.push_back(text);
        if (answers.empty()) {
            waiting = std::move(answer);
            return;
        }
        const bool a = answers.front();
        answers.pop_front();
        answer(a);
    }
    void warn(const QString& text) override { warned.push_back(text); }
    void answer(bool yes) {
        auto a = std::move(waiting);
        waiting = nullptr;
        if (a) a(yes);
    }
};

// The port list is `ports` (read by the reader's worker too: set it while no read runs); an
// entry's selectable flag is looked up by its text when the list is shown.
class FakeMidiPorts : public ConfigMidiPorts {
  public:
    std::vector<MidiPortEntry> ports;
    int recreated = 0, closedFirst = 0;

    MidiPortList readPorts() override {
        MidiPortList l;
        for (const MidiPortEntry& e : ports) {
            midi::ListedPort p;
            p.listedName = e.text.toStdString();
            l.push_back(p);
        }
        return l;
    }
    void recreatePorts(const MidiPortList&) override { ++recreated; }
    void closeFirstInput() override { ++closedFirst; }
    std::vector<MidiPortEntry> inputPorts(const MidiPortList& inputs) override {
        std::vector<MidiPortEntry> out;
        for (const midi::ListedPort& p : inputs) {
            MidiPortEntry e{QString::fromStdString(p.listedName), true};
            for (const MidiPortEntry& known : ports)
                if (known.text == e.text) e.selectable = known.selectable;
            out.push_back(e);
        }
        return out;
    }
    void set(std::initializer_list<const char*> names) {
        ports.clear();
        for (const char* n : names)
            ports.push_back({QString::fromUtf8(n), true});
    }
};

// The port list of FakeMidiPorts, its every read held until the test releases the gate.
class GatedMidiPorts : public FakeMidiPorts {
  public:
    MidiPortList readPorts() override {
        {
            std::unique_lock<std::mutex> l(m_);
            ++reads_;
            cv_.wait(l, [this] { return open_; });
        }
        return FakeMidiPorts::readPorts();
    }
    void release() {
        const std::lock_guard<std::mutex> l(m_);
        open_ = true;
        cv_.notify_all();
    }
    int reads() {
        const std::lock_guard<std::mutex> l(m_);
        return reads_;
    }

  private:
    std::mutex m_;
    std::condition_variable cv_;
    bool open_ = false;
    int reads_ = 0;
};

// A driver with the first HID driver's list members, adapted as the window adapts hidcontrol1.
struct FakeHidDriver {
    std::array<QString, 66> lista;
    int xn = 0;
    QStringList devices; // what Enumerate finds
    int cleared = 0, enumerated = 0;

    void limpialista() {
        ++cleared;
        lista.fill(QString());
        xn = 0;
    }
    int Enumerate() {
        ++enumerated;
        for (int i = 0; i < devices.size() && i < 66; ++i)
            lista[size_t(i)] = devices[i];
        xn = std::max(0, int(devices.size()) - 1);
        return int(devices.size());
    }
};

// The configuration row of an in-memory library database.
class MemoryRow {
  public:
    MemoryRow() : db(QStringLiteral(":memory:")) {}
    void read(PSoundConfig& c) { db.asignoconfig(c); }
    void write(const PSoundConfig& c) { db.graboconfig(c); }
    Tmsql db;
};

// Every field the configuration row keeps, as "name=value" lines, for comparing two records.
inline QStringList storedFields(const PSoundConfig& c) {
    QStringList l;
    auto n = [&](const char* name, int v) { l << QString::fromLatin1(name) + '=' + QString::number(v); };
    auto t = [&](const char* name, const QString& v) { l << QString::fromLatin1(name) + '=' + v; };
    for (size_t i = 0; i < 4; ++i) {
        n("dsnum", c.dsnum[i]);
        n("dschan", c.dschan[i]);
        t("dsname", c.dsname[i]);
        n("asnum", c.asnum[i]);
        n("aschan", c.aschan[i]);
        t("asname", c.asname[i]);
    }
    t("s1", c.s1);
    t("s2", c.s2);
    t("s3", c.s3);
    t("s4", c.s4);
    t("s5", c.s5);
    t("s6", c.s6);
    n("dr", c.dr);
    n("lr", c.lr);
    n("brake", c.brake);
    n("pitch", c.pitch);
    n("micin", c.micin);
    n("micout", c.micout);
    n("devicemode", c.devicemode);
    n("devicework", c.devicework);
    n("wmode1", c.wmode1);
    n("wmode2", c.wmode2);
    n("wcue1", c.wcue1);
    n("wcue2", c.wcue2);
    n("wexp", c.wexp);
    t("wasio", c.wasio);
    n("wzoom1", c.wzoom1);
    n("wzoom2", c.wzoom2);
    n("wfull", c.wfull);
    t("controler", c.controler);
    t("portconin", c.portconin);
    t("controler2", c.controler2);
    t("portconin2", c.portconin2);
    t("hid", c.hid);
    t("porthid", c.porthid);
    t("hid2", c.hid2);
    t("porthid2", c.porthid2);
    t("skin", c.skin);
    n("com", c.com);
    n("usekeylock", c.usekeylock);
    n("recinternal", c.recinternal);
    n("recnum", c.recnum);
    n("recchan", c.recchan);
    t("recname", c.recname);
    n("micnum", c.micnum);
    n("micchan", c.micchan);
    t("micname", c.micname);
    n("svol1", c.svol1);
    n("svol2", c.svol2);
    t("rdownload", c.rdownload);
    t("rrecord", c.rrecord);
    return l;
}

// A user profile folder of a test, with its subfolders as the program creates them.
class TestProfile {
  public:
    TestProfile() {
        for (const char* sub : {"Devices", "Devices/hid", "Samples", "Skin"})
            QDir().mkpath(dir.filePath(sub));
    }
    QString path() const { return dir.path() + QLatin1Char('/'); }
    void file(const QString& relative, const QByteArray& bytes = "x") {
        QFile f(dir.filePath(relative));
        if (f.open(QIODevice::WriteOnly)) f.write(bytes);
    }
    QTemporaryDir dir;
};
