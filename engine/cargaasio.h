// The deck player that builds its chain on the sound layer: decks A and B and both samplers.
#pragma once

#include "engine/carga.h"

class cargaasio : public carga {
public:
    cargaasio(PSoundConfig* config, int nc);
    ~cargaasio() override;

    bool Load(const QString& path) override;
    void cplay() override;
    void cstop() override;
    void cpause() override;

protected:
    bool openChain(const QString& path, bool reload) override;

private:
    bool loadSampler(const QString& path);
    bool loadDeck(const QString& path);
    void ensureOutputMixer();
};
