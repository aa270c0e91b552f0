#pragma once

#include "hart/SequenceDisplay.h"

#include <iosfwd>

// With --verbose: the progress of each operation and the status texts, one
// line each on the error stream.
class ConsoleDisplay : public SequenceDisplay {
public:
    explicit ConsoleDisplay(std::ostream& out) : m_Out(out) {}

    void ShowProgress(bool finished) override;
    void SetStatusText(int pane, const std::string& text) override;

private:
    std::ostream& m_Out;
};
