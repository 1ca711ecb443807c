#pragma once

#include <QStringList>

// tamarin-cli plan METHOD.json [--steps]: the method's run list and run time.
int planCommand(const QStringList& arguments);
