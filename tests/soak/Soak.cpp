// Soak: 1000 transactions against the simulated transmitter with a fifth of
// its answers spoiled (no answer, bad checksum, busy response code, wrong
// byte count, late, noise). Checks that no wrong value ever reaches the
// DeviceRecord: after each operation, every field a successful command
// decodes holds what the simulator holds (its state file, or for the
// process values an answer it logged that the engine may take), and every
// field of a failed command holds nothing. Checks that every failure is
// reported with its reason, and, where the engine makes one attempt per
// transaction, that the reason is the fault the simulator logged for that
// request. Then records with calora-cli trend against answers to command 2
// lost half the time besides, and checks that every CSV row holds what one
// sampling cycle's answers said, and that a recording a failure ends says
// why and writes no row for the failed cycle.
//   soak_transactions [TRANSACTIONS]   (default 1000; half with the full retry
//                                       schedule, half with one attempt each;
//                                       then a trend of TRANSACTIONS / 6 s)
#include "cli/ConsolePrompt.h"
#include "cli/EventLoop.h"
#include "cli/ReportFormat.h"
#include "cli/SequenceRunner.h"
#include "cli/TrendRecorder.h"
#include "hart/HartProtocol.h"
#include "platform/LanguageText.h"
#include "tests/bench/Measure.h"
#include "tests/e2e/SimulatorProcess.h"

#include <algorithm>
#include <bit>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <tuple>

namespace {

using Kind = TransactionResult::Kind;
constexpr std::size_t npos = std::string::npos;

// The operations, in turn; consecutive transactions repeat a command only
// where an operation fails at its command 0 and the next starts with it.
const std::vector<std::vector<std::uint8_t>> kOperations = {
    {0, 1, 2}, {0, 13}, {0, 15, 1}, {0, 12}, {0, 16, 2}};

// What the simulator holds, in its state file's words.
const std::string kState = "device\ntag SOAK01\ndescriptor NO WRONG VALUES\n"
                           "message ONE THOUSAND TRANSACTIONS\ndate 6 12 2026\n"
                           "final-assembly ABC123\nupper-range 150\nlower-range -50\ndamping 2.5\n";
const std::string kCelsius = "\xC2\xB0\x43"; // degree sign, C

// What the simulator said about each request, in order, from its log.
struct LoggedRequest {
    std::uint8_t command = 0;
    std::string faults; // "(fault: checksum,late)", "(no answer)", "" for a clean answer
    // The process values sent, in an answer the engine may take.
    std::vector<float> values;

    bool Has(const char* fault) const { return faults.find(fault) != npos; }
    // "command 2 (fault: checksum)"
    std::string Said() const { return "command " + std::to_string(command) + " " + faults; }
};
using SimulatorLog = std::vector<LoggedRequest>;

SimulatorLog ReadLog(const std::string& path) {
    SimulatorLog log;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        const std::size_t cmd = line.find("(cmd ");
        if (line.find(" rx ") != npos && cmd != npos) {
            log.emplace_back().command =
                static_cast<std::uint8_t>(std::atoi(line.c_str() + cmd + 5));
        } else if (!log.empty() && line.find("-- no answer (fault)") != npos) {
            log.back().faults = "(no answer)";
        } else if (!log.empty() && line.find(" tx ") != npos) {
            LoggedRequest& request = log.back();
            request.faults = line.substr(std::min(line.find("(fault: "), line.size()));
            // After any noise (never FF), the preambles (FF), the delimiter
            // (86), five address bytes, command, byte count and the two
            // status bytes, and for command 1 the unit, come the process
            // values: PV, or current and percent.
            const bool spoiled =
                request.Has("checksum") || request.Has("rc") || request.Has("bytecount");
            const std::size_t words = request.command == 1 ? 1 : request.command == 2 ? 2 : 0;
            const std::size_t at = line.find("FF 86 ") + 3 * (11 + (request.command == 1 ? 1 : 0));
            for (std::size_t k = 0; !spoiled && k < words; ++k) {
                std::string word = line.substr(at + 12 * k, 11);
                std::erase(word, ' ');
                request.values.push_back(std::bit_cast<float>(
                    static_cast<std::uint32_t>(std::stoul(word, nullptr, 16))));
            }
        }
    }
    return log;
}

// The failures by the first words of their reasons, and the problems by kind.
std::map<std::string, int> g_Reasons, g_Problems;

// Counts a problem of its kind and shows the first few, with what tells them apart.
template <typename... Detail> void Problem(const std::string& kind, const Detail&... detail) {
    if (++g_Problems[kind] <= 5) {
        ((std::cerr << "soak: " << kind << ": ") << ... << detail) << '\n';
    }
}

// Whether the simulator sent these process values in an answer to command.
bool Sent(const SimulatorLog& log, std::uint8_t command, const std::vector<float>& values) {
    return std::any_of(log.begin(), log.end(), [&](const LoggedRequest& request) {
        return request.command == command && request.values == values;
    });
}

// Whether the fields command decodes hold the truth (after a success) or
// nothing at all (after a failure).
bool FieldsAsExpected(std::uint8_t command, bool ok, const DeviceRecord& r,
                      const SimulatorLog& log) {
    switch (command) {
    case 0:
        return r.longAddress == (ok ? std::array<std::uint8_t, 5>{0xBE, 0x04, 0x5A, 0, 1}
                                    : DeviceRecord{}.longAddress);
    case 1: // The unit is command 15's too: only the value tells.
        return ok ? r.pvUnitText == kCelsius && Sent(log, 1, {r.pv}) : r.pv == 0;
    case 2:
        return ok ? Sent(log, 2, {r.loopCurrent, r.percentOfRange})
                  : r.loopCurrent == 0 && r.percentOfRange == 0;
    case 12:
        return r.message == (ok ? "ONE THOUSAND TRANSACTIONS" : "");
    case 13:
        return std::tie(r.tag, r.descriptor, r.dateDay, r.dateMonth, r.dateYear) ==
               (ok ? std::tuple("SOAK01", "NO WRONG VALUES", 6, 12, 2026)
                   : std::tuple("", "", 0, 0, 0));
    case 15:
        return std::tie(r.upperRangeValue, r.lowerRangeValue, r.damping) ==
                   (ok ? std::tuple(150.0f, -50.0f, 2.5f) : std::tuple(0.0f, 0.0f, 0.0f)) &&
               (!ok || r.pvUnitText == kCelsius);
    case 16:
        return r.finalAssemblyNumber == (ok ? "ABC123" : "");
    default:
        return false;
    }
}

// The verdicts a single attempt can reach given the simulator's account of
// its request and of the request before, whose late answer arrives while
// this one waits (consecutive requests are never for the same command).
bool VerdictExplained(const TransactionResult& result, const LoggedRequest& request,
                      const LoggedRequest* before) {
    const auto is = [&result](Kind kind, Rejection rejection) {
        return std::tie(result.kind, result.rejection) == std::tie(kind, rejection);
    };
    if (request.Has("no answer") || request.Has("late")) {
        // The late answer to the request before comes while this one waits:
        // taken as this one's if for the same command (command 0 of a failed
        // operation, then of the next), else rejected as another command's.
        if (before != nullptr && before->Has("late") && result.kind != Kind::NoAnswer) {
            if (before->command == request.command) {
                LoggedRequest answer = *before;
                answer.faults.erase(answer.faults.find("late"), 4);
                return VerdictExplained(result, answer, nullptr);
            }
            return is(Kind::Rejected,
                      before->Has("checksum") ? Rejection::Checksum : Rejection::OtherCommand);
        }
        return is(Kind::NoAnswer, Rejection::None);
    }
    // A byte too many is refused where the command has a fixed answer length.
    const bool fixedLength = request.command != 0 && request.command != 15;
    return request.Has("checksum") ? is(Kind::Rejected, Rejection::Checksum)
           : request.Has("rc")     ? is(Kind::Refused, Rejection::None) && result.responseCode == 32
           : request.Has("bytecount") && fixedLength ? is(Kind::Rejected, Rejection::ByteCount)
                                                     : is(Kind::Success, Rejection::None);
}

// Whether each row, in order, holds what one sampling cycle said: an answer
// to command 1 and one to command 2 among the retries that followed it.
// Returns how many rows there were.
int CheckRows(const std::string& csv, const SimulatorLog& log) {
    // A row after its time, as calora-cli writes it for these answers.
    const auto valuesOf = [](const LoggedRequest& pv, const LoggedRequest& loop) {
        DeviceRecord record;
        std::tie(record.pv, record.pvUnitText, record.loopCurrent, record.percentOfRange) =
            std::tie(pv.values[0], kCelsius, loop.values[0], loop.values[1]);
        const std::string row = ReportFormat::TrendCsvRow(0, record);
        return row.substr(row.find(','));
    };
    std::istringstream rows(csv);
    std::size_t next = 0; // the first request the next row's answers may come from
    int count = 0;
    for (std::string row; std::getline(rows, row);) {
        if (row == ReportFormat::TrendCsvHeader()) {
            continue;
        }
        ++count;
        const std::string values = row.substr(std::min(row.find(','), row.size()));
        std::size_t found = npos;
        for (std::size_t a = next; a < log.size() && found == npos; ++a) {
            for (std::size_t b = a + 1; log[a].command == 1 && b < log.size() && found == npos &&
                                        (log[b].command == 2 || log[b - 1].command == 1);
                 ++b) {
                // Only answers to command 2 hold two values.
                const bool gave = log[b].values.size() == 2 && !log[a].values.empty() &&
                                  valuesOf(log[a], log[b]) == values;
                found = gave ? b : npos;
            }
        }
        if (found == npos) {
            Problem("a CSV row with values the simulator did not send for it", row);
        }
        next = found == npos ? next : found + 1;
    }
    return count;
}

// How a run of either kind ended: {done, failed with the failure shown}.
template <typename Outcome> std::pair<bool, bool> Ended(Outcome outcome) {
    return {outcome == Outcome::Done, outcome == Outcome::Failed};
}

// The parts of the soak, each against its own simulator.
enum Part { kRetries, kOneAttempt, kTrend };

// Runs amount transactions of operations (or, for the trend, records for
// amount seconds) against the simulator with spoiled answers, then checks
// what reached the record or the CSV against the simulator's log.
void Run(Part part, int amount, const std::string& folder) {
    const int com = 6 + part;
    const std::string logPath = folder + "/" + std::to_string(com) + ".log";
    std::ofstream(folder + "/state") << kState;
    std::vector<std::string> options = {"--timing",          "fast",    "--log",          "--seed",
                                        std::to_string(com), "--state", folder + "/state"};
    // Each at this rate: together about 20 % of the answers are spoiled.
    for (const std::string fault : {"noanswer", "checksum", "rc", "bytecount", "late", "noise"}) {
        options.insert(options.end(), {"--fault", fault + ":rate=0.036"});
    }
    if (part == kTrend) { // so that some recordings end in a failure
        options.insert(options.end(), {"--fault", "noanswer:rate=0.5:cmd=2"});
    }
    SimulatorProcess sim(com, options, logPath);
    EventLoop loop;
    std::ostringstream shown;
    ConsolePrompt prompt(shown);
    TimerService::Install(&loop);
    PromptService::Install(&prompt);
    HartProtocol protocol;
    protocol.SetPortNumber(com);
    protocol.SetRetryLimit(part == kOneAttempt ? 0 : HartProtocol::kMaxRetries);
    SequenceRunner runner(loop, prompt);
    std::ostringstream csv;
    TrendRecorder recorder(loop, prompt, protocol.Device(), csv);

    int failed = 0;                                               // operations or recordings
    std::vector<std::pair<TransactionResult, std::size_t>> steps; // with their operation
    std::vector<DeviceRecord> records;                            // after each run
    const auto start = Measure::Clock::now();
    const auto elapsed = [&start] { return static_cast<int>(Measure::SecondsSince(start)); };
    while (part == kTrend ? elapsed() < amount : steps.size() < static_cast<std::size_t>(amount)) {
        protocol.Device() = DeviceRecord{};
        const std::size_t shownBefore = shown.str().size();
        const auto [done, reportedAsFailed] =
            part == kTrend ? Ended(recorder.Record(1, std::chrono::seconds(amount - elapsed())))
                           : Ended(runner.Run(kOperations[records.size() % kOperations.size()]));
        const std::vector<TransactionResult>& results = runner.StepResults(); // none in the trend
        for (const TransactionResult& result : results) {
            steps.emplace_back(result, records.size());
        }
        records.push_back(protocol.Device());
        // An operation fails with a step; a recording ends other than done.
        const bool failure =
            part == kTrend ? !done : results.empty() || results.back().kind != Kind::Success;
        if (!failure && !done) {
            Problem("an operation whose steps all succeeded did not end as done");
        }
        if (failure) {
            // The user read the failure and its reason (the runner's line of
            // its own, or the message's second line, with a capital).
            ++failed;
            const std::string reason = SequenceRunner::Reason(protocol.LastResult());
            ++g_Reasons[reason.substr(0, reason.find(':'))];
            if (reason.empty() || shown.str().find(reason.substr(1), shownBefore) == npos ||
                !reportedAsFailed) {
                Problem("a failure not reported with its reason", shown.str().substr(shownBefore));
                break; // the simulator did not start, or a real fault: enough said
            }
        }
    }
    protocol.ClosePort();
    PromptService::Install(nullptr);
    TimerService::Install(nullptr);

    // The simulator's account, now that it is complete.
    sim.Unplug();
    const SimulatorLog log = ReadLog(logPath);
    if (part == kTrend) {
        std::printf("soak: trend: %zu requests, %d CSV rows in %zu recordings, %d ended by a "
                    "failure\n",
                    log.size(), CheckRows(csv.str(), log), records.size(), failed);
        return;
    }
    std::printf("soak: %s: %zu transactions in %zu operations, %d failed\n",
                part == kRetries ? "retries" : "one attempt", steps.size(), records.size(), failed);
    // One attempt per transaction: the n-th transaction is the n-th request.
    const bool oneToOne = part == kOneAttempt && log.size() == steps.size();
    if (part == kOneAttempt && !oneToOne) {
        Problem("another number of requests than of transactions", log.size(), " for ",
                steps.size());
    }
    for (std::size_t n = 0; n < steps.size(); ++n) {
        const auto& [result, op] = steps[n];
        const bool ok = result.kind == Kind::Success;
        if (!FieldsAsExpected(result.command, ok, records[op], log)) {
            Problem("a wrong value in the record", "after command ", +result.command,
                    ok ? "" : ", failed");
        }
        if (oneToOne && (log[n].command != result.command ||
                         !VerdictExplained(result, log[n], n > 0 ? &log[n - 1] : nullptr))) {
            Problem("a verdict the simulator's log does not explain", "kind ",
                    static_cast<int>(result.kind), " for ", log[n].Said(),
                    n > 0 ? ", after " + log[n - 1].Said() : "");
        }
    }
}

} // namespace

int main(int argc, char* argv[]) {
    const int transactions = argc > 1 ? std::atoi(argv[1]) : 1000;
    const std::string folder =
        std::filesystem::temp_directory_path() / ("calora_soak_" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    Run(kRetries, transactions / 2, folder);
    Run(kOneAttempt, transactions - transactions / 2, folder);
    // The language file beside calora-cli, whose words the trend's failure message takes.
    CurrentLanguageFile = CALORA_LANGUAGE_FILE;
    Run(kTrend, transactions / 6, folder);
    std::filesystem::remove_all(folder);
    for (const auto& [label, counts] : {std::pair("  ", &g_Reasons), {"PROBLEM ", &g_Problems}}) {
        for (const auto& [what, count] : *counts) {
            std::printf("soak: %s%4d x %s\n", label, count, what.c_str());
        }
    }
    std::printf("soak: %s\n",
                g_Problems.empty() ? "no wrong value, every failure said why" : "problems found");
    return g_Problems.empty() ? 0 : 1;
}
