#pragma once

#include <QString>

class QWidget;

// Where the operator wants a file written: the save dialog starts at proposed (a folder and a
// name), shows only files with suffix, adds the suffix a typed name lacks and asks before
// replacing the file it names. Empty when the operator cancelled.
QString askSavePath(QWidget* parent, const QString& title, const QString& proposed, const QString& suffix);
