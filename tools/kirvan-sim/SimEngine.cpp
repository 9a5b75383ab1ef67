#include "tools/kirvan-sim/SimEngine.h"

#include "tools/kirvan-sim/SimComplex.h"

#include <algorithm>

namespace kirvan::sim {
namespace {

enum Code : std::uint8_t {
    linkCheck = 0,
    stateRequest = 130,
    switchDetector = 138,
    startScenario = 152,
    closeContact = 154,
    openContact = 155,
    arm = 158,
    disarm = 159,
};
constexpr std::uint8_t switchOff = 0x80;

QString hex(int value)
{
    return QStringLiteral("0x%1").arg(value, 2, 16, QLatin1Char('0'));
}

std::vector<std::uint8_t> bytesOf(const Frame& frame)
{
    return {frame.begin(), frame.end()};
}

} // namespace

SimEngine::SimEngine(SimComplex& complex, std::uint32_t seed) : complex_(complex), random_(seed) {}

Reply SimEngine::received(std::span<const std::uint8_t> bytes)
{
    Reply reply;
    for (const Frame& frame : frames_.take(bytes)) {
        Reply one = command(frame);
        reply.writes.insert(reply.writes.end(), one.writes.begin(), one.writes.end());
        reply.log += one.log;
    }
    return reply;
}

void SimEngine::report(Reply& reply, EventKind kind, int address, const Point& point, const QString& what)
{
    reply.writes.push_back(bytesOf(eventFrame(kind, address, point)));
    reply.log << QStringLiteral("-> %1 %2").arg(expectedRecord(kind, address, point), what);
}

Reply SimEngine::command(const Frame& frame)
{
    Reply reply;
    const int address = frame[0];
    const int a = frame[3];
    const int b = frame[4];
    if (address >= firstAdsAddress)
        return adsCommand(frame);
    SimSystem* system = complex_.system(address);
    if (system == nullptr || silent_[static_cast<std::size_t>(address)])
        return reply;
    const auto detectorPoint = [&](int lineNumber) { return SimComplex::pointOfLine(*system, lineNumber, b + 1); };
    switch (frame[2]) {
    case linkCheck:
        reply.writes.push_back(bytesOf(answerFrame(address)));
        break;
    case stateRequest: {
        reply.log << QStringLiteral("<- %1 %2: state request").arg(address).arg(system->name);
        std::size_t reported = 0;
        for (const Detector& detector : system->detectors)
            if (!detector.on && reported++ < maxStateReports)
                report(reply, EventKind::SwitchedOff, address, detector.point, complex_.describe(address, detector.id));
        break;
    }
    case switchDetector: {
        const bool on = (a & switchOff) == 0;
        const auto point = detectorPoint(a & ~switchOff);
        reply.log << QStringLiteral("<- %1 %2: switch line %3 detector %4 %5")
                         .arg(address)
                         .arg(system->name)
                         .arg(a & ~switchOff)
                         .arg(b + 1)
                         .arg(on ? u"on" : u"off");
        if (!point)
            break;
        const QString id = detectorIdOf(*point);
        if (Detector* detector = complex_.detector(address, id))
            detector->on = on;
        report(reply, on ? EventKind::SwitchedOn : EventKind::SwitchedOff, address, *point,
               complex_.describe(address, id));
        break;
    }
    case arm:
    case disarm: {
        const bool arming = frame[2] == arm;
        reply.log << QStringLiteral("<- %1 %2: %3 line %4 detector %5")
                         .arg(address)
                         .arg(system->name)
                         .arg(arming ? u"arm" : u"disarm")
                         .arg(a)
                         .arg(b + 1);
        if (const auto point = detectorPoint(a))
            report(reply, arming ? EventKind::Armed : EventKind::Disarmed, address, *point,
                   complex_.describe(address, detectorIdOf(*point)));
        break;
    }
    case startScenario:
        reply.log << QStringLiteral("<- %1 %2: scenario %3 started").arg(address).arg(system->name).arg(a + 1);
        break;
    case closeContact:
    case openContact: {
        const bool closing = frame[2] == closeContact;
        reply.log << QStringLiteral("<- %1 %2: %3 contact, device byte %4, element %5")
                         .arg(address)
                         .arg(system->name)
                         .arg(closing ? u"close" : u"open", hex(a))
                         .arg(b + 1);
        report(reply, closing ? EventKind::ContactClosed : EventKind::ContactOpened, address,
               Point{a >> 4, (a & 0x0F) + 1, b + 1}, QStringLiteral("contact"));
        break;
    }
    default:
        reply.log << QStringLiteral("<- %1 %2: command %3 (A %4, B %5) not known, ignored")
                         .arg(address)
                         .arg(system->name)
                         .arg(frame[2])
                         .arg(a)
                         .arg(b);
    }
    return reply;
}

Reply SimEngine::adsCommand(const Frame& frame)
{
    Reply reply;
    const int station = frame[0] - firstAdsAddress;
    if (frame[2] == switchDetector && frame[3] == switchOff)
        reply.log << QStringLiteral("<- АДС %1 (%2): system %3 has left the complex, acknowledged")
                         .arg(station == 0 ? 1 : station)
                         .arg(hex(frame[0]))
                         .arg(frame[4]);
    else if (frame[2] != linkCheck)
        reply.log << QStringLiteral("<- АДС %1: command %2 ignored").arg(hex(frame[0])).arg(frame[2]);
    return reply;
}

Reply SimEngine::execute(const SimCommand& command)
{
    Reply reply;
    const auto index = static_cast<std::size_t>(command.address);
    switch (command.action) {
    case SimCommand::Action::Event: {
        const QString id = detectorIdOf(command.point);
        const bool detector = command.event == EventKind::Fire || command.event == EventKind::Fault
                              || command.event == EventKind::Technology || command.event == EventKind::Release;
        report(reply, command.event, command.address, command.point,
               detector ? complex_.describe(command.address, id) : QString());
        break;
    }
    case SimCommand::Action::Silent:
        silent_[index] = true;
        reply.log << QStringLiteral("system %1 is silent").arg(command.address);
        break;
    case SimCommand::Action::Answer:
        silent_[index] = false;
        reply.log << QStringLiteral("system %1 answers again").arg(command.address);
        break;
    case SimCommand::Action::Noise:
        reply.writes.push_back(noise(command.count));
        reply.log << QStringLiteral("-> %1 bytes of noise").arg(command.count);
        break;
    case SimCommand::Action::BadChecksum:
        reply.writes.push_back(badChecksumFrame(command.address));
        reply.log << QStringLiteral("-> a frame of system %1 with a wrong checksum").arg(command.address);
        break;
    }
    return reply;
}

std::vector<std::uint8_t> SimEngine::noise(int count)
{
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::uint8_t> bytes;
    while (static_cast<int>(bytes.size()) < count) {
        const auto value = static_cast<std::uint8_t>(byte(random_));
        // Noise tests resynchronisation; a byte that could start a frame might form one by chance
        // and swallow the valid frame after it.
        if (!isFrameStart(value))
            bytes.push_back(value);
    }
    return bytes;
}

std::vector<std::uint8_t> SimEngine::badChecksumFrame(int address)
{
    // A fault report whose inner bytes cannot start a frame; of its last byte only values are
    // taken that are wrong and that cannot close a frame starting at the address byte with the
    // 0x20 of the next frame.
    Frame frame{0x20, static_cast<std::uint8_t>(address), 0x96, 0xF0, 0xF0, 0xF0, 0};
    const std::uint8_t right = frameChecksum(frame.data());
    for (int last = 0x40;; ++last) {
        frame[6] = static_cast<std::uint8_t>(last);
        const std::uint8_t shifted = frameChecksum(frame.data() + 1);
        if (frame[6] != right && !isFrameStart(frame[6]) && shifted != 0x20)
            return bytesOf(frame);
    }
}

} // namespace kirvan::sim
