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

// Empty when a new experiment of this name can be saved in folder (which is made if missing);
// otherwise the operator's message: the name is invalid, the experiment exists, or the folder
// cannot be written.
QString saveFault(const QString& folder, const QString& name);

}
