#pragma once

#include <QStringList>

// tamarin-cli recover [DIR]: restores the tests a crash or a kill interrupted.
int recoverCommand(const QStringList& arguments);
