#pragma once

#include <QStringList>

// tamarin-cli types: sets the sample types (and standards' quantities) of an experiment, as the
// window's sample page does, audited like any change: an imported run needs them for its controls
// and standard curve.
int typesCommand(const QStringList& arguments);
