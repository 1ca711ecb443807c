#pragma once

#include <QStringList>

// tamarin-cli import IN.rdml OUT.pcrd [--run ID]: one run of an RDML file as an experiment file
// for review.
int importCommand(const QStringList& arguments);
