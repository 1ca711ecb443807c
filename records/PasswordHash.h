#pragma once

#include <QString>

// Passwords as a memory-hard hash (Argon2id) with its own salt and costs in the stored text;
// the password itself is never kept.
namespace PasswordHash {

// Empty when the hash could not be made (out of memory).
QString make(const QString& password);
bool matches(const QString& stored, const QString& password);

}
