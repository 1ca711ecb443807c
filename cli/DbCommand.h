#pragma once

#include <QStringList>

// db setup: a lab's PostgreSQL store made and migrated by its owner, with the program's role.
int dbCommand(const QStringList& arguments);
