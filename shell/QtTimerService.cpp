#include "shell/QtTimerService.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

QtTimerService::QtTimerService() = default;

QtTimerService::~QtTimerService() = default;

TimerService::TimerId QtTimerService::StartOneShot(unsigned milliseconds,
                                                   std::function<void()> callback) {
    const TimerId id = ++m_nNextId;
    auto* timer = new QTimer(this); // parented: freed with the service or when it fires
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    connect(timer, &QTimer::timeout, this, [this, id, timer, callback = std::move(callback)] {
        m_Timers.erase(id);
        timer->deleteLater();
        callback();
    });
    m_Timers.emplace(id, timer);
    timer->start(static_cast<int>(milliseconds));
    return id;
}

void QtTimerService::Kill(TimerId id) {
    const auto found = m_Timers.find(id);
    if (found != m_Timers.end()) {
        found->second->stop();
        found->second->deleteLater();
        m_Timers.erase(found);
    }
}

void QtTimerService::WaitWithMessages(unsigned milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(milliseconds), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    if (milliseconds == 0) {
        loop.processEvents(QEventLoop::AllEvents);
        return;
    }
    loop.exec(QEventLoop::AllEvents);
}
