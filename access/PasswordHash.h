#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>

namespace kirvan {

// What one Argon2id hash costs. The stored hash carries its own cost, so a hash made with
// another cost (an older one, or the tests' cheap one) still verifies.
struct HashCost {
    unsigned long long passes;
    std::size_t memoryBytes;

    // A sign-in takes about half a second on a workstation of two cores (tools/password-cost
    // measures it): slow for anyone guessing, quick enough for an operator at an alarm.
    static HashCost signIn() { return {3, std::size_t(256) << 20}; }
    // The library's least: for tests, which hash many passwords.
    static HashCost cheapest();
};

// The password's Argon2id hash in the library's text form ("$argon2id$v=19$m=…"), with a salt of
// its own. Throws std::runtime_error when the memory cannot be had.
QByteArray hashPassword(const QString& password, HashCost cost);
// Whether the password is the one of the hash; a malformed hash verifies nothing. Takes as long
// as the hash's cost says: never on the main thread.
bool verifyPassword(const QByteArray& hash, const QString& password);

} // namespace kirvan
