#pragma once

#include <QTextStream>

class OutData;

// The analysis table: one tab-separated line per used hole and channel, in sample order.
void printResultTable(QTextStream& out, const OutData& data);
// Every curve index with its settings as used and full-precision results, as JSON.
void printResultJson(QTextStream& out, const OutData& data);
