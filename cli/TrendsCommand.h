#pragma once

#include <QStringList>

// tamarin-cli trends --sample NAME --target T [--from DATE --to DATE] [--json]: a control's
// Levey–Jennings series from the record store's index, with the runs that break Westgard rules.
int trendsCommand(const QStringList& arguments);
