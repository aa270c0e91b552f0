#pragma once

#include "hart/HartProtocol.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>

// The commands of the operation in progress: step k sends entry k.
struct CommandList {
    static constexpr std::size_t kCapacity = 40;
    std::array<std::uint8_t, kCapacity> commands{};
    std::uint8_t count = 0;
    std::uint8_t index = 0;

    // Loads the commands (at most kCapacity) and rewinds to the first.
    void Load(std::initializer_list<std::uint8_t> list);
    void Load(std::span<const std::uint8_t> list);
    std::uint8_t Current() const { return commands[index < kCapacity ? index : 0]; }
};

// The operation state shared by the main window and the pages. Everything here
// runs on the user-interface thread.
extern CommandList CommandSequence;
// Set from the first step of an operation until it ends; refuses a second one.
extern bool BusyFlag;
// Set by Stop: the engine and every completion routine drop the answer in flight.
extern bool CancelFlag;

// Refuses with "strBusy" while an operation runs and with "strPortFail" when
// the port cannot be opened; true when an operation may start.
bool CanStartSequence();
// Sends the current step of CommandSequence.
void StartSequenceStep(void* userData, HartProtocol::CompletionRoutine routine);
void ReportSequenceDone();
// Stop: skips the rest of the sequence and abandons the transaction in flight;
// completion routines see CancelFlag and drop what they are called with.
void CancelSequence();
void ReportSequenceFailed();

// What a failed step means to the operation that ran it.
enum class OnFailure {
    Report,   // the operation ends with the failure message (ReportSequenceFailed)
    Quiet,    // the operation ends; the caller tells the user in its own words
    Continue, // a failure is an answer of its own (the search): go on as after success
};
// Where AdvanceSequence left the operation.
enum class StepOutcome { Cancelled, Failed, Started, Finished };

// The one step-advance routine every completion routine calls first, in this
// order: a cancelled operation drops the call (Cancelled); a failed step ends
// the operation as onFailure says (Failed); otherwise afterStep runs, while no
// transaction is in flight and the record may be read, then the next step
// starts (Started) or, after the last, Finished is returned: the caller shows
// its results and calls ReportSequenceDone.
StepOutcome AdvanceSequence(void* userData, HartProtocol::CompletionRoutine routine, int success,
                            OnFailure onFailure = OnFailure::Report,
                            const std::function<void()>& afterStep = {});
