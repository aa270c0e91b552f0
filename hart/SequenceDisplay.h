#pragma once

#include <string>

// What the sequence layer shows of a running operation: the main window's
// progress bar and status bar panes.
class SequenceDisplay {
public:
    virtual ~SequenceDisplay() = default;
    // Progress of CommandSequence: finished, or at the step being sent.
    virtual void ShowProgress(bool finished) = 0;
    virtual void SetStatusText(int pane, const std::string& text) = 0;
};

// The main window once it is initialised; null before, and then the sequence
// layer shows no progress and no status, but works the same.
extern SequenceDisplay* g_pMainDialog;
