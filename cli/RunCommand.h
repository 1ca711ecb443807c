#pragma once

#include <QStringList>

// tamarin-cli run --method M.json --module N --name NAME [--samples "a,b"] [--step-ms MS]:
// plays a method on the instrument, saves usr_data/NAME.pcrd and prints its analysis.
int runCommand(const QStringList& arguments);
