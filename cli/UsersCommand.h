#pragma once

#include <QStringList>

// users init|add|disable|passwd|list: the named users of the record store.
int usersCommand(const QStringList& arguments);
