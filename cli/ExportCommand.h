#pragma once

#include <QStringList>

// tamarin-cli export FILE.pcrd OUT.xlsx: the Excel report of an experiment file.
int exportCommand(const QStringList& arguments);
