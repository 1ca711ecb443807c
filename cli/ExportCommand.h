#pragma once

#include <QStringList>

// tamarin-cli export FILE.pcrd OUT.xlsx|OUT.rdml|OUT.csv [--melt]: an experiment file as the
// Excel report, RDML or a CSV table.
int exportCommand(const QStringList& arguments);
