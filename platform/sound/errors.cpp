#include "platform/sound/sound.h"

#include "platform/sound/errorstate.h"

namespace sound {

namespace {
thread_local Error lastErr = Error::Ok;
}

Error lastError() { return lastErr; }

void setError(Error e) { lastErr = e; }

const char* errorText(Error e)
{
    switch (e) {
    case Error::Ok: return "no error";
    case Error::Handle: return "invalid handle";
    case Error::WrongKind: return "handle of the wrong kind";
    case Error::FileOpen: return "file cannot be opened";
    case Error::Format: return "unsupported or damaged audio";
    case Error::TooLarge: return "decoded audio too large";
    case Error::Memory: return "out of memory";
    case Error::Position: return "position outside the stream";
    case Error::Param: return "invalid parameter";
    case Error::NotDecode: return "not a decoding stream";
    case Error::AlreadyInMixer: return "already in a mixer";
    case Error::NotInMixer: return "not in a mixer";
    case Error::Ended: return "stream ended";
    case Error::Busy: return "busy";
    case Error::Init: return "not initialised";
    case Error::Device: return "device unavailable";
    case Error::Driver: return "driver unavailable";
    case Error::NoServer: return "no JACK server";
    case Error::Write: return "cannot write the file";
    case Error::Unsupported: return "unsupported";
    }
    return "unknown error";
}

}  // namespace sound
