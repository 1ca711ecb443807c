#pragma once

#include <QStringList>

// audit list|verify: the audit trail of the record store.
int auditCommand(const QStringList& arguments);
