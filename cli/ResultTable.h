#pragma once

#include <QTextStream>

class OutData;

// The analysis table: one tab-separated line per used hole and channel, in sample order.
void printResultTable(QTextStream& out, const OutData& data);
// Every curve index with its settings as used, full-precision results, flags and melt peaks, as
// JSON.
void printResultJson(QTextStream& out, const OutData& data);
// Per sample and target: replicates, mean and SD of the positives' Ct, call and flags.
void printSampleTable(QTextStream& out, const OutData& data);
void printSampleJson(QTextStream& out, const OutData& data);
