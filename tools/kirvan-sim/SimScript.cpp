#include "tools/kirvan-sim/SimScript.h"

#include <QFile>

namespace kirvan::sim {

Script parseScript(const QString& name, QStringView text, SimComplex& complex)
{
    Script script;
    const auto lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed().toString();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const auto fail = [&](const QString& why) {
            script.errors << QStringLiteral("%1:%2: %3").arg(name).arg(i + 1).arg(why);
        };
        if (line.section(u' ', 0, 0) == u"wait") {
            bool ok = false;
            const double seconds = line.mid(4).trimmed().toDouble(&ok);
            if (!ok || seconds <= 0)
                fail(QStringLiteral("usage: wait SECONDS"));
            else
                script.steps.push_back({seconds, line, {}});
            continue;
        }
        auto parsed = parseCommand(line, complex);
        if (const auto* error = std::get_if<QString>(&parsed))
            fail(*error);
        else
            script.steps.push_back({0, line, std::get<SimCommand>(parsed)});
    }
    return script;
}

Script readScript(const QString& path, SimComplex& complex)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Script none;
        none.errors << QStringLiteral("cannot read the script %1").arg(path);
        return none;
    }
    return parseScript(path, QString::fromUtf8(file.readAll()), complex);
}

} // namespace kirvan::sim
