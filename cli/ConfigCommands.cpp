#include "cli/ConfigCommands.h"

#include "cli/MessageText.h"
#include "hart/DeviceRecord.h"
#include "platform/PromptService.h"
#include "platform/TimerService.h"

#include <algorithm>
#include <map>
#include <ostream>

namespace {

constexpr const char* kName = "calora-cli";
constexpr std::uint8_t kChangeAddress = 6;
constexpr std::uint8_t kReset = 42;

// Exit status of diff when it could not compare, as diff(1) has it.
constexpr int kDiffTrouble = 2;

bool Contains(std::span<const std::uint8_t> commands, std::uint8_t command) {
    return std::find(commands.begin(), commands.end(), command) != commands.end();
}

} // namespace

int ConfigCommands::Usage(const std::string& message) {
    m_Context.err << kName << ": " << message << std::endl;
    return 2;
}

std::optional<ConfigCommands::Reading> ConfigCommands::ReadTransmitter(bool notedFailures) {
    const std::vector<std::uint8_t> commands = ConfigWriter::ReadAll();
    SequenceRunner& runner = m_Context.runner;
    const SequenceRunner::Outcome outcome =
        runner.Run(commands, SequenceRunner::FailureReport::Show,
                   notedFailures ? SequenceRunner::StepFailure::Noted
                                 : SequenceRunner::StepFailure::EndsOperation);
    if (outcome != SequenceRunner::Outcome::Done) {
        if (outcome != SequenceRunner::Outcome::Failed) {
            m_Context.reportUnsuccessful(outcome);
        }
        return std::nullopt;
    }
    const DeviceRecord& device = m_Context.protocol.Device();
    Reading reading{ConfigIdentity::Of(device), {}, {}};
    reading.values = ConfigKeys::Read(device, &reading.notes);

    // A part whose read the transmitter did not carry out shows why.
    std::map<std::uint8_t, std::string> unread;
    for (const TransactionResult& result : runner.StepResults()) {
        if (result.kind != TransactionResult::Kind::Success) {
            unread[result.command] = "not read: " + SequenceRunner::Reason(result);
        }
    }
    for (const std::string_view name : ConfigKeys::Names()) {
        const std::string key(name);
        const auto why = unread.find(ConfigKeys::ReadCommandOf(ConfigKeys::PartOf(key)));
        if (why != unread.end()) {
            reading.values.erase(key);
            reading.notes[key] = why->second;
        }
    }
    if (const auto why = unread.find(162); why != unread.end()) {
        reading.identity.version = "(" + why->second + ")";
    }
    return reading;
}

std::optional<ConfigDocument> ConfigCommands::LoadFile(const std::string& path) {
    std::string error;
    std::optional<ConfigDocument> document = ConfigDocument::Load(path, &error);
    if (!document) {
        Usage(error);
    }
    return document;
}

std::vector<std::string> ConfigCommands::Changed(const ConfigValues& file,
                                                 const ConfigValues& values) {
    std::vector<std::string> keys;
    for (const std::string_view name : ConfigKeys::Names()) {
        const std::string key(name);
        if (file.contains(key) && !ConfigKeys::Same(key, file, values)) {
            keys.push_back(key);
        }
    }
    return keys;
}

int ConfigCommands::Refuse(const ConfigWrite& write) {
    if (write.refusal) {
        PromptService::Show(MessageText::Get(write.refusal->messageKey), "HART",
                            write.refusal->icon);
        return Usage("refused by the check of " + ConfigReport::FieldName(write.refusal->focus) +
                     "; nothing was written");
    }
    return Usage(write.error + "; nothing was written");
}

bool ConfigCommands::Write(const ConfigWrite& write, const std::vector<std::string>& keys) {
    SequenceRunner& runner = m_Context.runner;
    const SequenceRunner::Outcome outcome =
        runner.Run(write.commands, SequenceRunner::FailureReport::Quiet);
    if (outcome == SequenceRunner::Outcome::Done) {
        // The transmitter answers at its new address from now on, as the
        // information page switches to it.
        DeviceRecord& device = m_Context.protocol.Device();
        if (Contains(write.commands, kChangeAddress)) {
            device.pollingAddress = device.newPollingAddress;
        }
        return true;
    }
    if (outcome != SequenceRunner::Outcome::Failed) {
        m_Context.reportUnsuccessful(outcome);
        return false;
    }
    std::map<std::uint8_t, std::vector<std::string>> keysOfCommand;
    for (const std::string& key : keys) {
        keysOfCommand[ConfigKeys::CommandOf(ConfigKeys::PartOf(key))].push_back(key);
    }
    keysOfCommand[kReset].push_back("the reset that puts the sensor settings into effect");
    const std::vector<TransactionResult>& steps = runner.StepResults();
    PromptService::Show(MessageText::Get("strCommFail"), "HART", PromptService::Icon::Information);
    m_Context.err << kName << ": "
                  << ConfigReport::StoppedWrite(write.commands, steps, keysOfCommand,
                                                steps.empty()
                                                    ? std::string("stopped")
                                                    : SequenceRunner::Reason(steps.back()))
                  << std::flush;
    return false;
}

int ConfigCommands::Config() {
    const std::optional<Reading> reading = ReadTransmitter(true);
    if (!reading) {
        return 1;
    }
    m_Context.out << ConfigReport::Listing(reading->identity, reading->values, reading->notes)
                  << std::flush;
    const std::size_t unread =
        std::count_if(reading->notes.begin(), reading->notes.end(),
                      [](const auto& note) { return note.second.starts_with("not read: "); });
    return unread == 0 ? 0 : 1;
}

int ConfigCommands::Set() {
    std::string error;
    const std::optional<ConfigValues> named =
        ConfigKeys::ParseAssignments(m_Context.options.m_operands, &error);
    if (!named) {
        return Usage(error);
    }
    const std::set<ConfigPart> parts = ConfigWriter::PartsOf(*named);
    DeviceRecord& device = m_Context.protocol.Device();
    // The settings that travel with those named are read first, to be sent
    // back as they are.
    const std::vector<std::uint8_t> reads = ConfigWriter::ReadsBefore(parts);
    if (!reads.empty()) {
        const SequenceRunner::Outcome outcome = m_Context.runner.Run(reads);
        if (outcome != SequenceRunner::Outcome::Done) {
            return outcome == SequenceRunner::Outcome::Failed
                       ? 1
                       : m_Context.reportUnsuccessful(outcome);
        }
    }
    const ConfigValues before = ConfigKeys::Read(device);
    const ConfigWrite write = ConfigWriter::Plan(*named, parts, device);
    if (write.Refused()) {
        return Refuse(write);
    }
    std::vector<std::string> keys;
    for (const auto& [key, value] : *named) {
        keys.push_back(key);
    }
    if (!Write(write, keys)) {
        return 1;
    }
    for (const std::string_view name : ConfigKeys::Names()) {
        const std::string key(name);
        if (const auto value = named->find(key); value != named->end()) {
            const auto was = before.find(key);
            m_Context.out << key << ": "
                          << (reads.empty() || was == before.end() ? std::string("")
                                                                   : was->second + " -> ")
                          << value->second << std::endl;
        }
    }
    return 0;
}

int ConfigCommands::Backup() {
    const std::string& path = m_Context.options.m_operands.front();
    const std::optional<Reading> reading = ReadTransmitter();
    if (!reading) {
        return 1;
    }
    for (const auto& [key, why] : reading->notes) {
        m_Context.err << kName << ": " << key << " not saved: " << why << std::endl;
    }
    ConfigDocument document;
    const TimerService* clock = TimerService::Current();
    document.saved = ConfigDocument::UtcText(clock != nullptr ? clock->NowSeconds() : 0);
    document.identity = reading->identity;
    document.settings = reading->values;
    std::string error;
    if (!document.Save(path, &error)) {
        m_Context.err << kName << ": " << error << std::endl;
        return 1;
    }
    m_Context.out << "saved " << document.settings.size() << " settings of "
                  << document.identity.KindText() << ", device id " << document.identity.deviceId
                  << " to " << path << std::endl;
    return 0;
}

int ConfigCommands::Diff() {
    const std::optional<ConfigDocument> document = LoadFile(m_Context.options.m_operands.front());
    if (!document) {
        return kDiffTrouble;
    }
    const std::optional<Reading> reading = ReadTransmitter();
    if (!reading) {
        return kDiffTrouble;
    }
    if (!reading->identity.SameKind(document->identity)) {
        m_Context.err << kName << ": the file was saved from another kind of transmitter ("
                      << document->identity.KindText()
                      << "; this one: " << reading->identity.KindText() << ")" << std::endl;
    }
    const std::vector<std::string> changed = Changed(document->settings, reading->values);
    if (changed.empty()) {
        m_Context.out << "the transmitter has every setting of the file" << std::endl;
        return 0;
    }
    m_Context.out << ConfigReport::Differences(changed, reading->values, reading->notes,
                                               document->settings)
                  << std::flush;
    return 1;
}

int ConfigCommands::Restore() {
    const std::string& path = m_Context.options.m_operands.front();
    const std::optional<ConfigDocument> document = LoadFile(path);
    if (!document) {
        return 2;
    }
    if (!m_Context.confirmation.CanAsk()) {
        return Usage(Confirmation::CannotAskText());
    }
    const std::optional<Reading> reading = ReadTransmitter();
    if (!reading) {
        return 1;
    }
    if (!reading->identity.SameKind(document->identity) && !m_Context.options.m_force) {
        return Usage("the file was saved from another kind of transmitter (" +
                     document->identity.KindText() + "; this one: " + reading->identity.KindText() +
                     "); give --force to restore it all the same; nothing was written");
    }
    const std::vector<std::string> changed = Changed(document->settings, reading->values);
    if (changed.empty()) {
        m_Context.out << "the transmitter has every setting of the file; nothing to write"
                      << std::endl;
        return 0;
    }
    m_Context.out << ConfigReport::Differences(changed, reading->values, reading->notes,
                                               document->settings)
                  << std::flush;

    std::set<ConfigPart> parts;
    for (const std::string& key : changed) {
        parts.insert(ConfigKeys::PartOf(key));
    }
    const ConfigWrite write =
        ConfigWriter::Plan(document->settings, parts, m_Context.protocol.Device());
    if (write.Refused()) {
        return Refuse(write);
    }
    if (!m_Context.confirmation.Ask("Write " + std::to_string(changed.size()) +
                                    " settings to the transmitter?")) {
        m_Context.err << kName << ": not confirmed; nothing was written" << std::endl;
        return 1;
    }
    if (!Write(write, changed)) {
        return 1;
    }

    // Read back: whatever the transmitter did not take is named.
    const std::optional<Reading> after = ReadTransmitter();
    if (!after) {
        m_Context.err << kName << ": written, but the settings could not be read back" << std::endl;
        return 1;
    }
    const std::vector<std::string> notTaken = Changed(document->settings, after->values);
    if (!notTaken.empty()) {
        m_Context.out << "read back: " << notTaken.size() << " settings did not take\n"
                      << ConfigReport::Differences(notTaken, after->values, after->notes,
                                                   document->settings)
                      << std::flush;
        return 1;
    }
    m_Context.out << "restored " << changed.size() << " settings; read back, all took" << std::endl;
    return 0;
}
