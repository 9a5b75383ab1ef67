#include "tools/kirvan-sim/EventFrames.h"

#include <QString>

namespace kirvan::sim {
namespace {

constexpr std::uint8_t stationStart = 0x20;

Frame sealed(std::uint8_t address, std::uint8_t code, std::uint8_t device, std::uint8_t element)
{
    Frame frame{stationStart, address, code, device, element, 0, 0};
    frame[6] = frameChecksum(frame.data());
    return frame;
}

std::uint8_t byte(int value)
{
    return static_cast<std::uint8_t>(value & 0xFF);
}

// Codes of 0x80 and above: the device digit in the high half of b3, the line below it.
Frame highForm(std::uint8_t code, int address, int device, int line, int number)
{
    return sealed(byte(address), code, byte((device << 4) | (line - 1)), byte(number - 1));
}

// Codes below 0x80 name detectors of devices 0 to 8 by device * 8 + line - 1.
Frame lowForm(std::uint8_t code, int address, const Point& p)
{
    return sealed(byte(address), code, byte((p.device << 3) | (p.line - 1)), byte(p.number - 1));
}

// Point numbers above 60 are the device's own: 62 its power, 64 its link.
constexpr int powerPoint = 62;
constexpr int linkPoint = 64;
// The switch report of 0x8A carries "off" in bit 7 of b3, leaving three bits for the device;
// devices above 7 report through the low form instead.
constexpr int highestSwitchDevice = 7;

} // namespace

Frame eventFrame(EventKind kind, int address, const Point& p)
{
    switch (kind) {
    case EventKind::Normal:
        return highForm(0x80, address, 0, 1, 1);
    case EventKind::SwitchedOn:
        return p.device <= highestSwitchDevice ? highForm(0x8A, address, p.device, p.line, p.number)
                                               : lowForm(0x28, address, p);
    case EventKind::SwitchedOff:
        return p.device <= highestSwitchDevice
                   ? sealed(byte(address), 0x8A, byte(0x80 | (p.device << 4) | (p.line - 1)), byte(p.number - 1))
                   : lowForm(0x29, address, p);
    case EventKind::Fire:
        return highForm(0x94, address, p.device, p.line, p.number);
    case EventKind::Fault:
        return highForm(0x96, address, p.device, p.line, p.number);
    case EventKind::NoLink:
        return highForm(0x96, address, p.device, 1, linkPoint);
    case EventKind::ShortCircuit:
        return highForm(0x98, address, p.device, p.line, 1);
    case EventKind::ContactClosed:
        return highForm(0x9A, address, p.device, p.line, p.number);
    case EventKind::ContactOpened:
        return highForm(0x9B, address, p.device, p.line, p.number);
    case EventKind::Armed:
        return highForm(0x9E, address, p.device, p.line, p.number);
    case EventKind::Disarmed:
        return highForm(0x9F, address, p.device, p.line, p.number);
    case EventKind::PowerFailure:
        return highForm(0x96, address, p.device, 1, powerPoint);
    case EventKind::Release:
        return highForm(0xA4, address, p.device, p.line, p.number);
    case EventKind::Technology:
        return lowForm(0x24, address, p);
    }
    return answerFrame(address);
}

Frame answerFrame(int address)
{
    return sealed(byte(address), 0, 0, 0);
}

QString expectedRecord(EventKind kind, int address, const Point& p)
{
    struct Form {
        int line;
        int number;
        const char* code;
    };
    const auto form = [&]() -> Form {
        switch (kind) {
        case EventKind::Normal:
            return {1, 1, "00"};
        case EventKind::SwitchedOn:
            return {p.line, p.number, "03"};
        case EventKind::SwitchedOff:
            return {p.line, p.number, "05"};
        case EventKind::Fire:
            return {p.line, p.number, "07"};
        case EventKind::Fault:
            return {p.line, p.number, "08"};
        case EventKind::NoLink:
            return {1, linkPoint, "09"};
        case EventKind::ShortCircuit:
            return {p.line, 1, "10"};
        case EventKind::ContactClosed:
            return {p.line, p.number, "24"};
        case EventKind::ContactOpened:
            return {p.line, p.number, "25"};
        case EventKind::Armed:
            return {p.line, p.number, "30"};
        case EventKind::Disarmed:
            return {p.line, p.number, "31"};
        case EventKind::PowerFailure:
            return {1, powerPoint, "32"};
        case EventKind::Release:
            return {p.line, p.number, "38"};
        case EventKind::Technology:
            return {p.line, p.number, "51"};
        }
        return {1, 1, "99"};
    }();
    const int device = kind == EventKind::Normal ? 0 : p.device;
    return QStringLiteral("%1/И%2%3-%4/%5")
        .arg(address, 2, 10, QLatin1Char('0'))
        .arg(device, 1, 16)
        .arg(form.line)
        .arg(form.number, 2, 10, QLatin1Char('0'))
        .arg(QLatin1StringView(form.code))
        .toUpper();
}

} // namespace kirvan::sim
