// The window program. The protocol object lives longest: it is created
// first, with its port closed, and destroyed last, closing the port.
#include "hart/HartProtocol.h"
#include "platform/ProgramDirectory.h"
#include "shell/MainDialog.h"
#include "shell/QtPromptService.h"
#include "shell/QtTimerService.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    HartProtocol protocol;
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
