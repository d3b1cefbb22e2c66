#include "platform/sound/fxprocessor.h"

#include "platform/sound/autowah.h"
#include "platform/sound/echo.h"
#include "platform/sound/errorstate.h"
#include "platform/sound/flanger.h"
#include "platform/sound/peakingeq.h"
#include "platform/sound/reverb.h"
#include "platform/sound/volumeeffect.h"

namespace sound {

namespace {
bool channelOk(int channel) { return channel >= -1 && channel <= 1; }
}  // namespace

FxProcessor::FxProcessor(FxType type, int rate)
    : type_(type)
{
    switch (type) {
    case FxType::PeakEq: kernel_ = std::make_unique<PeakingEq>(rate); break;
    case FxType::Volume: kernel_ = std::make_unique<VolumeEffect>(rate); break;
    case FxType::Flanger: kernel_ = std::make_unique<Flanger>(rate); break;
    case FxType::Echo: kernel_ = std::make_unique<Echo>(rate); break;
    case FxType::AutoWah: kernel_ = std::make_unique<AutoWah>(rate); break;
    case FxType::Reverb: kernel_ = std::make_unique<Reverb>(rate); break;
    }
}

void FxProcessor::process(float* frames, int frameCount, int)
{
    kernel_->process(frames, frameCount);
}

template <class K>
K* FxProcessor::as(FxType t) const
{
    if (t != type_) return fail(Error::WrongKind, nullptr);
    return static_cast<K*>(kernel_.get());
}

bool FxProcessor::set(const PeakEqParams& p)
{
    auto k = as<PeakingEq>(FxType::PeakEq);
    if (!k) return false;
    if (!channelOk(p.channel) || !k->setBand(p)) return fail(Error::Param, false);
    return true;
}

bool FxProcessor::get(PeakEqParams& p) const
{
    auto k = as<PeakingEq>(FxType::PeakEq);
    if (!k) return false;
    return k->getBand(p) || fail(Error::Param, false);
}

#define OSTREL_SIMPLE_FX(Params, Kernel, Type)                      \
    bool FxProcessor::set(const Params& p)                          \
    {                                                               \
        auto k = as<Kernel>(Type);                                  \
        if (!k) return false;                                       \
        if (!channelOk(p.channel)) return fail(Error::Param, false); \
        k->set(p);                                                  \
        return true;                                                \
    }                                                               \
    bool FxProcessor::get(Params& p) const                          \
    {                                                               \
        auto k = as<Kernel>(Type);                                  \
        if (!k) return false;                                       \
        p = k->get();                                               \
        return true;                                                \
    }

OSTREL_SIMPLE_FX(VolumeParams, VolumeEffect, FxType::Volume)
OSTREL_SIMPLE_FX(FlangerParams, Flanger, FxType::Flanger)
OSTREL_SIMPLE_FX(EchoParams, Echo, FxType::Echo)
OSTREL_SIMPLE_FX(AutoWahParams, AutoWah, FxType::AutoWah)
OSTREL_SIMPLE_FX(ReverbParams, Reverb, FxType::Reverb)

#undef OSTREL_SIMPLE_FX

}  // namespace sound
