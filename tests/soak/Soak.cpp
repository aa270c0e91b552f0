// Soak: 1000 transactions against the simulated transmitter with a fifth of
// its answers spoiled (no answer, bad checksum, busy response code, wrong
// byte count, late, noise). Checks that no wrong value ever reaches the
// DeviceRecord: after each operation, every field a successful command
// decodes holds what the simulator holds (its state file, or for the
// process values an answer it logged), and every field of a failed command
// holds nothing. Checks that every failure is reported with its reason, and,
// where the engine makes one attempt per transaction, that the reason is the
// fault the simulator logged for that request.
//   soak_transactions [TRANSACTIONS]   (default 1000; half with the full retry
//                                       schedule, half with one attempt each)
#include "cli/ConsolePrompt.h"
#include "cli/EventLoop.h"
#include "cli/SequenceRunner.h"
#include "hart/HartProtocol.h"
#include "hart/Sequence.h"
#include "sim/DeviceConfig.h"
#include "sim/StateFile.h"
#include "tests/e2e/SimulatorProcess.h"

#include <array>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Kind = TransactionResult::Kind;

// Rates per fault kind: together about 20 % of the answers are spoiled.
const std::vector<std::string> kFaults = {
    "noanswer:rate=0.036",  "checksum:rate=0.036", "rc:rate=0.036",
    "bytecount:rate=0.036", "late:rate=0.036",     "noise:rate=0.036",
};

// The operations, in turn; consecutive transactions never repeat a command,
// so a late answer can only ever meet a transaction of another command.
const std::vector<std::vector<std::uint8_t>> kOperations = {
    {0, 1, 2}, {0, 13}, {0, 15, 1}, {0, 12}, {0, 16, 2},
};

DeviceConfig KnownConfig() {
    DeviceConfig config;
    config.m_tag = "SOAK01";
    config.m_descriptor = "NO WRONG VALUES";
    config.m_message = "ONE THOUSAND TRANSACTIONS";
    config.m_day = 6;
    config.m_month = 12;
    config.m_yearSince1900 = 126;
    config.m_finalAssembly = 0xABC123;
    config.m_upperRange = 150.0f;
    config.m_lowerRange = -50.0f;
    config.m_damping = 2.5f;
    return config;
}

// What the simulator said about each request, in order, from its log.
struct LoggedRequest {
    std::uint8_t command = 0;
    bool noAnswer = false;
    std::string faults; // "checksum,late", "" for a clean answer
};

struct SimulatorLog {
    std::vector<LoggedRequest> requests;
    std::set<std::uint32_t> pvBits;                         // command 1
    std::set<std::pair<std::uint32_t, std::uint32_t>> loop; // command 2: current, percent
};

std::vector<std::uint8_t> HexBytes(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    std::istringstream in(text);
    std::string word;
    while (in >> word && word.size() == 2 && word != "(") {
        bytes.push_back(static_cast<std::uint8_t>(std::strtoul(word.c_str(), nullptr, 16)));
    }
    return bytes;
}

std::uint32_t WireWord(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | bytes[at + 3];
}

SimulatorLog ReadLog(const std::string& path) {
    SimulatorLog log;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t rx = line.find(" rx ");
        const std::size_t tx = line.find(" tx ");
        if (rx != std::string::npos && line.find("(cmd ") != std::string::npos) {
            const std::size_t cmd = line.find("(cmd ");
            LoggedRequest request;
            request.command = static_cast<std::uint8_t>(std::atoi(line.c_str() + cmd + 5));
            log.requests.push_back(request);
        } else if (line.find("-- no answer (fault)") != std::string::npos &&
                   !log.requests.empty()) {
            log.requests.back().noAnswer = true;
        } else if (tx != std::string::npos && !log.requests.empty()) {
            const std::size_t fault = line.find("(fault: ");
            if (fault != std::string::npos) {
                log.requests.back().faults =
                    line.substr(fault + 8, line.find(')', fault) - fault - 8);
            }
            // The process values the simulator sent: after any noise, the
            // preambles, then delimiter, five address bytes, command, byte
            // count and the two status bytes.
            std::vector<std::uint8_t> bytes = HexBytes(line.substr(tx + 4));
            std::size_t at = 0;
            while (at < bytes.size() && bytes[at] != 0xFF) {
                ++at;
            }
            while (at < bytes.size() && bytes[at] == 0xFF) {
                ++at;
            }
            const std::size_t data = at + 1 + 5 + 2 + 2;
            const std::uint8_t command = log.requests.back().command;
            if (command == 1 && data + 5 <= bytes.size()) {
                log.pvBits.insert(WireWord(bytes, data + 1));
            } else if (command == 2 && data + 8 <= bytes.size()) {
                log.loop.insert({WireWord(bytes, data), WireWord(bytes, data + 4)});
            }
        }
    }
    return log;
}

struct Tally {
    int transactions = 0;
    int operations = 0;
    int failedSteps = 0;
    int wrongValues = 0;
    int unexplained = 0;
    std::map<std::string, int> reasons;
};

const std::string kCelsius = "\xC2\xB0\x43"; // degree sign, C

int g_Problems = 0;

void Problem(const char* format, const std::string& detail) {
    if (++g_Problems <= 20) {
        std::fprintf(stderr, "soak: ");
        std::fprintf(stderr, format, detail.c_str());
        std::fprintf(stderr, "\n");
    }
}

// Whether the fields command decodes hold the truth (after a success) or
// nothing at all (after a failure).
bool FieldsAsExpected(std::uint8_t command, bool succeeded, const DeviceRecord& r,
                      const SimulatorLog& log) {
    const DeviceRecord empty;
    switch (command) {
    case 0:
        return succeeded
                   ? r.longAddress == std::array<std::uint8_t, 5>{0xBE, 0x04, 0x5A, 0x00, 0x01}
                   : r.longAddress == empty.longAddress;
    case 1:
        return succeeded ? r.pvUnitText == kCelsius &&
                               log.pvBits.count(std::bit_cast<std::uint32_t>(r.pv)) == 1
                         // The unit is command 15's too: only the value tells.
                         : std::bit_cast<std::uint32_t>(r.pv) == 0;
    case 2:
        return succeeded ? log.loop.count({std::bit_cast<std::uint32_t>(r.loopCurrent),
                                           std::bit_cast<std::uint32_t>(r.percentOfRange)}) == 1
                         : r.loopCurrent == 0.0f && r.percentOfRange == 0.0f;
    case 12:
        return r.message == (succeeded ? "ONE THOUSAND TRANSACTIONS" : "");
    case 13:
        return succeeded ? r.tag == "SOAK01" && r.descriptor == "NO WRONG VALUES" &&
                               r.dateDay == 6 && r.dateMonth == 12 && r.dateYear == 2026
                         : r.tag.empty() && r.descriptor.empty() && r.dateYear == 0;
    case 15:
        return succeeded
                   ? r.upperRangeValue == 150.0f && r.lowerRangeValue == -50.0f &&
                         r.damping == 2.5f && r.pvUnitText == kCelsius
                   : r.upperRangeValue == 0.0f && r.lowerRangeValue == 0.0f && r.damping == 0.0f;
    case 16:
        return r.finalAssemblyNumber == (succeeded ? "ABC123" : "");
    default:
        return false;
    }
}

bool Has(const LoggedRequest& request, const char* fault) {
    return request.faults.find(fault) != std::string::npos;
}

// The verdicts a single attempt can reach given the simulator's account of
// its request and of the request before, whose late answer arrives while
// this one waits (consecutive requests are never for the same command).
bool VerdictExplained(const TransactionResult& result, const LoggedRequest& request,
                      const LoggedRequest* before) {
    const auto has = [&request](const char* fault) { return Has(request, fault); };
    if (request.noAnswer || has("late")) {
        if (before != nullptr && Has(*before, "late") && result.kind == Kind::Rejected) {
            return result.rejection ==
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

void RunHalf(int transactions, bool oneAttempt, const std::string& folder, Tally& tally) {
    const std::string state = folder + "/state";
    const std::string logPath = folder + (oneAttempt ? "/one-attempt.log" : "/retries.log");
    std::string error;
    if (!StateFile::Save(state, {KnownConfig()}, &error)) {
        Problem("cannot write the state file: %s", error);
        return;
    }
    std::vector<std::string> options = {
        "--timing", "fast", "--log", "--state", state, "--seed", oneAttempt ? "7" : "3"};
    for (const std::string& fault : kFaults) {
        options.push_back("--fault");
        options.push_back(fault);
    }
    SimulatorProcess sim(oneAttempt ? 7 : 6, options, logPath);
    if (!sim.Ready()) {
        Problem("%s", "the simulator did not start");
        return;
    }

    EventLoop loop;
    std::ostringstream shown;
    ConsolePrompt prompt(shown);
    TimerService::Install(&loop);
    PromptService::Install(&prompt);
    HartProtocol protocol;
    protocol.SetPortNumber(oneAttempt ? 7 : 6);
    protocol.SetRetryLimit(oneAttempt ? 0 : HartProtocol::kMaxRetries);
    SequenceRunner runner(loop, prompt);

    struct Step {
        TransactionResult result;
        int operation;
    };
    std::vector<Step> steps;
    std::vector<DeviceRecord> records;
    for (int done = 0, op = 0; done < transactions; ++op) {
        const auto& commands = kOperations[static_cast<std::size_t>(op) % kOperations.size()];
        protocol.Device() = DeviceRecord{};
        const std::size_t shownBefore = shown.str().size();
        // The runner takes a list written out; the operations have two or three steps.
        const SequenceRunner::Outcome outcome =
            commands.size() == 2 ? runner.Run({commands[0], commands[1]})
                                 : runner.Run({commands[0], commands[1], commands[2]});
        ++tally.operations;
        const auto& results = runner.StepResults();
        if (results.empty()) {
            Problem("an operation ended without a transaction (outcome %s)",
                    std::to_string(static_cast<int>(outcome)));
            break;
        }
        for (const TransactionResult& result : results) {
            steps.push_back({result, op});
            ++done;
        }
        records.push_back(protocol.Device());
        const TransactionResult& last = results.back();
        if (last.kind != Kind::Success) {
            ++tally.failedSteps;
            const std::string reason = SequenceRunner::Reason(last);
            ++tally.reasons[reason.substr(0, reason.find(':'))];
            // The user read the failure and its reason.
            const std::string text = shown.str().substr(shownBefore);
            if (reason.empty() || text.find(reason) == std::string::npos ||
                outcome != SequenceRunner::Outcome::Failed) {
                Problem("a failure was not reported with its reason: %s", text);
            }
        } else if (outcome != SequenceRunner::Outcome::Done) {
            Problem("%s", "an operation whose steps all succeeded did not end as done");
        }
    }
    protocol.ClosePort();
    PromptService::Install(nullptr);
    TimerService::Install(nullptr);
    tally.transactions += static_cast<int>(steps.size());

    // The simulator's account, now that it is complete.
    sim.Unplug();
    const SimulatorLog log = ReadLog(logPath);
    std::size_t s = 0;
    for (std::size_t op = 0; op < records.size(); ++op) {
        for (; s < steps.size() && steps[s].operation == static_cast<int>(op); ++s) {
            const TransactionResult& result = steps[s].result;
            if (!FieldsAsExpected(result.command, result.kind == Kind::Success, records[op], log)) {
                ++tally.wrongValues;
                Problem("a wrong value after command %s",
                        std::to_string(result.command) +
                            (result.kind == Kind::Success ? " (succeeded)" : " (failed)"));
            }
        }
    }
    if (!oneAttempt) {
        return;
    }
    // One attempt per transaction: the n-th transaction is the n-th request.
    if (log.requests.size() != steps.size()) {
        Problem("the simulator logged another number of requests: %s",
                std::to_string(log.requests.size()) + " for " + std::to_string(steps.size()));
        return;
    }
    for (std::size_t n = 0; n < steps.size(); ++n) {
        const LoggedRequest* before = n > 0 ? &log.requests[n - 1] : nullptr;
        if (log.requests[n].command != steps[n].result.command ||
            !VerdictExplained(steps[n].result, log.requests[n], before)) {
            ++tally.unexplained;
            Problem("a verdict the simulator's log does not explain: %s",
                    "command " + std::to_string(steps[n].result.command) + ", kind " +
                        std::to_string(static_cast<int>(steps[n].result.kind)) + ", faults '" +
                        log.requests[n].faults + (log.requests[n].noAnswer ? "noanswer" : "") +
                        "'");
        }
    }
}

} // namespace

int main(int argc, char* argv[]) {
    const int transactions = argc > 1 ? std::atoi(argv[1]) : 1000;
    const std::string folder =
        (std::filesystem::temp_directory_path() / ("calora_soak_" + std::to_string(getpid())))
            .string();
    std::filesystem::create_directories(folder);
    Tally tally;
    RunHalf(transactions / 2, false, folder, tally);
    RunHalf(transactions - transactions / 2, true, folder, tally);
    std::filesystem::remove_all(folder);

    std::printf("soak: %d transactions in %d operations, %d operations failed\n",
                tally.transactions, tally.operations, tally.failedSteps);
    for (const auto& [reason, count] : tally.reasons) {
        std::printf("soak:   %4d x %s\n", count, reason.c_str());
    }
    std::printf("soak: wrong values in the record: %d; verdicts the simulator's log does not "
                "explain: %d; problems: %d\n",
                tally.wrongValues, tally.unexplained, g_Problems);
    return g_Problems == 0 ? 0 : 1;
}
