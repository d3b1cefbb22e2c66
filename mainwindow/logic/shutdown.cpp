#include "mainwindow/logic/shutdown.h"

ShutDown::Question ShutDown::closeQuestion(const QString& artist1, const QString& artist2, bool playing1,
                                           bool playing2)
{
    const QString empty = QStringLiteral("No Song");
    if (artist1 == empty && artist2 == empty) return Question::none;
    return playing1 || playing2 ? Question::playing : Question::loaded;
}

QString ShutDown::questionText(Question q)
{
    switch (q) {
    case Question::playing: return QStringLiteral("The music is playing. Are you sure to exit ? ");
    case Question::loaded: return QStringLiteral("Are you sure to close Korvanta?");
    case Question::none: break;
    }
    return {};
}

bool ShutDown::FormClose()
{
    if (begun_) return false;
    begun_ = true;
    const auto run = [](const std::function<void()>& f) {
        if (f) f();
    };
    run(steps.restoreSleep);
    run(steps.stopMainLoop);
    run(steps.stopTimers);
    run(steps.hidInputsOff);
    // in place of pumping messages: the loads end before anything they use goes
    run(steps.finishLoads);
    run(steps.stopMeters);
    run(steps.midiLightsOff);
    run(steps.stopEngineTick);
    run(steps.graboconfig);
    run(steps.freeHid);
    run(steps.fatalFromHere);
    run(steps.activatescreensaver);
    run(steps.desinit);
    return true;
}
