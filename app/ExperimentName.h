#pragma once

#include <QString>

// The rules for experiment names. The name becomes the file name NAME.pcrd in the experiment
// folder, wherever the program runs, so it must be a plain, portable file name: the wizard, the
// rename of the data page and the headless run all judge names here.
namespace ExperimentName {

// One of \ / : * ? " < > | (the characters the wizard refuses as they are typed).
bool hasForbiddenCharacter(const QString& name);

// Not empty or blank; none of the forbidden or control characters; not only dots; no dot or
// blank at either end (a leading dot would hide the file); not a reserved device name; at most
// 200 characters and short enough in bytes that every file made from it fits a file name.
bool isValid(const QString& name);
// Why a name makes no file name that works everywhere (a blank or a dot at either end said on its
// own); empty for a valid one.
QString nameFault(const QString& name);

// Empty when a new experiment of this name can be saved in folder (which is made if missing);
// otherwise the operator's message: the name is invalid, in use (see inUseFault), or the folder
// cannot be written. openByCaller: the caller's own page is one of those that have it open.
QString saveFault(const QString& folder, const QString& name, bool openByCaller = false);

// Empty when no experiment of this name exists in folder, no page of this program has it open
// (a test running or not yet saved, or a saved one under review), and no recovery copy of an
// interrupted test waits under it; otherwise the operator's message.
QString inUseFault(const QString& folder, const QString& name, bool openByCaller = false);

// The hidden copy a running test keeps beside its experiment file.
QString recoveryCopyPath(const QString& experimentPath);

// The experiments this program has open in a page, counted per page: a test from its creation
// until its page closes, a saved experiment while it is reviewed.
void open(const QString& experimentPath);
void close(const QString& experimentPath);
bool isOpen(const QString& experimentPath);

// path itself when nothing is saved there, otherwise the first free "NAME-2.pcrd",
// "NAME-3.pcrd", ... beside it: a run's readings never replace another experiment. Empty when
// even NAME-999 is taken.
QString freePath(const QString& path);

}
