// The alarm transmission: messages byte for byte against worked examples, the reports of the
// journal's lines, and the transmitter against a receiver of the test's own, on virtual time
// through a scripted link and over real loopback sockets.
#include "files/Cp1251.h"
#include "tests/support/TempFolder.h"
#include "transmit/Aes.h"
#include "transmit/AlarmReports.h"
#include "transmit/Dc09Message.h"
#include "transmit/SocketReceiverLink.h"
#include "transmit/AlarmTransmitter.h"
#include "transmit/TransmitterThread.h"

#include <QFile>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace kirvan {
namespace {

const QDateTime Noon(QDate(2026, 12, 10), QTime(12, 0), Qt::UTC);

// What a receiving centre reads of a message: checks its CRC and length, decrypts it.
struct Received {
    QByteArray id;
    int sequence = 0;
    QByteArray data; // between "[" and "]" of the clear text, "#account|" included when in clear
    QDateTime time;
};
std::optional<Received> receive(QByteArray message, const Aes* key)
{
    if (!message.startsWith('\n') || !message.endsWith('\r'))
        return std::nullopt;
    message = message.mid(1, message.size() - 2);
    const QByteArray body = message.mid(8);
    if (message.left(4).toUInt(nullptr, 16) != dc09::crc16(body) || message.mid(4, 4).toInt(nullptr, 16) != body.size())
        return std::nullopt;
    Received r;
    r.id = body.mid(1, body.indexOf('"', 1) - 1);
    r.sequence = body.mid(r.id.size() + 2, 4).toInt();
    QByteArray clear = body.mid(body.indexOf('[') + 1);
    if (r.id.startsWith('*')) {
        clear = key->decryptCbc(QByteArray::fromHex(clear));
        clear = clear.mid(clear.indexOf('|'));
    }
    r.data = clear.left(clear.indexOf(']'));
    r.time = QDateTime::fromString(QString::fromLatin1(clear.mid(clear.indexOf('_') + 1)),
                                   QStringLiteral("HH:mm:ss,MM-dd-yyyy"));
    r.time.setTimeSpec(Qt::UTC);
    return r;
}

QByteArray answer(QByteArrayView id, int sequence, const Aes* key, const QDateTime& time = Noon)
{
    return dc09::message(id, sequence, dc09::Address{"0", "0", "1234"}, "", time, key);
}

TEST(Dc09Message, MatchesWorkedExamples)
{
    EXPECT_EQ(dc09::crc16("123456789"), 0xBB3D);
    const dc09::Address address{"0", "0", "1234"};
    EXPECT_EQ(dc09::message("ADM-CID", 5, address, "#1234|1110 02 005", Noon, nullptr),
              "\n5F40003D\"ADM-CID\"0005R0L0#1234[#1234|1110 02 005]_12:00:00,12-10-2026\r");
    // FIPS-197 appendix C.
    const QByteArray plain = QByteArray::fromHex("00112233445566778899aabbccddeeff");
    const QByteArray keyBytes = QByteArray::fromHex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f");
    const std::pair<int, const char*> vectors[] = {{16, "69c4e0d86a7b0430d8cdb78070b4c55a"},
                                                   {24, "dda97ca4864cdfe06eaf70a0ec0d7191"},
                                                   {32, "8ea2b7ca516745bfeafc49904b496089"}};
    for (const auto& [length, cipher] : vectors) {
        const Aes aes(keyBytes.left(length));
        EXPECT_EQ(aes.encryptCbc(plain).toHex(), cipher) << length;
        EXPECT_EQ(aes.decryptCbc(QByteArray::fromHex(cipher)), plain) << length;
    }
    // Encrypted: the account in the clear, the rest padded with "0" at its start.
    const Aes key("0123456789ABCDEF");
    const QByteArray secret = dc09::message("ADM-CID", 7, address, "#1234|1110 02 005", Noon, &key);
    EXPECT_TRUE(secret.contains("\"*ADM-CID\"0007R0L0#1234["));
    const QByteArray hex = secret.mid(secret.indexOf('[') + 1).chopped(1);
    EXPECT_EQ(key.decryptCbc(QByteArray::fromHex(hex)), "000000000000000|1110 02 005]_12:00:00,12-10-2026");
    EXPECT_EQ(receive(secret, &key)->data, "|1110 02 005");
    // Answers: matched by ID and number, extra fields tolerated, a wrong key read as nothing.
    EXPECT_EQ(dc09::readAnswer(answer("ACK", 7, &key), &key)->sequence, 7);
    EXPECT_FALSE(dc09::readAnswer(answer("ACK", 7, &key), nullptr));
    EXPECT_FALSE(dc09::readAnswer(answer("ACK", 7, &key), std::make_unique<Aes>("FEDCBA9876543210").get()));
    const QByteArray echoing = dc09::message("DUH", 9, address, "#1234|extra", Noon, nullptr);
    EXPECT_EQ(dc09::readAnswer(echoing, nullptr)->kind, dc09::Answer::Kind::Duh);
    EXPECT_EQ(dc09::readAnswer(answer("NAK", 0, nullptr, Noon.addSecs(90)), nullptr)->receiverTime, Noon.addSecs(90));
    QByteArray damaged = answer("ACK", 7, nullptr);
    damaged[12] = 'X';
    EXPECT_FALSE(dc09::readAnswer(damaged, nullptr));
}

TEST(AlarmReports, FollowTheJournal)
{
    const DetectorDirectory detectors{{{{u"01"_qs, u"И01-05"_qs}, {5, false}},
                                       {{u"01"_qs, u"И01-07"_qs}, {7, true}},
                                       {{u"00"_qs, u"И01-01"_qs}, {1, false}}},
                                      {{u"01"_qs, u"СКЛАД"_qs}}};
    // Each line and the ADM-CID data of the reports it gives, in order.
    const std::pair<const char16_t*, QByteArrayList> cases[] = {
        {u"10.12.2026 12:00:00  КОМПЛЕКС КИРВАН ВКЛЮЧЕН", {"1305 00 000"}},
        {u"01/И01-05/07 10.12.2026 12:00:01 ПОЖАР: СКЛАД 1 Цех", {"1110 02 005"}},
        {u"01/И01-05/07 10.12.2026 12:00:01 ПОЖАР: СКЛАД ИМИТАЦИЯ 1 Цех", {}},
        {u"01/И01-07/07 10.12.2026 12:00:01 ПОЖАР: СКЛАД 1 Дверь", {"1130 02 007"}},
        {u"00/И01-01/08 10.12.2026 12:00:02 ОТКАЗ: ОФИС 1 Коридор", {"1373 01 001"}},
        {u"00/И01-01/51 10.12.2026 12:00:02 ТЕХНОЛОГИЯ: ОФИС 1 Коридор", {"1150 01 001"}},
        {u"01/И01-05/05 10.12.2026 12:00:03 СКЛАД: ВЫКЛЮЧЕН И01-05 1 Цех", {"1570 02 005"}},
        {u"02/И01-01/23 10.12.2026 12:00:04 ОТКАЗ: НЕТ СВЯЗИ С СИСТЕМОЙ", {"1350 03 000"}},
        {u"01/И01-05/01 10.12.2026 12:00:05 СКЛАД: КОНТРОЛЬ", {"3110 02 005", "3130 02 007"}},
        {u"01/И01-05/01 10.12.2026 12:00:06 СКЛАД: КОНТРОЛЬ", {}},
        {u"00/И01-01/03 10.12.2026 12:00:07 ОФИС: ВКЛЮЧЕН И01-01 1 Коридор", {"3373 01 001"}},
        {u"01/И01-05/03 10.12.2026 12:00:07 СКЛАД: ВКЛЮЧЕН И01-05 1 Цех", {"3570 02 005"}},
        {u"02/И01-01/00 10.12.2026 12:00:08 ЦЕХ: НОРМА", {"3350 03 000"}},
        {u"10.12.2026 12:00:09  ВХОД ОПЕРАТОРА: Иванов, уровень 2", {}},
        {u"10.12.2026 12:00:10  КОМПЛЕКС КИРВАН ВЫКЛЮЧЕН", {"1308 00 000"}},
    };
    AlarmReports reports(JournalDateOrder(0, 1, 2));
    for (const auto& [line, expected] : cases) {
        QByteArrayList data;
        for (const AlarmReport& report : reports.follow(cp1251::encode(QString::fromUtf16(line)).bytes, detectors))
            data << report.contactIdData("1234").mid(6);
        EXPECT_EQ(data, expected) << QString::fromUtf16(line).toStdString();
    }
    EXPECT_EQ(AlarmReport({false, 110, "FA", 2, 5}).siaData("1234"), "#1234|Nri02/FA005");
    // What stays open survives the cursor file: the technology alarm of system 00 is restored after a restart.
    AlarmReports again(JournalDateOrder(0, 1, 2));
    again.setOpen(reports.open());
    const auto restored = again.follow(cp1251::encode(u"00/И01-01/01 10.12.2026 12:01:00 ОФИС: КОНТРОЛЬ"_qs).bytes,
                                       detectors);
    ASSERT_EQ(restored.size(), 1u);
    EXPECT_EQ(restored[0].contactIdData("1234"), "#1234|3150 01 001");
}

// A receiving centre behind a link on virtual time: each path answers at once or, while away,
// lets the wait pass.
class ScriptedReceiver : public ReceiverLink {
public:
    explicit ScriptedReceiver(std::int64_t& now, const Aes* key = nullptr) : now_(now), key_(key) {}

    Reply exchange(std::size_t path, const QByteArray& message, int waitMs) override
    {
        if (now_ < awayUntil[path]) {
            now_ += waitMs;
            return Reply{std::nullopt, QStringLiteral("нет ответа")};
        }
        now_ += 20;
        const std::optional<Received> r = receive(message, key_);
        if (!r)
            return Reply{answer("DUH", 0, nullptr), {}};
        if (std::exchange(nakNext, false))
            return Reply{answer("NAK", 0, key_, Noon.addSecs(120)), {}};
        log.push_back(*r);
        paths.push_back(path);
        return Reply{answer(r->data == refuse ? "DUH" : "ACK", r->sequence, key_), {}};
    }
    void interrupt() override {}

    std::int64_t awayUntil[2] = {0, 0};
    bool nakNext = false;
    QByteArray refuse;
    std::vector<Received> log;
    std::vector<std::size_t> paths;

private:
    std::int64_t& now_;
    const Aes* key_;
};

struct TransmitterRun {
    testing::TempFolder folder;
    std::int64_t now = 1'000'000;
    QStringList journal; // what the workstation was told
    ReceiverSettings settings = [] {
        ReceiverSettings s;
        s.configured = true;
        s.paths = {{u"receiver"_qs, 1}, {u"backup"_qs, 2}};
        s.address.account = "1234";
        return s;
    }();

    std::unique_ptr<AlarmTransmitter> start(ReceiverLink& link)
    {
        AlarmTransmitter::Setup setup;
        setup.logPath = folder.file(u"KirvanMonitorP.txt"_qs);
        setup.cursorPath = folder.file(u"KirvanMonitorP.pcn"_qs);
        setup.settings = settings;
        setup.nowMs = [this] { return now; };
        setup.utc = [this] { return Noon.addMSecs(now - 1'000'000); };
        setup.detectors = [] { return DetectorDirectory{{{{u"01"_qs, u"И01-05"_qs}, {5, false}}}, {}}; };
        return std::make_unique<AlarmTransmitter>(
            link, setup,
            AlarmTransmitter::Events{[this](const QString& why) { journal << QStringLiteral("нет связи: ") + why; },
                                     [this] { journal << QStringLiteral("восстановлена"); },
                                     [this](const QString& m) { journal << QStringLiteral("не принято: ") + m; }});
    }
    void logFire(int zoneLine)
    {
        QFile log(folder.file(u"KirvanMonitorP.txt"_qs));
        ASSERT_TRUE(log.open(QIODevice::Append));
        log.write(cp1251::encode(QStringLiteral("01/И01-05/07 10.12.2026 12:00:%1 ПОЖАР: СКЛАД %1\r\n")
                                     .arg(zoneLine, 2, 10, QLatin1Char('0')))
                      .bytes);
    }
    // Works until `until`, waiting as the transmitter asks.
    void runUntil(AlarmTransmitter& t, std::int64_t until)
    {
        while (now < until)
            now += std::max(1, t.work());
    }
};

TEST(AlarmTransmitter, OutageOfTheReceiverLosesNothing)
{
    TransmitterRun run;
    ScriptedReceiver receiver(run.now);
    auto transmitter = run.start(receiver);
    // Both paths away for 30 s while 20 fires are logged.
    receiver.awayUntil[0] = receiver.awayUntil[1] = run.now + 30'000;
    const std::int64_t began = run.now;
    for (int i = 0; i < 20; ++i)
        run.logFire(i);
    run.runUntil(*transmitter, began + 100'000);
    ASSERT_EQ(run.journal.size(), 2);
    EXPECT_TRUE(run.journal[0].startsWith(QStringLiteral("нет связи: нет ответа, receiver:1")))
        << run.journal[0].toStdString();
    EXPECT_EQ(run.journal[1], QStringLiteral("восстановлена"));
    ASSERT_EQ(receiver.log.size(), 20u);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(receiver.log[std::size_t(i)].sequence, i + 1);
        EXPECT_EQ(receiver.log[std::size_t(i)].data, "#1234|1110 02 005");
    }
    // Nothing more until the link test is due, a minute after the last message; then one NULL message.
    run.runUntil(*transmitter, began + 150'000);
    ASSERT_EQ(receiver.log.size(), 21u);
    EXPECT_EQ(receiver.log.back().id, "NULL");
}

TEST(AlarmTransmitter, RestartSendsWhatWasNotAcknowledged)
{
    TransmitterRun run;
    const Aes key("0123456789ABCDEF0123456789ABCDEF");
    run.settings.key = "0123456789ABCDEF0123456789ABCDEF";
    ScriptedReceiver receiver(run.now, &key);
    auto transmitter = run.start(receiver);
    for (int i = 0; i < 5; ++i)
        run.logFire(i);
    for (int i = 0; i < 3; ++i)
        transmitter->work();
    // Killed with two reports waiting: the next start sends them, numbered as they would have been.
    transmitter.reset();
    transmitter = run.start(receiver);
    run.runUntil(*transmitter, run.now + 5'000);
    ASSERT_EQ(receiver.log.size(), 5u);
    EXPECT_EQ(receiver.log[3].sequence, 4);
    EXPECT_EQ(receiver.log[4].id, "*ADM-CID");
    EXPECT_EQ(receiver.log[4].data, "|1110 02 005");
}

TEST(AlarmTransmitter, AnswersOfEveryKind)
{
    TransmitterRun run;
    ScriptedReceiver receiver(run.now);
    auto transmitter = run.start(receiver);
    // A NAK corrects the clock; a DUH is told and passed; a silent receiver gives way to the backup.
    receiver.nakNext = true;
    run.logFire(1);
    transmitter->work();
    ASSERT_EQ(receiver.log.size(), 1u);
    EXPECT_EQ(receiver.log[0].time, Noon.addSecs(120));
    EXPECT_EQ(receiver.log[0].sequence, 1);
    receiver.refuse = "#1234|1110 02 005";
    run.logFire(2);
    transmitter->work();
    EXPECT_EQ(run.journal, QStringList{QStringLiteral("не принято: #1234|1110 02 005")});
    receiver.refuse.clear();
    receiver.awayUntil[0] = run.now + 1'000'000;
    run.logFire(3);
    transmitter->work();
    EXPECT_EQ(receiver.paths, (std::vector<std::size_t>{0, 0, 1}));
    EXPECT_EQ(receiver.log.back().sequence, 3);
    // A receiver of another key: its answers cannot be read, and that is a lost link, not silence.
    const Aes otherKey("FEDCBA9876543210");
    ScriptedReceiver stranger(run.now, &otherKey);
    run.settings.key = "0123456789ABCDEF";
    auto keyed = run.start(stranger);
    run.logFire(4);
    keyed->work();
    EXPECT_TRUE(run.journal.back().startsWith(u"нет связи: ответ не распознан"_qs)) << run.journal.back().toStdString();
}

// A receiving centre on loopback that acknowledges every message it can read.
class LoopbackReceiver {
public:
    LoopbackReceiver(bool udp, const Aes* key) : key_(key)
    {
        listener_ = ::socket(AF_INET, udp ? SOCK_DGRAM : SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        if (!udp)
            ::listen(listener_, 1);
        thread_ = std::jthread([this, udp] { udp ? serveDatagrams() : serveStream(); });
    }
    ~LoopbackReceiver()
    {
        ::shutdown(listener_, SHUT_RDWR);
        ::shutdown(connection_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
        ::close(connection_);
    }
    // Waits for the first message, five seconds at most.
    std::optional<Received> first()
    {
        std::unique_lock lock(mutex_);
        arrived_.wait_for(lock, std::chrono::seconds(5), [this] { return !log_.empty(); });
        return log_.empty() ? std::nullopt : std::optional(log_.front());
    }
    int port = 0;

private:
    QByteArray answerTo(const QByteArray& message)
    {
        const std::optional<Received> r = receive(message, key_);
        if (!r)
            return answer("DUH", 0, nullptr);
        std::lock_guard lock(mutex_);
        log_.push_back(*r);
        arrived_.notify_all();
        return answer("ACK", r->sequence, key_);
    }
    void serveDatagrams()
    {
        char buffer[2048];
        sockaddr_storage from{};
        socklen_t length = sizeof from;
        for (ssize_t n;
             (n = ::recvfrom(listener_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length)) > 0;) {
            const QByteArray reply = answerTo(QByteArray(buffer, n));
            ::sendto(listener_, reply.constData(), std::size_t(reply.size()), 0, reinterpret_cast<sockaddr*>(&from),
                     length);
        }
    }
    void serveStream()
    {
        connection_ = ::accept(listener_, nullptr, nullptr);
        QByteArray pending;
        char buffer[2048];
        for (ssize_t n; (n = ::recv(connection_, buffer, sizeof buffer, 0)) > 0;) {
            pending.append(buffer, n);
            for (qsizetype end; (end = pending.indexOf('\r')) >= 0; pending.remove(0, end + 1)) {
                const QByteArray reply = answerTo(pending.left(end + 1));
                ::send(connection_, reply.constData(), std::size_t(reply.size()), MSG_NOSIGNAL);
            }
        }
    }

    const Aes* key_;
    int listener_ = -1;
    int connection_ = -1;
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<Received> log_;
    std::jthread thread_;
};

TEST(TransmitterThread, FireReachesReceiverOnLoopback)
{
    for (const bool udp : {false, true}) {
        TransmitterRun run;
        const Aes key("0123456789ABCDEF");
        LoopbackReceiver receiver(udp, &key);
        AlarmTransmitter::Setup setup;
        setup.logPath = run.folder.file(u"KirvanMonitorP.txt"_qs);
        setup.cursorPath = run.folder.file(u"KirvanMonitorP.pcn"_qs);
        setup.settings = run.settings;
        setup.settings.paths = {{u"127.0.0.1"_qs, receiver.port}};
        setup.settings.udp = udp;
        setup.settings.key = "0123456789ABCDEF";
        setup.nowMs = [] { return QDateTime::currentMSecsSinceEpoch(); };
        auto link = std::make_unique<SocketReceiverLink>(setup.settings.paths, udp);
        TransmitterThread thread(std::move(link), std::move(setup));
        thread.setDetectors({{{{u"01"_qs, u"И01-05"_qs}, {5, false}}}, {}});
        run.logFire(1);
        thread.logGrew();
        const std::optional<Received> fire = receiver.first();
        ASSERT_TRUE(fire) << udp;
        EXPECT_EQ(fire->id, "*ADM-CID");
        EXPECT_EQ(fire->data, "|1110 02 005");
        EXPECT_FALSE(thread.linkLost());
    }
}

} // namespace
} // namespace kirvan
