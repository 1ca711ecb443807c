#pragma once

#include <QStringList>

// tamarin-cli index rebuild [DIR]: the record store's index of experiments and their results
// filled again from the experiment files (usr_data), for files made before it existed.
int indexCommand(const QStringList& arguments);
