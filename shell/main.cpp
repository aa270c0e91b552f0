// The window program. The protocol object lives longest: it is created
// first, with its port closed, and destroyed last, closing the port.
#include "hart/HartProtocol.h"
#include "platform/ProgramDirectory.h"
#include "shell/MainDialog.h"
#include "shell/QtPromptService.h"
#include "shell/QtTimerService.h"

#include <QApplication>

#include <cstdlib>
#include <cstring>

int main(int argc, char* argv[]) {
    HartProtocol protocol;
    // CALORA_TRACE=1: every request and answer goes to the debug trace.
    const char* trace = std::getenv("CALORA_TRACE");
    protocol.SetFrameTrace(trace != nullptr && std::strcmp(trace, "1") == 0);
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Varnel"));
    QApplication::setApplicationName(QStringLiteral("DORWIN"));

    QtTimerService timers;
    QtPromptService prompts;
    TimerService::Install(&timers);
    PromptService::Install(&prompts);

    int result = 0;
    {
        MainDialog window(protocol, ProgramDirectory());
        window.show();
        result = QApplication::exec();
    }
    PromptService::Install(nullptr);
    TimerService::Install(nullptr);
    return result;
}
