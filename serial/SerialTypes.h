#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace kirvan {

class SerialPort;

enum BaudRate : std::uint8_t {
    cbr110, cbr300, cbr600, cbr1200, cbr2400, cbr4800, cbr9600, cbr14400, cbr19200, cbr38400,
    cbr56000, cbr57600, cbr115200, cbr128000, cbr256000
};

// Parity bit none, odd, even, always 1 (mark), always 0 (space). The panel link uses mark and
// space as a ninth address bit.
enum Parity : std::uint8_t { paNone, paOdd, paEven, paMark, paSpace };

enum StopBits : std::uint8_t { sb1_0, sb1_5, sb2_0 };

enum LineEvent : std::uint8_t {
    evBreak, evCTS, evDSR, evError, evRing, evRlsd, evRxChar, evRxFlag, evTxEmpty
};

// A set of LineEvent, one bit per value in declaration order (nine bits).
using LineEvents = std::uint16_t;

constexpr LineEvents eventSet(LineEvent state)
{
    return static_cast<LineEvents>(1U << state);
}
constexpr LineEvents allEvents = 0x1FF;

// Line event bits of the event word, in the values the port drivers have always used.
namespace lineEvent {
constexpr std::uint32_t rxChar = 0x0001;
constexpr std::uint32_t rxFlag = 0x0002;
constexpr std::uint32_t txEmpty = 0x0004;
constexpr std::uint32_t cts = 0x0008;
constexpr std::uint32_t dsr = 0x0010;
constexpr std::uint32_t rlsd = 0x0020;
constexpr std::uint32_t brk = 0x0040;
constexpr std::uint32_t error = 0x0080;
constexpr std::uint32_t ring = 0x0100;
// The modem lines the status thread reports on its first pass.
constexpr std::uint32_t modemLines = cts | dsr | rlsd | ring;
// Events after which the modem lines are read again.
constexpr std::uint32_t modemRefresh = modemLines | error;
// The events an open port waits for: everything but the event character.
constexpr std::uint32_t waited = rxChar | txEmpty | modemLines | brk | error;
} // namespace lineEvent

// Line error flags handed to OnErrorSignal, in the drivers' traditional values.
namespace lineError {
constexpr std::uint32_t rxOver = 0x0001;
constexpr std::uint32_t overrun = 0x0002;
constexpr std::uint32_t rxParity = 0x0004;
constexpr std::uint32_t frame = 0x0008;
constexpr std::uint32_t brk = 0x0010;
} // namespace lineError

using PortHandler = std::function<void(SerialPort& Sender)>;
using BytesHandler = std::function<void(SerialPort& Sender, std::uint16_t Count)>;
using PortOpenHandler = std::function<void(SerialPort& Sender, std::int32_t Error)>;
using PortErrorHandler = std::function<void(SerialPort& Sender, std::int32_t Errors)>;

// Bits per second of a BaudRate, and the BaudRate of a speed if the port has one.
int baudOf(BaudRate rate);
std::optional<BaudRate> baudRateOf(int bitsPerSecond);

} // namespace kirvan
