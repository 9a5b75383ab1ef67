#include "serial/SerialPort.h"
#include "serial/PosixLineSettings.h"
#include "serial/PosixSerialDevice.h"
#include "serial/PseudoTerminal.h"
#include "platform/QtMessageLoop.h"
#include "tests/support/TempFolder.h"

#include <QFile>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <csignal>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <gtest/gtest.h>
#include <numeric>
#include <thread>

namespace kirvan::testing {
namespace {

using namespace std::chrono_literals;

// Generous limits for conditions on real threads; the conditions usually hold within 100 ms.
constexpr int waitLimitMs = 5000;
constexpr auto readLimit = 5s;

std::vector<std::uint8_t> allByteValues()
{
    std::vector<std::uint8_t> values(256);
    std::iota(values.begin(), values.end(), std::uint8_t{0});
    return values;
}

class PtyPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(far.valid());
        ASSERT_TRUE(far.linkAs(folder.file(QStringLiteral("ports/COM3"))));
        port.setComNumber(3);
        port.setBaudRate(BaudRate::bps4800);
        port.setOnBytesArrived([this](std::uint16_t count) {
            EXPECT_TRUE(loop.isMainThread());
            std::vector<std::uint8_t> bytes(count);
            bytes.resize(static_cast<std::size_t>(port.readBuf(bytes)));
            received.insert(received.end(), bytes.begin(), bytes.end());
        });
    }

    bool waitFor(const std::function<bool()>& done) { return loop.waitUntil(done, waitLimitMs); }

    TempFolder folder;
    PseudoTerminal far;
    QtMessageLoop loop;
    SteadyPortClock clock;
    PosixSerialPorts ports{folder.path()};
    SerialPort port{loop, ports, clock};
    std::vector<std::uint8_t> received;
};

TEST_F(PtyPortTest, OpensByNumberThroughTheWorkstationsLinkAndCarriesEveryByteBothWays)
{
    port.setOpen(true);
    ASSERT_TRUE(port.isOpen());
    EXPECT_TRUE(port.usable());

    const auto values = allByteValues();
    ASSERT_TRUE(far.write(values));
    ASSERT_TRUE(waitFor([&] { return received.size() == values.size(); }));
    EXPECT_EQ(received, values);

    EXPECT_EQ(port.writeBuf(values), 256);
    EXPECT_EQ(far.read(values.size(), readLimit), values);
    port.setOpen(false);
    EXPECT_FALSE(port.isOpen());
}

// Another program's terminal: its settings, unread input and exclusive flag as it left them.
struct TerminalState {
    explicit TerminalState(int fd)
    {
        tcgetattr(fd, &settings);
        ioctl(fd, FIONREAD, &unread);
        ioctl(fd, TIOCGEXCL, &exclusive);
    }
    bool operator==(const TerminalState& other) const
    {
        return std::memcmp(&settings, &other.settings, sizeof settings) == 0 && unread == other.unread
               && exclusive == other.exclusive;
    }
    termios settings{};
    int unread = -1;
    int exclusive = -1;
};

TEST_F(PtyPortTest, TheProbeLeavesATerminalHeldByAnotherProgramAsItFoundIt)
{
    // The other program works in canonical mode with even parity and has a line not yet read.
    const int held = ::open(QFile::encodeName(far.slavePath()).constData(), O_RDWR | O_NOCTTY);
    ASSERT_GE(held, 0);
    termios settings{};
    tcgetattr(held, &settings);
    settings.c_cflag |= PARENB;
    settings.c_lflag |= ICANON;
    tcsetattr(held, TCSANOW, &settings);
    ASSERT_TRUE(far.write({'a', 'b', 'c', '\n'}));
    ASSERT_TRUE(waitFor([&] { return TerminalState(held).unread == 4; }));
    for (const bool exclusive : {false, true}) {
        SCOPED_TRACE(exclusive ? "held in exclusive use" : "held openly");
        if (exclusive)
            ioctl(held, TIOCEXCL);
        const TerminalState before(held);
        // In exclusive use it is busy; held openly it may be chosen, and only opening takes it.
        EXPECT_EQ(ports.probe(3), !exclusive);
        EXPECT_TRUE(TerminalState(held) == before);
    }
    // Busy for the port itself too, and still untouched.
    const TerminalState before(held);
    EXPECT_EQ(ports.open(3), nullptr);
    EXPECT_TRUE(TerminalState(held) == before);
    ::close(held);
}

TEST_F(PtyPortTest, TheDeviceCannotBeOpenedTwice)
{
    port.setOpen(true);
    ASSERT_TRUE(port.isOpen());
    EXPECT_EQ(port.openError(), 0);
    SerialPort second{loop, ports, clock};
    second.setComNumber(3);
    second.setOpen(true);
    EXPECT_FALSE(second.isOpen());
    // The terminal's exclusive mode stops others, its lock also root.
    EXPECT_TRUE(second.openError() == EBUSY || second.openError() == EWOULDBLOCK) << second.openError();
    port.setOpen(false);
    EXPECT_NE(ports.open(3), nullptr);
}

TEST_F(PtyPortTest, OpeningFailureKeepsTheSystemsReason)
{
    folder.write(QStringLiteral("ports/COM4"), "not a terminal");
    for (const auto& [number, reason] : {std::pair{4, ENOTTY}, std::pair{0, ENODEV}}) {
        port.setComNumber(number);
        port.setOpen(true);
        EXPECT_FALSE(port.isOpen());
        EXPECT_EQ(port.openError(), reason) << number;
    }
}

TEST_F(PtyPortTest, EverySpeedOfThePortReachesTheDevice)
{
    const auto device = PosixSerialDevice::open(far.slavePath());
    ASSERT_NE(device, nullptr);
    for (int rate = 0; rate <= static_cast<int>(BaudRate::bps256000); ++rate) {
        const LineSettings wanted{baudOf(static_cast<BaudRate>(rate)), Parity::none, StopBits::two, 8, true, true};
        ASSERT_TRUE(device->writeSettings(wanted));
        LineSettings read;
        ASSERT_TRUE(device->readSettings(read));
        EXPECT_EQ(read.baud, wanted.baud);
        EXPECT_EQ(read.stopBits, StopBits::two);
        // A pseudo-terminal has no CTS line, so output must not wait for one.
        EXPECT_FALSE(read.ctsFlow);
    }
    EXPECT_FALSE(device->writeSettings(LineSettings{4800, Parity::none, StopBits::one, 9, false, false}));
    EXPECT_EQ(device->modemLines()->cts, true);
}

TEST_F(PtyPortTest, ClosesCleanlyWhileTheOtherSideKeepsWriting)
{
    port.setOpen(true);
    ASSERT_TRUE(port.isOpen());
    std::atomic<bool> stop{false};
    std::thread talker([&] {
        const std::vector<std::uint8_t> frame{1, 2, 3, 4, 5, 6, 7};
        while (!stop && far.write(frame)) {}
    });
    ASSERT_TRUE(waitFor([&] { return received.size() > 1000; }));
    port.setOpen(false);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.inCount(), 0);
    stop = true;
    talker.join();
}

TEST_F(PtyPortTest, OtherSideClosingMakesThePortUnusableUntilReopened)
{
    int lost = 0;
    port.setOnLineLost([&] {
        EXPECT_TRUE(loop.isMainThread());
        ++lost;
    });
    port.setOpen(true);
    ASSERT_TRUE(port.isOpen());
    far.close();
    ASSERT_TRUE(waitFor([&] { return lost == 1; }));
    EXPECT_FALSE(port.usable());
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.writeByte(1), 0);
    port.setOpen(false);
    EXPECT_FALSE(port.isOpen());

    // The adapter comes back under another name; its link is renewed and the port reopened.
    PseudoTerminal back;
    ASSERT_TRUE(back.linkAs(folder.file(QStringLiteral("ports/COM3"))));
    port.setOpen(true);
    ASSERT_TRUE(port.usable());
    ASSERT_TRUE(back.write({0x55}));
    ASSERT_TRUE(waitFor([&] { return received.size() == 1; }));
    EXPECT_EQ(received, (std::vector<std::uint8_t>{0x55}));
    EXPECT_EQ(lost, 1);
}

TEST_F(PtyPortTest, AVanishedAdapterIsNotReplacedByAnotherDevice)
{
    port.setOpen(true);
    ASSERT_TRUE(port.isOpen());
    far.close();
    ASSERT_TRUE(waitFor([&] { return !port.usable(); }));
    port.setOpen(false);
    // The link now points nowhere: opening fails instead of taking /dev/ttyS2. (The vanished
    // terminal's own number may already serve another program's terminal; the link is made to
    // point at a name no device will take.)
    const QString link = folder.file(QStringLiteral("ports/COM3"));
    ASSERT_TRUE(QFile::remove(link));
    ASSERT_TRUE(QFile::link(folder.file(QStringLiteral("vanished-adapter")), link));
    port.setOpen(true);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.openError(), ENOENT) << "no device";
}

TEST_F(PtyPortTest, AWorkstationKilledWithThePortOpenLeavesItFreeForTheNextStart)
{
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        // The killed workstation: the port open, no destructor run.
        if (PosixSerialDevice::open(far.slavePath()).release() == nullptr)
            _exit(1);
        raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(waitpid(holder, &status, 0), holder);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the holder could not open the port";
    EXPECT_TRUE(ports.probe(3));
    EXPECT_NE(ports.open(3), nullptr) << std::strerror(errno);
}

} // namespace
} // namespace kirvan::testing
