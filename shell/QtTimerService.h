#pragma once

#include "platform/TimerService.h"

#include <QObject>

#include <map>
#include <memory>

class QTimer;

// The window's timer service: one-shot Qt timers on the user-interface
// thread, and a wait that keeps the event loop running.
class QtTimerService : public QObject, public TimerService {
    Q_OBJECT
public:
    QtTimerService();
    ~QtTimerService() override;

    TimerId StartOneShot(unsigned milliseconds, std::function<void()> callback) override;
    void Kill(TimerId id) override;
    // Runs a nested event loop for the time given: events and timers are
    // dispatched meanwhile, without spinning a core.
    void WaitWithMessages(unsigned milliseconds) override;

private:
    std::map<TimerId, QTimer*> m_Timers; // owned through Qt parenting
    TimerId m_nNextId = 0;
};
