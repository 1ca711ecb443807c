#pragma once

class OutData;
class PdfPages;
class TempData;
struct QuantResult;

// A printed report's quantification: each standard curve as a chart with its line, E and R²
// (marked where a lab would not accept them, or why there is no curve), the standards left out
// with their reasons, every sample's quantity and the fold changes. What an invalid sample gives
// reads "无效" rather than a number no lab would report.
namespace QuantPages {

// Whether the run has anything to print here: standards with quantities, or fold changes.
bool any(const QuantResult& q);
void write(PdfPages& pages, const OutData& data, const TempData& results, const QuantResult& q);

}
