#pragma once

#include "files/Hl7Message.h"

#include <QByteArray>
#include <QDateTime>

class OutData;
struct QuantSample;
struct LisOptions;
struct ReportFacts;

// An experiment's results as one HL7 v2.5.1 ORU^R01 message for a laboratory information system:
// per sample a PID and an OBR (the sample's name as the placer's order number), per target an OBX
// with the call (POS/NEG/INV, and INC for a run that did not play to its end, with the Chinese
// word), one with the mean Ct and one with the quantity and its unit where there are, the QC flags
// as notes (NTE) after them; after each OBR the sample's type, the run's validity, who ran it and
// the signatures as notes. A run that is incomplete or invalid has its results preliminary (P in
// OBR-25 and OBX-11) with a note saying why; otherwise they are final (F).
class Hl7Results
{
public:
    // now: when the message is made (MSH-7, OBR-22, and the message control id).
    static QByteArray message(const OutData& data, const ReportFacts& facts, const LisOptions& options, const QDateTime& now);

private:
    Hl7Results(const OutData& data, const QString& status, const QDateTime& now);
    // A sample's PID, OBR and notes; then each of its targets' call, Ct and quantity, under subId.
    void sample(const QuantSample& s, const ReportFacts& facts, const QString& validity);
    void target(const QuantSample& s, int subId, double meanCt);
    // A sample's PID and OBR; its set ids start afresh.
    void order(int setId, const QString& placer, const QString& filler);
    void observe(const QString& valueType, const Hl7Message::Field& id, int subId, const Hl7Message::Field& value,
                 const Hl7Message::Field& unit = {});
    void note(const QString& text); // nothing for an empty text

    Hl7Message mMessage;
    const OutData& mData;
    const QString mStatus; // F, or P for an incomplete or invalid run
    const QDateTime mNow;
    const QDateTime mRunTime; // the run's start, or now for a record without one
    // The set ids given last: orders in the message, observations in their order, notes under
    // their order or observation.
    int mOrders = 0, mObservations = 0, mNotes = 0;
};
