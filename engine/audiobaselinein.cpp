// The engine: stopping the mix recording alone, and recording the default input (ALSA's
// capture device through PortAudio) into a WAV file: the line-in path and the test path.
// The input's own thread calls RecordingCallback; the file is written by the encoder's thread.
#include <QStringList>
#include <QtGlobal>

#include "engine/audiobase.h"
#include "engine/audiodjbase.h"
#include "engine/ostrelli.h"

using sound::Handle;

namespace {
constexpr int kInputRate = 44100;
}

void audiobase::grabaas()
{
    recordtaps(false);
    recorderstart_.cancel();
    const Handle e = encoder.exchange(0);
    if (Grabacion && !offlinerender) {
        sound::stop(Grabacion);
        if (e) drainrecorder();
    }
    if (e) sound::stopEncoder(e);
    grabando = false;
    estagrabando = false;
}

int audiobase::defaultinput()
{
    const int n = sound::recordDeviceCount();
    for (int i = 0; i < n; ++i) {
        sound::DeviceInfo info;
        if (sound::getRecordDeviceInfo(i, info) && info.isDefault) return i;
    }
    return n > 0 ? 0 : -1;
}

Handle audiobase::startinput(const QString& file)
{
    const int dev = defaultinput();
    const Handle r = dev < 0 ? 0
                             : sound::startRecord(
                                   dev, kInputRate, 2,
                                   [this](Handle h, const float* b, int n) { return RecordingCallback(h, b, n, nullptr); },
                                   true);
    if (!r) {
        message(QStringLiteral("Couldn't start recording"));
        return 0;
    }
    if (!sound::encodeToWav(r, file.toStdString())) {
        message(QStringLiteral("Couldn't start encoding"));
        sound::stopRecord(r);
        return 0;
    }
    if (!sound::pauseRecord(r, false)) {
        message(QStringLiteral("Couldn't start recording"));
        sound::stopRecord(r);  // its file goes too, empty
        return 0;
    }
    return r;
}

void audiobase::grabads(const QString& filerec, bool grabar)
{
    if (!grabar) {
        grabaas();
        if (const Handle r = recchan.exchange(0)) sound::stopRecord(r);
        grabando = false;
        return;
    }
    // the take runs before the mix recording stops, so that a failure stops nothing
    const Handle r = startinput(filerec);
    if (!r) return;
    grabaas();
    if (const Handle old = recchan.exchange(r)) sound::stopRecord(old);
    grabando = true;
}

void audiobase::StartRecording()
{
    const Handle r = startinput(GetUserProfile() + QStringLiteral("output.wav"));
    if (!r) return;
    if (const Handle old = rdschan.exchange(r)) sound::stopRecord(old);
}

void audiobase::StopRecording()
{
    if (const Handle r = rdschan.exchange(0)) sound::stopRecord(r);
}

bool audiobase::RecordingCallback(Handle handle, const float*, int, void*)
{
    const bool on = sound::encoderActive(handle);
    if (!on && handle == recchan) grabando = false;
    return on;
}

QString audiobase::inputKind(const QString& deviceName)
{
    // words of the name, compared whole or (for the longer ones) by their beginning
    static const struct {
        const char* word;
        bool prefix;
        const char* kind;
    } rules[] = {
        {"digital", true, "digital"}, {"iec958", true, "digital"},  {"spdif", true, "digital"},
        {"pdif", true, "digital"},
        {"line", true, "line-in"},    {"mic", true, "microphone"},   {"synth", true, "midi synth"},
        {"midi", true, "midi synth"}, {"cd", false, "analog cd"},    {"telephone", false, "telephone"},
        {"phone", false, "telephone"}, {"speaker", true, "pc speaker"}, {"beep", true, "pc speaker"},
        {"wave", true, "wave/pcm"},   {"pcm", false, "wave/pcm"},    {"aux", true, "aux"},
        {"analog", true, "analog"},
    };
    QStringList words;
    QString w;
    for (QChar c : deviceName.toLower() + QLatin1Char(' ')) {
        if (c.isLetterOrNumber()) {
            w += c;
        } else if (!w.isEmpty()) {
            words << w;
            w.clear();
        }
    }
    for (const auto& r : rules)
        for (const QString& word : std::as_const(words))
            if (r.prefix ? word.startsWith(QLatin1String(r.word)) : word == QLatin1String(r.word))
                return QString::fromLatin1(r.kind);
    return QStringLiteral("undefined");
}

QString audiobase::UpdateInputInfo()
{
    sound::DeviceInfo info;
    const int dev = defaultinput();
    if (dev < 0 || !sound::getRecordDeviceInfo(dev, info)) return QStringLiteral("undefined");
    return inputKind(QString::fromStdString(info.name));
}
