#pragma once

#include <QSet>

// How the simulated link misbehaves; every field off by default.
struct FaultPlan
{
    int dropEvery = 0;      // no reply to every n-th request
    int corruptEvery = 0;   // a broken CRC on every n-th reply
    bool swapCrc = false;   // the two CRC bytes of every reply swapped
    bool strayBytes = false; // "00 f8 03" ahead of every reply
    int splitPieces = 1;    // each reply written in this many pieces...
    int splitGapMs = 15;    // ...this far apart
    int silentAfter = -1;   // no reply at all after this many requests...
    int silentModule = -1;  // ...only to this module's address (all when -1)...
    int silentInReading = -1; // ...or from this module's n-th hole-position request on...
    int silentForMs = -1;   // ...for this long, then replies again (for good when -1)
    int vanishAfter = -1;   // the terminal closes after this many requests
    int latencyMs = 0;      // delay before each reply
    int ignoreCode = -1;    // requests with this command code go unanswered
    bool pace = false;      // bytes leave at 19200 baud, 8 data bits, even parity, 1 stop bit
    int lateEvery = 0;      // every n-th reply held back...
    int lateMs = 0;         // ...this long (past the host's read window, it answers the request after)
    int twiceEvery = 0;     // every n-th reply sent twice
    int wrongPositionEvery = 0; // every n-th hole reading answered with the next position's frame
    int silentInStop = -1;  // a module falls silent after answering this many requests of its stop sequence
    QSet<int> faultCodes;   // drops, broken CRCs, late, doubled and misplaced replies only for these
                            // command codes (all when empty)
};
