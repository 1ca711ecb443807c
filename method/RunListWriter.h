#pragma once

#include "method/ControlElement.h"

#include <QStack>

// Appends steps to a run list. The program part is capped so that an absurd method (a cycle
// count of a billion, say) cannot exhaust memory; the end sequence is always appended after it,
// so even a capped list still leaves the instrument in its safe state.
class RunListWriter
{
public:
    // About three weeks of steps, far beyond any real method.
    static constexpr int MaxProgramSteps = 2'000'000;

    void add(int kind, double up = 0.0, double down = 0.0);
    void setTemp(double up, double down) { add(SET_TEMP_All, up, down); }
    void repeat(int count, int kind);
    bool full() const { return mCapped && mList.size() >= MaxProgramSteps; }
    // From here on nothing is capped (the fixed end sequence).
    void uncap() { mCapped = false; }
    void append(const QStack<ControlElement>& steps);

    QStack<ControlElement> take() { return std::move(mList); }

private:
    QStack<ControlElement> mList;
    bool mCapped = true;
};
