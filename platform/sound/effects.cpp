// The effect calls of sound.h: each effect is an FxProcessor on the stream's chain.
#include "platform/sound/errorstate.h"
#include "platform/sound/fxprocessor.h"
#include "platform/sound/sound.h"

namespace sound {

namespace {

// Runs f on the effect behind fx while no mixing runs; its result, or the error it left.
template <class F>
bool onFx(Handle fx, F&& f)
{
    bool ok = false;
    Error err = Error::WrongKind;
    const bool found = withProcessor(fx, [&](Processor& proc) {
        if (auto p = dynamic_cast<FxProcessor*>(&proc)) {
            ok = f(*p);
            err = lastError();
        }
    });
    if (!found) return false;
    return ok ? (setError(Error::Ok), true) : fail(err, false);
}

template <class P>
bool setParams(Handle fx, const P& params)
{
    return onFx(fx, [&](FxProcessor& p) { return p.set(params); });
}

template <class P>
bool getParams(Handle fx, P& params)
{
    return onFx(fx, [&](FxProcessor& p) { return p.get(params); });
}

}  // namespace

Handle addFx(Handle stream, FxType type, int priority)
{
    StreamInfo info;
    if (!getInfo(stream, info)) return 0;
    if (info.rate <= 0) return fail(Error::Param, Handle(0));
    if (int(type) < int(FxType::PeakEq) || int(type) > int(FxType::Reverb)) return fail(Error::Param, Handle(0));
    return addProcessor(stream, std::make_shared<FxProcessor>(type, info.rate), priority, Kind::Fx);
}

bool removeFx(Handle stream, Handle fx)
{
    if (kindOf(fx) != Kind::Fx) return fail(kindOf(fx) == Kind::None ? Error::Handle : Error::WrongKind, false);
    return removeProcessor(stream, fx);
}

bool resetFx(Handle fx)
{
    if (kindOf(fx) != Kind::Fx) return fail(kindOf(fx) == Kind::None ? Error::Handle : Error::WrongKind, false);
    return withProcessor(fx, [](Processor& p) { p.reset(); });
}

bool getFxParams(Handle fx, PeakEqParams& p) { return getParams(fx, p); }
bool setFxParams(Handle fx, const PeakEqParams& p) { return setParams(fx, p); }
bool getFxParams(Handle fx, VolumeParams& p) { return getParams(fx, p); }
bool setFxParams(Handle fx, const VolumeParams& p) { return setParams(fx, p); }
bool getFxParams(Handle fx, FlangerParams& p) { return getParams(fx, p); }
bool setFxParams(Handle fx, const FlangerParams& p) { return setParams(fx, p); }
bool getFxParams(Handle fx, EchoParams& p) { return getParams(fx, p); }
bool setFxParams(Handle fx, const EchoParams& p) { return setParams(fx, p); }
bool getFxParams(Handle fx, AutoWahParams& p) { return getParams(fx, p); }
bool setFxParams(Handle fx, const AutoWahParams& p) { return setParams(fx, p); }
bool getFxParams(Handle fx, ReverbParams& p) { return getParams(fx, p); }
bool setFxParams(Handle fx, const ReverbParams& p) { return setParams(fx, p); }

}  // namespace sound
