#pragma once

#include "cli/ConfigDocument.h"
#include "cli/ConfigKeys.h"
#include "hart/TransactionResult.h"
#include "pages/PagePlan.h"

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

// Settings that could not be shown, by key, with why.
using ConfigNotes = std::map<std::string, std::string>;

// The texts of the configuration commands.
class ConfigReport {
public:
    // The identity, then every setting as "key  value" in the order of the
    // key table; a setting in notes shows why it has no value instead.
    static std::string Listing(const ConfigIdentity& identity, const ConfigValues& values,
                               const ConfigNotes& notes);

    // A table of the keys given: setting, transmitter value, file value; "-"
    // for a setting that does not apply.
    static std::string Differences(const std::vector<std::string>& keys,
                                   const ConfigValues& transmitter, const ConfigNotes& notes,
                                   const ConfigValues& file);

    // What a write that stopped at a failed step did. commands is the
    // operation (command 0 first), steps the outcome of each step run (the
    // last one failed), keys the settings each command carries. A refused
    // command was not carried out; one without a valid answer may or may not
    // have been.
    static std::string StoppedWrite(std::span<const std::uint8_t> commands,
                                    const std::vector<TransactionResult>& steps,
                                    const std::map<std::uint8_t, std::vector<std::string>>& keys,
                                    const std::string& reason);

    // The keys or options a check points at: "lrv, urv" for the span.
    static std::string FieldName(PageField field);
};
