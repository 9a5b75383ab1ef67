#include "access/PasswordHash.h"

#include <sodium.h>
#include <stdexcept>

namespace kirvan {

namespace {

void initialise()
{
    // Safe to call from any thread, any number of times.
    if (sodium_init() < 0)
        throw std::runtime_error("libsodium cannot be initialised");
}

} // namespace

HashCost HashCost::cheapest()
{
    return {crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN};
}

QByteArray hashPassword(const QString& password, HashCost cost)
{
    initialise();
    const QByteArray utf8 = password.toUtf8();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, utf8.constData(), static_cast<unsigned long long>(utf8.size()), cost.passes,
                          cost.memoryBytes)
        != 0)
        throw std::runtime_error("not enough memory for the password hash");
    return QByteArray(hash);
}

bool verifyPassword(const QByteArray& hash, const QString& password)
{
    initialise();
    if (hash.isEmpty() || hash.size() >= qsizetype(crypto_pwhash_STRBYTES))
        return false;
    const QByteArray utf8 = password.toUtf8();
    return crypto_pwhash_str_verify(hash.constData(), utf8.constData(), static_cast<unsigned long long>(utf8.size()))
           == 0;
}

} // namespace kirvan
