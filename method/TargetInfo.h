#pragma once

#include <QString>

// One detection target (one hole, one channel) with its analysis settings.
struct TargetInfo
{
    QString Name;
    int AutoThreshold = 0;        // non-zero: threshold from the baseline noise
    double Threshold = 0.0;       // fixed threshold; after analysis, the one used
    int AutoRange = 0;            // non-zero: baseline window chosen automatically
    int Start = 0;                // first index of the baseline window
    int End = 0;                  // index after the window's last point
    double BorderThreshold = 0.0; // minimum rise for a positive call
    double CtThreshold = 0.0;     // Ct cut-off, 0 = none

    bool operator==(const TargetInfo& o) const;

    // What a target of a new method starts with: one automatic threshold for the plate (replicates
    // agree far better at it than at a threshold per curve), the automatic baseline window and a
    // rise of 100 units for a positive call.
    static TargetInfo forNewMethod();
};
