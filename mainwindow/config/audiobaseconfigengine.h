// The configuration dialog's view of the engine `audiobase`.
#pragma once

#include "mainwindow/config/configengine.h"

class audiobase;

class AudiobaseConfigEngine : public ConfigEngine {
  public:
    explicit AudiobaseConfigEngine(audiobase& engine) : adj(engine) {}

    PSoundConfig& soundcfg() override;
    QStringList asioNames() const override;
    int asioOutputs(int position) const override;
    QStringList dsNames() const override;
    int dsOutputs(int position) const override;
    QStringList recordNames() const override;
    int recds() const override;
    void setRecds(int position) override;
    bool stoppedcarga() const override;
    void stopcargas() override;
    void dameds() override;
    void dameasio() override;

  private:
    audiobase& adj;
};
