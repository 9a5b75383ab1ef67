#include "tools/kirvan-sim/SimCommand.h"

#include "tools/kirvan-sim/SimComplex.h"

#include <QStringList>

namespace kirvan::sim {
namespace {

using Result = std::variant<SimCommand, QString>;

constexpr int maxNoise = 255;

std::optional<int> number(QStringView text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= low && value <= high ? std::optional<int>(value) : std::nullopt;
}

struct Parser {
    const QStringList& words;
    SimComplex& complex;

    QString usage(const char* form) const { return QStringLiteral("usage: %1").arg(QString::fromUtf8(form)); }

    // The address of a played system in word 1.
    std::variant<int, QString> address() const
    {
        const auto value = words.size() > 1 ? number(words[1], 0, 3) : std::nullopt;
        if (!value)
            return QStringLiteral("a system address 0 to 3 is expected after \"%1\"").arg(words[0]);
        if (complex.system(*value) == nullptr)
            return QStringLiteral("no system is played at address %1").arg(*value);
        return *value;
    }

    Result detectorEvent(EventKind kind) const
    {
        if (words.size() != 3)
            return usage("fire|techno|fault|release ADDRESS И<device><line>-<number>");
        const auto at = address();
        if (const auto* error = std::get_if<QString>(&at))
            return *error;
        const int system = std::get<int>(at);
        const auto point = parseDetectorId(words[2]);
        if (!point || !complex.detectorExists(system, words[2]))
            return QStringLiteral("unknown detector %1 in system %2").arg(words[2]).arg(system);
        return SimCommand{SimCommand::Action::Event, kind, system, *point, 0};
    }

    Result deviceEvent(EventKind kind, const char* form, int deviceWord) const
    {
        const auto at = address();
        if (const auto* error = std::get_if<QString>(&at))
            return *error;
        const auto device = words.size() > deviceWord ? number(words[deviceWord], 0, 8) : std::nullopt;
        if (!device)
            return usage(form);
        return SimCommand{SimCommand::Action::Event, kind, std::get<int>(at), Point{*device, 1, 1}, 0};
    }

    Result shortCircuit() const
    {
        if (words.size() != 4)
            return usage("short ADDRESS DEVICE LINE");
        auto command = deviceEvent(EventKind::ShortCircuit, "short ADDRESS DEVICE LINE", 2);
        const auto line = number(words[3], 1, 8);
        if (auto* event = std::get_if<SimCommand>(&command); event && line)
            event->point.line = *line;
        else if (event)
            return QStringLiteral("a line 1 to 8 is expected, not %1").arg(words[3]);
        return command;
    }

    // nolink ADDRESS ПУ-П | ППКП N | БРВУ N (БРВУ 1 to 6 are devices 9 to E).
    Result noLink() const
    {
        const auto at = address();
        if (const auto* error = std::get_if<QString>(&at))
            return *error;
        const char* form = "nolink ADDRESS ПУ-П | ППКП 1-8 | БРВУ 1-6";
        std::optional<int> device;
        if (words.size() == 3 && words[2] == u"ПУ-П")
            device = 0;
        else if (words.size() == 4 && words[2] == u"ППКП")
            device = number(words[3], 1, 8);
        else if (words.size() == 4 && words[2] == u"БРВУ")
            if (const auto unit = number(words[3], 1, 6))
                device = *unit + 8;
        if (!device)
            return usage(form);
        return SimCommand{SimCommand::Action::Event, EventKind::NoLink, std::get<int>(at), Point{*device, 1, 1}, 0};
    }

    Result linkSwitch(SimCommand::Action action) const
    {
        const auto at = address();
        if (const auto* error = std::get_if<QString>(&at))
            return *error;
        return SimCommand{action, EventKind::Normal, std::get<int>(at), {}, 0};
    }

    Result noise() const
    {
        const auto count = words.size() == 2 ? number(words[1], 1, maxNoise) : std::nullopt;
        if (!count)
            return QStringLiteral("usage: noise COUNT (1 to %1 bytes)").arg(maxNoise);
        return SimCommand{SimCommand::Action::Noise, EventKind::Normal, 0, {}, *count};
    }

    Result badChecksum() const
    {
        if (words.size() == 1)
            return SimCommand{SimCommand::Action::BadChecksum, EventKind::Normal, complex.systems().front().address, {}, 0};
        return linkSwitch(SimCommand::Action::BadChecksum);
    }
};

} // namespace

std::variant<SimCommand, QString> parseCommand(QStringView line, SimComplex& complex)
{
    const QStringList words = line.toString().simplified().split(u' ', Qt::SkipEmptyParts);
    if (words.isEmpty())
        return QStringLiteral("empty command");
    const Parser parser{words, complex};
    const QString& verb = words[0];
    if (verb == u"fire")
        return parser.detectorEvent(EventKind::Fire);
    if (verb == u"techno")
        return parser.detectorEvent(EventKind::Technology);
    if (verb == u"fault")
        return parser.detectorEvent(EventKind::Fault);
    if (verb == u"release")
        return parser.detectorEvent(EventKind::Release);
    if (verb == u"short")
        return parser.shortCircuit();
    if (verb == u"power")
        return words.size() == 3 ? parser.deviceEvent(EventKind::PowerFailure, "power ADDRESS DEVICE", 2)
                                 : Result(parser.usage("power ADDRESS DEVICE"));
    if (verb == u"nolink")
        return parser.noLink();
    if (verb == u"silent")
        return parser.linkSwitch(SimCommand::Action::Silent);
    if (verb == u"answer")
        return parser.linkSwitch(SimCommand::Action::Answer);
    if (verb == u"noise")
        return parser.noise();
    if (verb == u"badsum")
        return parser.badChecksum();
    return QStringLiteral("unknown command \"%1\" (\"help\" lists the commands)").arg(verb);
}

QString commandSummary()
{
    return QStringLiteral("fire ADDRESS DETECTOR       fire at a detector, e.g. fire 1 И12-05 (record 01/И12-05/07)\n"
                          "techno ADDRESS DETECTOR     technology alarm (code 51)\n"
                          "fault ADDRESS DETECTOR      detector fault (code 08)\n"
                          "release ADDRESS DETECTOR    extinguishing agent released at the point (code 38)\n"
                          "short ADDRESS DEVICE LINE   short circuit of a line (code 10)\n"
                          "power ADDRESS DEVICE        power failure of a device (code 32)\n"
                          "nolink ADDRESS ПУ-П | ППКП N | БРВУ N   no link with a device (code 09)\n"
                          "silent ADDRESS              the system stops answering\n"
                          "answer ADDRESS              the system answers again\n"
                          "noise COUNT                 COUNT random bytes on the line\n"
                          "badsum [ADDRESS]            a frame with a wrong checksum\n");
}

} // namespace kirvan::sim
