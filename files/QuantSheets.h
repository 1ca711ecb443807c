#pragma once

class OutData;
class XlsxSheet;
struct QuantResult;

// The report's quantification, after the sheets other tools read: "standard" (each standard
// curve, then every sample's quantity) and "relative" (fold changes against the calibrator).
// Numbers are numbers, so that a script takes them as they are; what has none is left empty.
namespace QuantSheets {

void writeStandard(XlsxSheet& sheet, const OutData& data, const QuantResult& q);
void writeRelative(XlsxSheet& sheet, const QuantResult& q);

}
