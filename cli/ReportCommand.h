#pragma once

#include <QStringList>

// report FILE.pcrd OUT.pdf: the experiment's printed report.
int reportCommand(const QStringList& arguments);
// sign FILE.pcrd --meaning 审核|批准: a reviewer's electronic signature.
int signCommand(const QStringList& arguments);
