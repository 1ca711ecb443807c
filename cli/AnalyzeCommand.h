#pragma once

#include <QStringList>

// tamarin-cli analyze FILE.pcrd [--json]: the results of an experiment file.
int analyzeCommand(const QStringList& arguments);
