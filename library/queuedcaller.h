// Runs functions on the thread that created it, each in its own event of that thread's
// loop, in the order posted: a queued call that any thread may post. Unlike a functor
// given to QMetaObject::invokeMethod, the call is made before it is posted, so the hand-over
// of the call and of the values it carries is marked for ThreadSanitizer (Qt's own queue
// is not built with it and cannot show the sanitizer that the call is ordered).
// Calls still waiting when it is destroyed are dropped.
#pragma once

#include <functional>

#include <QEvent>
#include <QObject>

class QueuedCaller : public QObject {
public:
    void post(std::function<void()> call);

protected:
    bool event(QEvent* e) override;
};
