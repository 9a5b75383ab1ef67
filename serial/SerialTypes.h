#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace kirvan {

enum class BaudRate : std::uint8_t {
    bps110,
    bps300,
    bps600,
    bps1200,
    bps2400,
    bps4800,
    bps9600,
    bps14400,
    bps19200,
    bps38400,
    bps56000,
    bps57600,
    bps115200,
    bps128000,
    bps256000
};

// The parity bit: none, odd, even, always 1 (mark), always 0 (space). The panel link uses mark
// and space as a ninth address bit.
enum class Parity : std::uint8_t { none, odd, even, mark, space };

enum class StopBits : std::uint8_t { one, oneAndHalf, two };

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
// The modem lines' events.
constexpr std::uint32_t modemLines = cts | dsr | rlsd | ring;
// Events after which the modem lines are read again.
constexpr std::uint32_t modemRefresh = modemLines | error;
// The events an open port waits for: everything but the event character.
constexpr std::uint32_t waited = rxChar | txEmpty | modemLines | brk | error;
} // namespace lineEvent

// Line error flags of LineStatus, in the drivers' traditional values.
namespace lineError {
constexpr std::uint32_t rxOver = 0x0001;
constexpr std::uint32_t overrun = 0x0002;
constexpr std::uint32_t rxParity = 0x0004;
constexpr std::uint32_t frame = 0x0008;
constexpr std::uint32_t brk = 0x0010;
} // namespace lineError

// The count of bytes held in the receive buffer, at most 65535.
using BytesArrivedHandler = std::function<void(std::uint16_t count)>;
using LineLostHandler = std::function<void()>;

// Bits per second of a BaudRate, and the BaudRate of a speed if the port has one.
int baudOf(BaudRate rate);
std::optional<BaudRate> baudRateOf(int bitsPerSecond);

} // namespace kirvan
