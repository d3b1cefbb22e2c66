#include "library/queuedcaller.h"

#include <mutex>

#include <QCoreApplication>

#if defined(__SANITIZE_THREAD__)
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#else
static inline void __tsan_acquire(void*) {}
static inline void __tsan_release(void*) {}
#endif

namespace {
const QEvent::Type kCall = static_cast<QEvent::Type>(QEvent::registerEventType());

class CallEvent : public QEvent {
public:
    explicit CallEvent(std::function<void()> c) : QEvent(kCall), call(std::move(c)) {}
    std::function<void()> call;
};
}  // namespace

void QueuedCaller::post(std::function<void()> call)
{
    auto* e = new CallEvent(std::move(call));
    __tsan_release(e);
    // Qt's queue has a lock of its own; this one also orders our posters for the sanitizer
    static std::mutex posting;
    std::lock_guard<std::mutex> g(posting);
    QCoreApplication::postEvent(this, e);
}

bool QueuedCaller::event(QEvent* e)
{
    __tsan_acquire(e);  // pairs with post's release for our calls; nothing for other events
    if (e->type() != kCall) return QObject::event(e);
    auto* c = static_cast<CallEvent*>(e);
    if (c->call) c->call();
    return true;
}
