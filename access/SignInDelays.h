#pragma once

#include <QHash>
#include <QString>
#include <cstdint>

namespace kirvan {

// Wrong passwords slow their name down instead of locking it: after n wrong passwords in a row
// the name waits 1, 2, 4 … seconds, never more than a minute, so that guessing is hopeless but
// nobody can keep the operator out during a fire by typing wrong passwords for him. The counts
// are kept in a file of their own, owner-only, so that a restart does not wipe them; the wait
// itself begins anew at the start.
class SignInDelays {
public:
    static constexpr std::int64_t longestWaitMs = 60'000;

    static QString fileName() { return QStringLiteral("KirvanMonitorP.signin"); }

    // The counts of the file; none when it is missing or cannot be read (a guesser gains a
    // minute at most).
    static SignInDelays load(const QString& path, std::int64_t now);
    // Replaces the file whole; throws FileWriteError.
    void save(const QString& path) const;

    // Milliseconds `name` must still wait before his next password is looked at; 0: none.
    std::int64_t waitMs(const QString& name, std::int64_t now) const;
    void failed(const QString& name, std::int64_t now);
    void succeeded(const QString& name);
    int failures(const QString& name) const { return names_.value(name.toLower()).count; }

private:
    struct Entry {
        int count = 0;
        std::int64_t waitUntil = 0;
    };
    static std::int64_t waitAfter(int failures);

    QHash<QString, Entry> names_; // by the name folded to lower case
};

} // namespace kirvan
