// An ALSA configuration of our own (ALSA_CONFIG_PATH) whose "default" PCM is a `file`
// plugin over `null`: every sample played lands in capture.raw, as fast as it is produced
// (nothing paces it), and recording from it reads input.raw. "failing" is listed and
// opens, but its first write fails: its file's folder does not exist. "leaving" is a plain
// `null` until unplug() turns it into a sound card that is not there. "surround" takes any
// channel count, as every file PCM does, and declares speaker layouts of two, four and six
// (capturing into surround.raw). "fixed" takes three channels and no other count, as a card
// does (it is listed, not played: `multi` over `null` stalls).
#pragma once

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

class AlsaFilePcm {
public:
    AlsaFilePcm() { write(R"(pcm.leaving { type null })"); }

    void unplug()
    {
        write(R"(pcm.leaving {
  type hw
  card 29
})");
    }

    QString capturePath() const { return dir_.filePath("capture.raw"); }
    QString surroundPath() const { return dir_.filePath("surround.raw"); }
    // what the default PCM's capture side reads (raw, in the format it is opened with)
    QString inputPath() const { return dir_.filePath("input.raw"); }
    // what a PCM captured: the default one's unless another file is named
    QByteArray captured(const QString& path = QString()) const
    {
        QFile f(path.isEmpty() ? capturePath() : path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    void write(const char* leaving)
    {
        const QString conf = QString(R"(pcm.!default {
  type file
  slave.pcm "sink"
  file "%1"
  infile "%4"
  format "raw"
}
pcm.sink { type null }
pcm.failing {
  type file
  slave.pcm "sink"
  file "%2"
  format "raw"
}
pcm.fixed {
  type multi
  slaves.a { pcm "sink" channels 3 }
  bindings { 0 { slave a channel 0 } 1 { slave a channel 1 } 2 { slave a channel 2 } }
}
pcm.surround {
  type file
  slave.pcm { type null chmap [ "FL,FR" "FL,FR,RL,RR" "FL,FR,RL,RR,FC,LFE" ] }
  file "%5"
  format "raw"
}
%3
)").arg(capturePath(), dir_.filePath("gone/failing.raw"), QString::fromUtf8(leaving), inputPath(), surroundPath());
        QFile f(dir_.filePath("asound.conf"));
        if (f.open(QIODevice::WriteOnly)) f.write(conf.toUtf8());
        f.flush();
        // ALSA reads its configuration again when the file's time (in seconds) changes
        f.setFileTime(QDateTime::currentDateTime().addSecs(++edits_), QFileDevice::FileModificationTime);
        f.close();
        setenv("ALSA_CONFIG_PATH", QFile::encodeName(f.fileName()).constData(), 1);
    }

    QTemporaryDir dir_;
    int edits_ = 0;
};
