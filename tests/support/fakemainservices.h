// A stand-in main window for tests: records the main loop flag changes and owns a
// plain QObject for timers.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include <QObject>

#include "engine/hintmailbox.h"
#include "engine/mainservices.h"

class FakeMainServices : public MainServices {
public:
    bool mmain(bool flag) override {
        running_ = flag;
        calls.push_back(flag);
        return true;
    }
    bool mainRunning() const override { return running_; }
    HintMailbox& hint() override { return hint_; }
    QObject* owner() override { return &owner_; }

    std::vector<bool> calls;

private:
    std::atomic<bool> running_{true};
    HintMailbox hint_;
    QObject owner_;
};
