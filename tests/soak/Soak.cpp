// Soak: 1000 transactions against the simulated transmitter with a fifth of
// its answers spoiled (no answer, bad checksum, busy response code, wrong
// byte count, late, noise). Checks that no wrong value ever reaches the
// DeviceRecord: after each operation, every field a successful command
// decodes holds what the simulator holds (its state file, or for the
// process values an answer it logged), and every field of a failed command
// holds nothing. Checks that every failure is reported with its reason, and,
// where the engine makes one attempt per transaction, that the reason is the
// fault the simulator logged for that request. Then records with calora-cli
// trend against answers to command 2 lost half the time besides, and checks
// that every CSV row holds what one sampling cycle's answers said, and that a
// recording a failure ends says why and writes no row for the failed cycle.
//   soak_transactions [TRANSACTIONS]   (default 1000; half with the full retry
//                                       schedule, half with one attempt each;
//                                       then a trend of TRANSACTIONS / 6 s)
#include "cli/ConsolePrompt.h"
#include "cli/EventLoop.h"
#include "cli/ReportFormat.h"
#include "cli/SequenceRunner.h"
#include "cli/TrendRecorder.h"
#include "hart/HartProtocol.h"
#include "hart/Sequence.h"
#include "platform/LanguageText.h"
#include "tests/bench/Measure.h"
#include "tests/e2e/SimulatorProcess.h"

#include <algorithm>
#include <bit>
#include <fstream>
#include <map>
#include <sstream>
#include <tuple>

namespace {

using Kind = TransactionResult::Kind;
constexpr std::size_t npos = std::string::npos;

// Each at this rate: together about 20 % of the answers are spoiled.
const std::vector<std::string> kFaults = {"noanswer",  "checksum", "rc",
                                          "bytecount", "late",     "noise"};

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
    bool noAnswer = false;
    std::string faults;               // "checksum,late", "" for a clean answer
    std::vector<std::uint32_t> words; // the process values sent
};
using SimulatorLog = std::vector<LoggedRequest>;

SimulatorLog ReadLog(const std::string& path) {
    SimulatorLog log;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        const std::size_t cmd = line.find("(cmd ");
        const std::size_t tx = line.find(" tx ");
        if (line.find(" rx ") != npos && cmd != npos) {
            log.emplace_back().command =
                static_cast<std::uint8_t>(std::atoi(line.c_str() + cmd + 5));
        } else if (!log.empty() && line.find("-- no answer (fault)") != npos) {
            log.back().noAnswer = true;
        } else if (!log.empty() && tx != npos) {
            LoggedRequest& request = log.back();
            if (const std::size_t fault = line.find("(fault: "); fault != npos) {
                request.faults = line.substr(fault + 8, line.find(')', fault) - fault - 8);
            }
            // After any noise (never FF), the preambles (FF), the delimiter
            // (86), five address bytes, command, byte count and the two
            // status bytes, and for command 1 the unit, come the process
            // values: PV, or current and percent.
            const std::string hex = line.substr(tx + 4, line.find("  (", tx) - tx - 4);
            const std::size_t frame = hex.find("FF 86 ");
            const std::size_t words = request.command == 1 ? 1 : request.command == 2 ? 2 : 0;
            for (std::size_t at = frame + 3 * (11 + (request.command == 1 ? 1 : 0));
                 frame != npos && request.words.size() < words && at + 11 <= hex.size(); at += 12) {
                std::string word = hex.substr(at, 11);
                std::erase(word, ' ');
                request.words.push_back(static_cast<std::uint32_t>(std::stoul(word, nullptr, 16)));
            }
        }
    }
    return log;
}

std::map<std::string, int> g_Reasons;  // of the failures, by their first words
std::map<std::string, int> g_Problems; // by kind

void Problem(const std::string& kind, const std::string& detail) {
    if (++g_Problems[kind] <= 5) {
        std::fprintf(stderr, "soak: %s: %s\n", kind.c_str(), detail.c_str());
    }
}

bool Has(const LoggedRequest& request, const char* fault) {
    return request.faults.find(fault) != npos;
}

// Whether the simulator sent these process values in an answer to command.
bool Sent(const SimulatorLog& log, std::uint8_t command, const std::vector<std::uint32_t>& words) {
    return std::any_of(log.begin(), log.end(), [&](const LoggedRequest& request) {
        return request.command == command && request.words == words;
    });
}

// Whether the fields command decodes hold the truth (after a success) or
// nothing at all (after a failure).
bool FieldsAsExpected(std::uint8_t command, bool ok, const DeviceRecord& r,
                      const SimulatorLog& log) {
    const auto bits = [](float value) { return std::bit_cast<std::uint32_t>(value); };
    switch (command) {
    case 0:
        return r.longAddress == (ok ? std::array<std::uint8_t, 5>{0xBE, 0x04, 0x5A, 0, 1}
                                    : DeviceRecord{}.longAddress);
    case 1: // The unit is command 15's too: only the value tells.
        return ok ? r.pvUnitText == kCelsius && Sent(log, 1, {bits(r.pv)}) : bits(r.pv) == 0;
    case 2:
        return ok ? Sent(log, 2, {bits(r.loopCurrent), bits(r.percentOfRange)})
                  : bits(r.loopCurrent) == 0 && bits(r.percentOfRange) == 0;
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
    const auto has = [&request](const char* fault) { return Has(request, fault); };
    if (request.noAnswer || has("late")) {
        // The late answer to the request before comes while this one waits:
        // taken as this one's if for the same command (command 0 of a failed
        // operation, then of the next), else rejected as another command's.
        if (before != nullptr && Has(*before, "late") && result.kind != Kind::NoAnswer) {
            if (before->command == request.command) {
                LoggedRequest answer = *before;
                answer.faults.erase(answer.faults.find("late"), 4);
                return VerdictExplained(result, answer, nullptr);
            }
            return result.kind == Kind::Rejected &&
                   result.rejection ==
                       (Has(*before, "checksum") ? Rejection::Checksum : Rejection::OtherCommand);
        }
        return result.kind == Kind::NoAnswer;
    }
    if (has("checksum")) {
        return result.kind == Kind::Rejected && result.rejection == Rejection::Checksum;
    }
    if (has("rc")) {
        return result.kind == Kind::Refused && result.responseCode == 32;
    }
    // A byte too many is refused where the command has a fixed answer length.
    if (has("bytecount") && request.command != 0 && request.command != 15) {
        return result.kind == Kind::Rejected && result.rejection == Rejection::ByteCount;
    }
    return result.kind == Kind::Success;
}

// A trend CSV row after its time, as calora-cli writes it for these answers.
std::string RowValues(const LoggedRequest& pv, const LoggedRequest& loop) {
    DeviceRecord record;
    record.pv = std::bit_cast<float>(pv.words[0]);
    record.pvUnitText = kCelsius;
    record.loopCurrent = std::bit_cast<float>(loop.words[0]);
    record.percentOfRange = std::bit_cast<float>(loop.words[1]);
    const std::string row = ReportFormat::TrendCsvRow(0, record);
    return row.substr(row.find(','));
}

// Whether each row, in order, holds what one sampling cycle said: an
// unspoiled answer to command 1 and one to command 2 among the retries that
// followed it.
// Returns how many rows there were.
int CheckRows(const std::string& csv, const SimulatorLog& log) {
    const auto usable = [](const LoggedRequest& r) {
        return !r.words.empty() && !Has(r, "checksum") && !Has(r, "rc") && !Has(r, "bytecount");
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
                const bool gave = log[b].command == 2 && usable(log[a]) && usable(log[b]) &&
                                  RowValues(log[a], log[b]) == values;
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
    for (const std::string& fault : kFaults) {
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

    int runs = 0;                                                 // operations or recordings
    int failed = 0;                                               // of them
    std::vector<std::pair<TransactionResult, std::size_t>> steps; // with their operation
    std::vector<DeviceRecord> records;                            // after each operation
    const auto start = Measure::Clock::now();
    const auto elapsed = [&start] { return static_cast<int>(Measure::SecondsSince(start)); };
    while (part == kTrend ? elapsed() < amount : steps.size() < static_cast<std::size_t>(amount)) {
        protocol.Device() = DeviceRecord{};
        const std::size_t shownBefore = shown.str().size();
        bool failure = true;
        bool reportedAsFailed = false;
        if (part == kTrend) {
            const auto outcome = recorder.Record(1, std::chrono::seconds(amount - elapsed()));
            failure = outcome != TrendRecorder::Outcome::Done;
            reportedAsFailed = outcome == TrendRecorder::Outcome::Failed;
        } else {
            const auto outcome = runner.Run(kOperations[records.size() % kOperations.size()]);
            for (const TransactionResult& result : runner.StepResults()) {
                steps.emplace_back(result, records.size());
                failure = result.kind != Kind::Success;
            }
            records.push_back(protocol.Device());
            reportedAsFailed = outcome == SequenceRunner::Outcome::Failed;
            if (!failure && outcome != SequenceRunner::Outcome::Done) {
                Problem("an operation whose steps all succeeded did not end as done", "");
            }
        }
        ++runs;
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
        const int rows = CheckRows(csv.str(), log);
        std::printf("soak: trend: %zu requests, %d CSV rows in %d recordings, %d ended by a "
                    "failure\n",
                    log.size(), rows, runs, failed);
    } else {
        std::printf("soak: %s: %zu transactions in %d operations, %d failed\n",
                    part == kRetries ? "retries" : "one attempt", steps.size(), runs, failed);
    }
    for (const auto& [result, op] : steps) {
        if (!FieldsAsExpected(result.command, result.kind == Kind::Success, records[op], log)) {
            Problem("a wrong value in the record",
                    "after command " + std::to_string(result.command) +
                        (result.kind == Kind::Success ? "" : ", failed"));
        }
    }
    // One attempt per transaction: the n-th transaction is the n-th request.
    if (part == kOneAttempt && log.size() != steps.size()) {
        Problem("another number of requests than of transactions",
                std::to_string(log.size()) + " for " + std::to_string(steps.size()));
        return;
    }
    for (std::size_t n = 0; part == kOneAttempt && n < steps.size(); ++n) {
        const TransactionResult& result = steps[n].first;
        if (log[n].command != result.command ||
            !VerdictExplained(result, log[n], n > 0 ? &log[n - 1] : nullptr)) {
            const auto said = [](const LoggedRequest& r) {
                return "command " + std::to_string(r.command) + " '" + r.faults +
                       (r.noAnswer ? "noanswer'" : "'");
            };
            Problem("a verdict the simulator's log does not explain",
                    "kind " + std::to_string(static_cast<int>(result.kind)) + " for " +
                        said(log[n]) + (n > 0 ? ", after " + said(log[n - 1]) : ""));
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
    for (const auto& [reason, count] : g_Reasons) {
        std::printf("soak:   %4d x %s\n", count, reason.c_str());
    }
    for (const auto& [kind, count] : g_Problems) {
        std::printf("soak: PROBLEM %4d x %s\n", count, kind.c_str());
    }
    std::printf("soak: %s\n",
                g_Problems.empty() ? "no wrong value, every failure said why" : "problems found");
    return g_Problems.empty() ? 0 : 1;
}
