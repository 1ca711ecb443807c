#pragma once

#include <QStringList>

// tamarin-cli search [--sample S] [--target T] [--call C] [--from DATE] [--to DATE]
// [--operator U] [--signed|--unsigned] [--json]: experiments found in the record store's index.
int searchCommand(const QStringList& arguments);
