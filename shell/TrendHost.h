#pragma once

// What the trend page needs of the main window: the sampling period chosen in
// the toolbar, the value panel, and the state of the sample-list button.
class TrendHost {
public:
    virtual ~TrendHost() = default;
    // Seconds between the end of one sampling cycle and the start of the next.
    virtual int TrendPeriod() const = 0;
    // 0: show the PV with its unit; 1: the loop current and the percent.
    virtual void ValueUpdate(int which) = 0;
    // Shows a trend toolbar button pressed or not.
    virtual void CheckTrendTool(int id, bool checked) = 0;
};
