#include "cli/CliApp.h"

#include "cli/ConfigCommands.h"
#include "cli/Confirmation.h"
#include "cli/MessageText.h"
#include "cli/OutputCommands.h"
#include "cli/ReportFormat.h"
#include "cli/TrendRecorder.h"
#include "hart/FailureReason.h"
#include "hart/Sequence.h"
#include "hart/UnitTables.h"
#include "platform/ComPortResolver.h"
#include "platform/LanguageCatalog.h"
#include "platform/LanguageText.h"
#include "platform/PrivateProfile.h"
#include "platform/ProgramDirectory.h"
#include "trend/TrendFile.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <ostream>
#include <unistd.h>

namespace {

constexpr const char* kName = "calora-cli";

// The device behind COM n, with the link it was found through when there is
// one: "/dev/pts/5  (/home/u/.config/Varnel/DORWIN/ports/COM3)".
std::string DeviceText(int port) {
    const std::string path = ComPortResolver::DevicePath(port);
    if (path.empty()) {
        return "no such device";
    }
    std::error_code ec;
    const std::filesystem::path target = std::filesystem::canonical(path, ec);
    if (ec || target == path) {
        return path;
    }
    return target.string() + "  (" + path + ")";
}

} // namespace

CliApp::CliApp(std::ostream& out, std::ostream& err)
    : m_Out(out), m_Err(err), m_Prompt(err), m_Display(err), m_Runner(m_Loop, m_Prompt) {
    TimerService::Install(&m_Loop);
    PromptService::Install(&m_Prompt);
}

CliApp::~CliApp() {
    m_Protocol.ClosePort();
    g_pMainDialog = nullptr;
    PromptService::Install(nullptr);
    TimerService::Install(nullptr);
}

int CliApp::Run(const std::string& program, const std::vector<std::string>& arguments) {
    std::string error;
    if (!CliOptions::Parse(arguments, &m_Options, &error)) {
        m_Err << kName << ": " << error << "\nTry '" << program << " --help'." << std::endl;
        return 2;
    }
    if (m_Options.m_help) {
        m_Out << CliOptions::Usage(program);
        return 0;
    }
    if (!ChooseLanguage()) {
        return 2;
    }
    if (m_Options.m_verbose) {
        g_pMainDialog = &m_Display;
    }
    m_Protocol.SetPortNumber(m_Options.m_port);
    m_Protocol.SetFrameTrace(m_Options.m_trace);
    m_Protocol.Device().pollingAddress = static_cast<std::uint8_t>(m_Options.m_address);

    int status = 1;
    switch (m_Options.m_command) {
    case CliOptions::Command::Ports:
        status = Ports();
        break;
    case CliOptions::Command::Search:
        status = Search();
        break;
    case CliOptions::Command::Get:
        status = Get();
        break;
    case CliOptions::Command::Info:
        status = Info();
        break;
    case CliOptions::Command::Trend:
        status = Trend();
        break;
    case CliOptions::Command::Config:
    case CliOptions::Command::Set:
    case CliOptions::Command::Trim:
    case CliOptions::Command::Fix:
    case CliOptions::Command::RangeFromInput:
    case CliOptions::Command::Backup:
    case CliOptions::Command::Restore:
    case CliOptions::Command::Diff:
        status = Configuration();
        break;
    case CliOptions::Command::Tdd2Csv:
        status = Tdd2Csv();
        break;
    case CliOptions::Command::None:
        break;
    }
    if (m_Options.m_timing) {
        m_Err << LatenessStats::Describe(m_Loop.Lateness()) << std::endl;
    }
    return status;
}

bool CliApp::ChooseLanguage() {
    std::string file = m_Options.m_languageFile;
    if (!file.empty()) {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec) || !std::ifstream(file)) {
            m_Err << kName << ": cannot read language file '" << file << "'" << std::endl;
            return false;
        }
    } else if (const auto found = LanguageCatalog::Discover(ProgramDirectory()); !found.empty()) {
        file = found.front().path;
    }
    CurrentLanguageFile = file;
    ChineseUnitsFlag =
        !file.empty() && PrivateProfile::ReadString(file, "Lang", "Language") == "Simple Chinese";
    if (m_Options.m_verbose) {
        m_Err << kName << ": messages from "
              << (file.empty() ? std::string("built-in English") : file) << std::endl;
    }
    return true;
}

int CliApp::ReportUnsuccessful(SequenceRunner::Outcome outcome) {
    switch (outcome) {
    case SequenceRunner::Outcome::Refused:
        m_Err << kName << ": COM" << m_Options.m_port
              << " is not usable: " << DeviceText(m_Options.m_port) << std::endl;
        break;
    case SequenceRunner::Outcome::Interrupted:
        m_Err << kName << ": interrupted" << std::endl;
        break;
    case SequenceRunner::Outcome::Failed:
    case SequenceRunner::Outcome::Done:
        break; // the sequence layer has shown the failure
    }
    return 1;
}

int CliApp::Ports() {
    int found = 0;
    // A port that cannot be set up is simply not listed: no message per port.
    PromptService::Install(nullptr);
    for (int n = 1; n <= 16 && !EventLoop::Interrupted(); ++n) {
        if (m_Protocol.OpenPort(n)) {
            m_Out << "COM" << n << "  " << DeviceText(n) << std::endl;
            ++found;
        } else if (m_Options.m_verbose && !ComPortResolver::DevicePath(n).empty()) {
            m_Err << "COM" << n << "  " << DeviceText(n) << ": cannot be opened" << std::endl;
        }
        m_Protocol.ClosePort();
    }
    PromptService::Install(&m_Prompt);
    if (found == 0) {
        m_Err << kName << ": no port could be opened (a modem link COMn may be put in "
              << ComPortResolver::PortsFolder() << ")" << std::endl;
    }
    return 0;
}

int CliApp::Search() {
    std::vector<int> found;
    DeviceRecord& device = m_Protocol.Device();
    // A quick scan asks each address once; silence costs one answer window
    // instead of the whole retry schedule.
    if (m_Options.m_quick) {
        m_Protocol.SetRetryLimit(0);
    }
    for (int address = 0; address < 16 && !(m_Options.m_first && !found.empty()); ++address) {
        device.pollingAddress = static_cast<std::uint8_t>(address);
        const SequenceRunner::Outcome outcome =
            m_Runner.Run({0}, SequenceRunner::FailureReport::Quiet);
        if (outcome == SequenceRunner::Outcome::Done) {
            found.push_back(address);
            m_Err << "address " << address << ": answered" << std::endl;
        } else if (outcome == SequenceRunner::Outcome::Failed) {
            const std::vector<TransactionResult>& results = m_Runner.StepResults();
            m_Err << "address " << address << ": "
                  << (results.empty() || results.back().kind == TransactionResult::Kind::NoAnswer
                          ? std::string("no answer")
                          : SequenceRunner::Reason(results.back()))
                  << std::endl;
        } else {
            return ReportUnsuccessful(outcome);
        }
    }
    m_Protocol.SetRetryLimit(HartProtocol::kMaxRetries);
    device.pollingAddress = static_cast<std::uint8_t>(found.empty() ? 0 : found.front());
    m_Out << MessageText::Get("strFindMeter") << ReportFormat::JoinAddresses(found) << std::endl;
    if (found.empty()) {
        m_Err << kName << ": no transmitter answered on COM" << m_Options.m_port << std::endl;
        return 1;
    }
    return 0;
}

std::string CliApp::LastDeviceStatus() const {
    const std::vector<TransactionResult>& results = m_Runner.StepResults();
    return results.empty() ? std::string()
                           : ReportFormat::DeviceStatus(FailureReason::DeviceStatusWords(
                                 results.back().deviceStatus, MessageText::Of));
}

int CliApp::Get() {
    const SequenceRunner::Outcome outcome = m_Runner.Run({0, 1, 2});
    if (outcome != SequenceRunner::Outcome::Done) {
        return ReportUnsuccessful(outcome);
    }
    m_Out << ReportFormat::ProcessValues(m_Protocol.Device()) << LastDeviceStatus() << std::flush;
    return 0;
}

// Reads every field it can: a command the transmitter refuses leaves its lines
// saying why, and the others are still read.
int CliApp::Info() {
    const SequenceRunner::Outcome outcome =
        m_Runner.Run({0, 13, 12, 16, 15, 14, 162}, SequenceRunner::FailureReport::Show,
                     SequenceRunner::StepFailure::Noted);
    if (outcome != SequenceRunner::Outcome::Done) {
        return ReportUnsuccessful(outcome);
    }
    std::map<std::uint8_t, std::string> unread;
    std::uint8_t status = 0;
    for (const TransactionResult& result : m_Runner.StepResults()) {
        if (result.kind == TransactionResult::Kind::Success) {
            status = result.deviceStatus;
        } else {
            unread[result.command] = SequenceRunner::Reason(result);
        }
    }
    m_Out << ReportFormat::DeviceInformation(m_Protocol.Device(), unread)
          << ReportFormat::DeviceStatus(FailureReason::DeviceStatusWords(status, MessageText::Of))
          << std::flush;
    if (!unread.empty()) {
        m_Err << kName << ": " << unread.size() << " of " << m_Runner.StepResults().size()
              << " reads failed" << std::endl;
        return 1;
    }
    return 0;
}

int CliApp::Configuration() {
    Confirmation confirmation(std::cin, m_Err, ::isatty(STDIN_FILENO) == 1, m_Options.m_yes);
    const CommandContext context{
        m_Options,
        m_Protocol,
        m_Runner,
        confirmation,
        m_Out,
        m_Err,
        [this](SequenceRunner::Outcome outcome) { return ReportUnsuccessful(outcome); }};
    ConfigCommands config(context);
    OutputCommands output(context);
    switch (m_Options.m_command) {
    case CliOptions::Command::Config:
        return config.Config();
    case CliOptions::Command::Set:
        return config.Set();
    case CliOptions::Command::Backup:
        return config.Backup();
    case CliOptions::Command::Restore:
        return config.Restore();
    case CliOptions::Command::Diff:
        return config.Diff();
    case CliOptions::Command::Trim:
        return output.Trim();
    case CliOptions::Command::Fix:
        return output.Fix();
    case CliOptions::Command::RangeFromInput:
        return output.RangeFromInput();
    default:
        return 2;
    }
}

int CliApp::Trend() {
    TrendRecorder recorder(m_Loop, m_Prompt, m_Protocol.Device(), m_Out);
    std::optional<std::chrono::seconds> duration;
    if (m_Options.m_duration) {
        duration = std::chrono::seconds(*m_Options.m_duration);
    }
    const TrendRecorder::Outcome outcome = recorder.Record(m_Options.m_period, duration);
    int status = 0;
    switch (outcome) {
    case TrendRecorder::Outcome::Refused:
        return ReportUnsuccessful(SequenceRunner::Outcome::Refused);
    case TrendRecorder::Outcome::Failed:
        m_Err << kName << ": recording ended after " << recorder.Samples()
              << " samples: a reading failed" << std::endl;
        status = 1;
        break;
    case TrendRecorder::Outcome::Interrupted:
    case TrendRecorder::Outcome::Done:
        break;
    }
    if (!m_Options.m_output.empty()) {
        const TrendFile::Outcome saved = TrendFile::Save(m_Options.m_output, recorder.Curves());
        if (!saved.Ok()) {
            m_Err << kName << ": "
                  << TrendFile::FailureMessage(saved, m_Options.m_output, &MessageText::Get)
                  << std::endl;
            return 1;
        }
    }
    return status;
}

int CliApp::Tdd2Csv() {
    TrendCurves curves;
    const TrendFile::Outcome loaded = TrendFile::Load(m_Options.m_operands[0], curves);
    if (loaded.status == TrendFile::Status::CannotOpen) {
        m_Err << kName << ": "
              << TrendFile::FailureMessage(loaded, m_Options.m_operands[0], &MessageText::Get)
              << std::endl;
        return 1;
    }
    // A damaged file still gives what was read before the damage.
    m_Out << ReportFormat::TrendFileCsvHeader() << '\n';
    const struct {
        const SampleList& samples;
        std::string unit;
        const char* curve;
    } kinds[] = {{curves.pv, curves.pvUnit, "PV"},
                 {curves.current, "mA", "current"},
                 {curves.percent, "%", "percent"}};
    for (const auto& kind : kinds) {
        for (const TrendSample& sample : kind.samples) {
            m_Out << ReportFormat::TrendFileCsvRow(sample.time, sample.value, kind.unit, kind.curve)
                  << '\n';
        }
    }
    m_Out << std::flush;
    if (!loaded.Ok()) {
        m_Err << kName << ": "
              << TrendFile::FailureMessage(loaded, m_Options.m_operands[0], &MessageText::Get)
              << std::endl;
        return 1;
    }
    return 0;
}
