#pragma once

#include "cli/CommandContext.h"
#include "cli/ConfigDocument.h"
#include "cli/ConfigReport.h"
#include "cli/ConfigWriter.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

// The configuration commands of the command-line tool: config, set, backup,
// restore and diff. They read and write through the configuration pages' own
// decisions (ConfigWriter), so the window and the command line agree.
class ConfigCommands {
public:
    explicit ConfigCommands(CommandContext context) : m_Context(std::move(context)) {}

    int Config();
    int Set();
    int Backup();
    int Restore();
    int Diff();

private:
    // The transmitter's configuration after a full read.
    struct Reading {
        ConfigIdentity identity;
        ConfigValues values;
        ConfigNotes notes;
    };

    // Reads everything; nullopt after the failure has been reported. With
    // notedFailures a command the transmitter does not carry out only leaves
    // its settings unread (config); otherwise the read fails.
    std::optional<Reading> ReadTransmitter(bool notedFailures = false);
    std::optional<ConfigDocument> LoadFile(const std::string& path);
    // The settings of file that the transmitter does not have.
    static std::vector<std::string> Changed(const ConfigValues& file, const ConfigValues& values);
    // Runs a planned write; false after reporting what was written and what
    // not. keys are the settings to name for each part written.
    bool Write(const ConfigWrite& write, const std::vector<std::string>& keys);
    // A refused write: the check's message or the values that do not fit.
    int Refuse(const ConfigWrite& write);
    int Usage(const std::string& message);

    CommandContext m_Context;
};
