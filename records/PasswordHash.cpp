#include "records/PasswordHash.h"

#include <sodium.h>

namespace PasswordHash {

QString make(const QString& password)
{
    if (sodium_init() < 0)
        return QString();
    const QByteArray utf8 = password.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, utf8.constData(), static_cast<unsigned long long>(utf8.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return QString();
    return QString::fromLatin1(out);
}

bool matches(const QString& stored, const QString& password)
{
    if (sodium_init() < 0)
        return false;
    const QByteArray hash = stored.toLatin1();
    if (hash.size() >= int(crypto_pwhash_STRBYTES))
        return false;
    const QByteArray utf8 = password.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), utf8.constData(), static_cast<unsigned long long>(utf8.size())) == 0;
}

}
