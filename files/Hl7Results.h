#pragma once

#include <QByteArray>
#include <QDateTime>

class OutData;
struct LisOptions;
struct ReportFacts;

// An experiment's results as one HL7 v2.5.1 ORU^R01 message for a laboratory information system:
// per sample a PID and an OBR (the sample's name as the placer's order number), per target an OBX
// with the call (POS/NEG/INV, and INC for a run that did not play to its end, with the Chinese
// word), one with the mean Ct and one with the quantity and its unit where there are, the QC flags
// as notes (NTE) after them; after each OBR the sample's type, the run's validity, who ran it and
// the signatures as notes. A run that is incomplete or invalid has its results preliminary (P in
// OBR-25 and OBX-11) with a note saying why; otherwise they are final (F).
namespace Hl7Results {

// now: when the message is made (MSH-7, OBR-22, and the message control id).
QByteArray message(const OutData& data, const ReportFacts& facts, const LisOptions& options, const QDateTime& now);

}
