#include "tests/app/WorkstationFixture.h"

#include "complex/StateIcon.h"
#include "events/MarkerName.h"
#include "platform/Timer.h"
#include "tools/kirvan-sim/EventFrames.h"

#include <QProcessEnvironment>
#include <algorithm>
#include <deque>
#include <iostream>
#include <random>

namespace kirvan::testing {
namespace {

// No alarm is hidden, wiped or misplaced, whatever the line reports while the operator acts: line
// records at line pace and the operator's commands are interleaved at random on virtual time,
// from a seed; the waits of the reloads let later steps run inside earlier ones, and the control
// checks go on between them.
// After every step the workstation is held against a model of what it must announce. A failure
// names its seed; KIRVAN_SCENARIO_SEED plays that run again.

struct Detector {
    int address;
    sim::Point point;
    bool technology;
    bool placed;
    QString id() const
    {
        return QStringLiteral("И%1%2-%3").arg(point.device).arg(point.line).arg(point.number, 2, 10, QChar(u'0'));
    }
    QString record(int code) const
    {
        return QStringLiteral("%1/%2/%3").arg(address, 2, 10, QChar(u'0')).arg(id()).arg(code, 2, 10, QChar(u'0'));
    }
};

const std::vector<Detector> detectors = {
    {0, {1, 1, 1}, false, true}, {0, {1, 1, 2}, true, true}, {0, {1, 1, 3}, false, false}, {1, {1, 2, 1}, false, true},
    {1, {1, 2, 2}, false, true}, {1, {1, 3, 3}, true, true}, {2, {2, 1, 1}, false, true},
};

// What the workstation must show of one alarm record.
struct Alarm {
    std::uint64_t number;
    int address;
    QString marker; // empty for a record of a whole system
    int level;
};

class AlarmScenarioTest : public WorkstationFixture {
protected:
    void SetUp() override
    {
        folder.writeText(QStringLiteral("Офис.cnf"),
                         QStringLiteral("[ЗОНА]\n1=Приёмная\n[ПЛАН ЗОНЫ]\n1=Приёмная.bmp\n[ПРИБОРЫ]\nППКП1=ЕСТЬ\n"));
        folder.writeText(QStringLiteral("Офис.tb1"),
                         QStringLiteral("[И11-01]\nЗОНА=Приёмная\nТЕКСТ=Вход\nСОСТОЯНИЕ=ВКЛ\nX=4\nY=2\n"
                                        "[И11-02]\nЗОНА=Приёмная\nТЕКСТ=Котёл\nТИП=ТЕХНОЛОГ\nX=2\nY=2\n"
                                        "[И11-03]\nЗОНА=Приёмная\nТЕКСТ=Окно\nСОСТОЯНИЕ=ВКЛ\n"));
        folder.writeText(QStringLiteral("Склад.cnf"), QStringLiteral("[ЗОНА]\n1=Цех\n2=Склад\n[ПЛАН ЗОНЫ]\n1=Цех.bmp\n"
                                                                     "2=Склад.bmp\n[ПРИБОРЫ]\nППКП1=ЕСТЬ\n"));
        folder.writeText(QStringLiteral("Склад.tb1"),
                         QStringLiteral("[И12-01]\nЗОНА=Цех\nТЕКСТ=Лестница\nСОСТОЯНИЕ=ВЫКЛ\nX=3\nY=3\n"
                                        "[И12-02]\nЗОНА=Цех\nТЕКСТ=Ворота\nСОСТОЯНИЕ=ВКЛ\nX=1,5\nY=4\n"
                                        "[И13-03]\nЗОНА=Склад\nТЕКСТ=Холодильник\nТИП=ТЕХНОЛОГ\nX=5\nY=5\n"));
        folder.writeText(QStringLiteral("Гараж.cnf"),
                         QStringLiteral("[ЗОНА]\n1=Бокс\n[ПЛАН ЗОНЫ]\n1=Бокс.bmp\n[ПРИБОРЫ]\nППКП1=ЕСТЬ\n"
                                        "ППКП2=ЕСТЬ\n"));
        folder.writeText(QStringLiteral("Гараж.tb2"),
                         QStringLiteral("[И21-01]\nЗОНА=Бокс\nТЕКСТ=Бокс 1\nСОСТОЯНИЕ=ВКЛ\nX=2\nY=3\n"));
        for (const char* plan : {"Приёмная.bmp", "Цех.bmp", "Склад.bmp", "Бокс.bmp"})
            folder.write(QString::fromUtf8(plan), "picture");
        writeComplex(false);
        workstation = startWorkstation();
        // A manual control module for "Цех": its fires open the module prompt.
        IniFile& ini = workstation->settings().ini();
        ini.writeString(u"МОДУЛЬ УПРАВЛЕНИЯ 1", u"СИСТЕМА", u"A01:СКЛАД");
        ini.writeString(u"МОДУЛЬ УПРАВЛЕНИЯ 1", u"ЗОНА", u"Цех");
        ini.writeString(u"МОДУЛЬ УПРАВЛЕНИЯ 1", u"СЦЕНАРИЙ", u"3");
        ini.writeString(u"МОДУЛЬ УПРАВЛЕНИЯ 1", u"РЕЖИМ", u"РУЧНОЙ");
        workstation->controlModules().fillSlots();
        workstation->planArea().setSize(QSize(800, 600));
        loop.advance(10000);
    }
    void TearDown() override { workstation.reset(); }

    // The composition with or without ГАРАЖ at address 2: adding and removing a system.
    void writeComplex(bool withGarage)
    {
        QString settings = QStringLiteral("[АДРЕС]\n00=%1\n01=%2\n")
                               .arg(folder.file(QStringLiteral("Офис.cnf")), folder.file(QStringLiteral("Склад.cnf")));
        QString complex = QStringLiteral("A00:ОФИС\n\tПриёмная\n\t\tИ11-01 Вход\n\t\tИ11-02 Котёл\n\t\tИ11-03 Окно\n"
                                         "A01:СКЛАД\n\tЦех\n\t\tИ12-01 Лестница\n\t\tИ12-02 Ворота\n\tСклад\n"
                                         "\t\tИ13-03 Холодильник\n");
        if (withGarage) {
            settings += QStringLiteral("02=") + folder.file(QStringLiteral("Гараж.cnf")) + u'\n';
            complex += QStringLiteral("A02:ГАРАЖ\n\tБокс\n\t\tИ21-01 Бокс 1\n");
        }
        if (workstation) {
            IniFile& ini = workstation->settings().ini();
            if (withGarage)
                ini.writeString(u"АДРЕС", u"02", folder.file(QStringLiteral("Гараж.cnf")));
            else
                ini.deleteKey(u"АДРЕС", u"02");
        } else {
            folder.writeText(QStringLiteral("KirvanMonitorP.ini"), settings);
        }
        folder.writeText(QStringLiteral("kirvanmonitorp.cnf"), complex);
        garage_ = withGarage;
    }

    void run(std::uint32_t seed, int steps);

    std::unique_ptr<Workstation> workstation;

private:
    using Random = std::mt19937;
    void step(Random& random);
    void lineRecord(Random& random);
    void operatorAction(Random& random);
    void deliver(const Frame& frame, Random& random);
    // The model follows the history line: every alarm line is announced in its order, every
    // control-check line resets.
    void followHistory();
    void announce(const QString& line);
    void checkBeginningNow(const std::function<void()>& begin);
    void controlCheck(int address, std::uint64_t since);
    void check() const;
    int expectedLevel() const;
    const Detector* detectorOf(const QString& record) const;

    bool garage_ = false;
    std::vector<Alarm> announced_; // status field and markers
    std::vector<Alarm> pictured_; // tree pictures
    std::uint64_t number_ = 0;
    int level_ = 0;
    bool blinking_ = false;
    qsizetype seenLines_ = 0;
    int alarmRows_ = 0;
    // Control checks that begin with their record (the line's, F5) still to be seen.
    int checksBeginningNow_ = 0;
    // The checks "Общий контроль" still owes: address and the announcement it began after.
    std::deque<std::pair<int, std::uint64_t>> totalChecks_;
    int depth_ = 0;
    bool reloading_ = false;
    int stepsLeft_ = 0;
    std::unique_ptr<Timer> driver_;
    std::vector<std::string> trace_;
};

const Detector* AlarmScenarioTest::detectorOf(const QString& record) const
{
    for (const Detector& d : detectors)
        if (record.startsWith(QStringLiteral("%1/").arg(d.address, 2, 10, QChar(u'0')) + d.id()))
            return &d;
    return nullptr;
}

void AlarmScenarioTest::deliver(const Frame& frame, Random& random)
{
    // At line pace: two reads of the port, a frame's time on the line.
    const int cut = std::uniform_int_distribution<int>(1, 6)(random);
    port.received.deliver(Bytes(frame.begin(), frame.begin() + cut));
    workstation->link().receiver().bytesArrived(static_cast<std::uint16_t>(port.received.inCount()));
    port.received.deliver(Bytes(frame.begin() + cut, frame.end()));
    workstation->link().receiver().bytesArrived(static_cast<std::uint16_t>(port.received.inCount()));
}

void AlarmScenarioTest::lineRecord(Random& random)
{
    const int what = std::uniform_int_distribution<int>(0, 9)(random);
    const auto& d = detectors[std::uniform_int_distribution<std::size_t>(0, detectors.size() - 1)(random)];
    using sim::EventKind;
    trace_.push_back("line " + std::to_string(what) + ' ' + d.record(0).toStdString());
    switch (what) {
    case 0:
    case 1:
    case 2:
        deliver(sim::eventFrame(EventKind::Fire, d.address, d.point), random);
        break;
    case 3:
    case 4:
        deliver(sim::eventFrame(EventKind::Fault, d.address, d.point), random);
        break;
    case 5:
        deliver(sim::eventFrame(EventKind::Technology, d.address, d.point), random);
        break;
    case 6:
        deliver(sim::eventFrame(EventKind::Normal, d.address, d.point), random);
        break;
    case 7: // a control check reported by a system
        checkBeginningNow([this, &d] {
            workstation->dispatcher().processEvent(QStringLiteral("%1/И01-01/01").arg(d.address, 2, 10, QChar(u'0')));
        });
        break;
    case 8: // the link with a system lost
        workstation->dispatcher().processEvent(QStringLiteral("%1/И01-01/23").arg(d.address, 2, 10, QChar(u'0')));
        break;
    default:
        break;
    }
}

void AlarmScenarioTest::operatorAction(Random& random)
{
    Workstation& w = *workstation;
    const int what = std::uniform_int_distribution<int>(0, 13)(random);
    trace_.push_back("operator " + std::to_string(what));
    switch (what) {
    case 0: // F5; its second record follows after the line's next frame
        checkBeginningNow([&w] { w.commands().controlCheck(); });
        break;
    case 1: // F6
        w.commands().silenceSystem();
        blinking_ = false;
        break;
    case 2: // F7
        w.alarms().resetAlarm();
        announced_.clear();
        level_ = 0;
        blinking_ = false;
        break;
    case 3: // "Общий контроль": its checks of the systems follow one by one, after the line's frames
        if (!reloading_) {
            reloading_ = true;
            for (int address = 0; address <= (garage_ ? 2 : 1); ++address)
                totalChecks_.push_back({address, number_});
            // The pictures stay until each system's check: the reload shows them again.
            announced_.clear();
            level_ = 0;
            blinking_ = false;
            w.commands().controlAll();
            reloading_ = false;
        }
        break;
    case 4: // "Отключить звук"
        w.commands().silenceComplex();
        blinking_ = false;
        break;
    case 5:
    case 6: { // another node
        std::vector<TreeNode*> nodes;
        w.tree().walk([&nodes](TreeNode& n) {
            nodes.push_back(&n);
            return true;
        });
        w.tree().select(nodes[std::uniform_int_distribution<std::size_t>(0, nodes.size() - 1)(random)]);
        break;
    }
    case 7: // plan edit mode on or off
        w.planEditor().togglePlanEditMode();
        break;
    case 8: // the window resized
        w.planArea().setSize(QSize(std::uniform_int_distribution<int>(300, 1600)(random),
                                   std::uniform_int_distribution<int>(200, 1200)(random)));
        break;
    case 9: // the module prompt answered or closed
        if (w.controlModules().prompt())
            std::uniform_int_distribution<int>(0, 1)(random) ? w.controlModules().answerYes()
                                                             : w.controlModules().closePrompt();
        break;
    case 10: // a system added or removed, the composition reloaded
        if (depth_ == 0 && !reloading_) {
            reloading_ = true;
            writeComplex(!garage_);
            w.loader().loadConfiguration();
            // The reload shows the alarms the tree showed; a removed system's alarms stay
            // announced, their pictures go with the system's nodes.
            if (!garage_)
                std::erase_if(pictured_, [](const Alarm& a) { return a.address == 2; });
            reloading_ = false;
        }
        break;
    default:
        break;
    }
}

// A check whose record is logged at once, if its system is one of the complex's.
void AlarmScenarioTest::checkBeginningNow(const std::function<void()>& begin)
{
    const qsizetype before = workstation->log().historyList().size();
    ++checksBeginningNow_;
    begin();
    if (workstation->log().historyList().size() == before)
        --checksBeginningNow_;
}

void AlarmScenarioTest::announce(const QString& line)
{
    const QString record = line.left(12);
    const int code = record.right(2).toInt();
    const int address = record.left(2).toInt();
    const Detector* d = detectorOf(record);
    int level = 0;
    if (code == 7)
        level = d && d->technology ? 3 : 2;
    else if (code == 51)
        level = 3;
    else if (code == 8 || code == 23)
        level = 1;
    else
        return;
    ++alarmRows_;
    trace_.push_back("alarm " + std::to_string(number_ + 1) + ' ' + record.toStdString());
    const Alarm alarm{++number_, address, d && code != 23 ? markername::ofRecord(record) : QString(), level};
    announced_.push_back(alarm);
    pictured_.push_back(alarm);
    // The rules of raising: a fire always; technology unless a fire is shown; a detector fault
    // only over a fault or nothing; a lost link unless a fire is shown.
    const bool raises = level == 2 || (level == 3 && level_ != 2) || (code == 8 && level_ <= 1)
                        || (code == 23 && level_ != 2);
    if (raises) {
        level_ = level;
        blinking_ = true;
    }
}

void AlarmScenarioTest::controlCheck(int address, std::uint64_t since)
{
    trace_.push_back("check of " + std::to_string(address) + " resets up to " + std::to_string(since));
    std::erase_if(announced_, [since](const Alarm& a) { return a.number <= since; });
    std::erase_if(pictured_, [since, address](const Alarm& a) { return a.address == address && a.number <= since; });
    if (announced_.empty()) {
        level_ = 0;
        blinking_ = false;
        return;
    }
    const auto rank = [](int level) { return level == 2 ? 3 : level == 3 ? 2 : level; };
    level_ = 0;
    for (const Alarm& a : announced_)
        if (rank(a.level) > rank(level_))
            level_ = a.level;
}

void AlarmScenarioTest::followHistory()
{
    const QStringList& lines = workstation->log().historyList();
    for (; seenLines_ < lines.size(); ++seenLines_) {
        const QString& line = lines[seenLines_];
        trace_.push_back("journal " + line.left(12).toStdString());
        if (line.size() < 12 || line[2] != u'/' || line[9] != u'/')
            continue;
        if (line.mid(10, 2) == u"01") {
            const int address = line.left(2).toInt();
            if (checksBeginningNow_ > 0) {
                --checksBeginningNow_;
                controlCheck(address, number_);
                continue;
            }
            const auto total = std::find_if(totalChecks_.begin(), totalChecks_.end(),
                                            [address](const auto& check) { return check.first == address; });
            ASSERT_NE(total, totalChecks_.end()) << "a control check nobody began: " << line.toStdString();
            controlCheck(address, total->second);
            totalChecks_.erase(total);
        } else {
            announce(line);
        }
    }
}

void AlarmScenarioTest::check() const
{
    Workstation& w = *workstation;
    ASSERT_EQ(w.table().journalRow() - 1, alarmRows_) << "every alarm record has its row";
    ASSERT_EQ(w.alarms().alarmLevel(), level_) << "the status field shows the highest alarm";
    ASSERT_EQ(w.alarms().blinking(), blinking_) << "it blinks with its sound until sound off";
    if (!blinking_) {
        // At rest the word tells what is still true: a system without link stays " ОТКАЗ".
        const int shown = level_ != Annunciation::Normal ? level_ : w.alarmList().conditions().level();
        ASSERT_EQ(w.alarms().text(), AlarmState::wordOf(shown)) << "a silenced alarm shows its word steadily";
    }
    for (const Alarm& a : pictured_) {
        if (a.marker.isEmpty())
            continue;
        // The latest alarm of a detector decides its picture.
        const auto later = std::find_if(pictured_.rbegin(), pictured_.rend(),
                                        [&a](const Alarm& b) { return b.marker == a.marker; });
        if (later->number != a.number)
            continue;
        const TreeNode* node = w.tree().detectorNode(
            a.marker.mid(2, 2), QStringLiteral("И%1-%2").arg(a.marker.mid(4, 2), a.marker.mid(6, 2)));
        ASSERT_NE(node, nullptr) << a.marker.toStdString();
        const int icon = a.level == 2 ? stateicon::fire : a.level == 3 ? stateicon::technology : stateicon::fault;
        ASSERT_EQ(node->imageIndex(), icon) << "the tree shows " << a.marker.toStdString();
    }
    for (const Alarm& a : announced_) {
        const Detector* d = a.marker.isEmpty()
                                ? nullptr
                                : detectorOf(QStringLiteral("%1/И%2-%3")
                                                 .arg(a.marker.mid(2, 2), a.marker.mid(4, 2), a.marker.mid(6, 2)));
        if (!d || !d->placed)
            continue;
        const PlanMarker* marker = w.markers().find(a.marker);
        ASSERT_NE(marker, nullptr) << "the marker of " << a.marker.toStdString();
        if (marker->Plane == w.planArea().currentPlan()) {
            ASSERT_TRUE(marker->visible || marker->Blink) << "the marker of " << a.marker.toStdString() << " is shown";
        }
        ASSERT_NE(marker->colour, colours::white) << a.marker.toStdString();
    }
}

void AlarmScenarioTest::step(Random& random)
{
    if (stepsLeft_ <= 0 || ::testing::Test::HasFatalFailure())
        return;
    --stepsLeft_;
    ++depth_;
    followHistory();
    driver_->setInterval(std::uniform_int_distribution<int>(1, 400)(random));
    trace_.push_back("step at " + std::to_string(loop.now()));
    if (std::uniform_int_distribution<int>(0, 1)(random))
        lineRecord(random);
    else
        operatorAction(random);
    followHistory();
    check();
    --depth_;
}

void AlarmScenarioTest::run(std::uint32_t seed, int steps)
{
    SCOPED_TRACE("seed " + std::to_string(seed) + " (KIRVAN_SCENARIO_SEED replays it)");
    Random random(seed);
    stepsLeft_ = steps;
    driver_ = loop.createTimer();
    driver_->setInterval(100);
    driver_->setOnTimer([this, &random] { step(random); });
    driver_->setEnabled(true);
    while (stepsLeft_ > 0 && !::testing::Test::HasFatalFailure())
        loop.advance(1000);
    driver_->setEnabled(false);
    followHistory();
    check();
    // The last steps and lines of a failed run, to read beside its seed.
    if (::testing::Test::HasFailure())
        for (std::size_t i = trace_.size() > 60 ? trace_.size() - 60 : 0; i < trace_.size(); ++i)
            std::cerr << "  " << trace_[i] << std::endl;
}

TEST_F(AlarmScenarioTest, NoAlarmIsHiddenWipedOrMisplacedInRandomInterleavings)
{
    const QString chosen = QProcessEnvironment::systemEnvironment().value(QStringLiteral("KIRVAN_SCENARIO_SEED"));
    const std::uint32_t seed = chosen.isEmpty() ? std::random_device{}() : chosen.toUInt();
    run(seed, 3000);
}

} // namespace
} // namespace kirvan::testing
