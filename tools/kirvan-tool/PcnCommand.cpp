#include "tools/kirvan-tool/PcnCommand.h"

#include "files/IniFile.h"
#include "files/SettingsFile.h"
#include "files/WorkstationFolder.h"
#include "files/WorkstationLock.h"
#include "tools/kirvan-tool/ToolCommand.h"
#include "transmit/SocketReceiverLink.h"
#include "transmit/AlarmTransmitter.h"

#include <QElapsedTimer>

namespace kirvan {

namespace {

int status(const WorkstationFolder& folder, QTextStream& out, QTextStream& err)
{
    const std::optional<TransmitCursor> cursor = TransmitCursor::load(folder.receiverCursorFile());
    if (!cursor) {
        err << "kirvan-tool: " << folder.receiverCursorFile() << ": no transmission yet, or the file is damaged\n";
        return ToolFailed;
    }
    out << "log offset: " << cursor->position.offset << " (inode " << cursor->position.inode << ")\n"
        << "reports of that line acknowledged: " << cursor->reportsDone << '\n'
        << "next sequence number: " << cursor->sequence << '\n'
        << "open conditions (group:zone:code): " << cursor->open.join(u' ') << '\n'
        << "last answer: " << (cursor->lastAnswer.isEmpty() ? QStringLiteral("none") : cursor->lastAnswer) << '\n';
    return ToolOk;
}

int test(const WorkstationFolder& folder, const ToolPlatform& platform, QTextStream& out, QTextStream& err)
{
    WorkstationLock::Refusal refusal{};
    QString failure;
    const std::optional<WorkstationLock> lock = WorkstationLock::acquire(folder.path(), &refusal, &failure);
    if (!lock) {
        err << "kirvan-tool: "
            << (refusal == WorkstationLock::Refusal::HeldByAnother
                    ? WorkstationLock::heldMessage(folder.path())
                          + QStringLiteral(": it sends its own link tests; see kirvan-tool pcn status")
                    : failure)
            << '\n';
        return ToolFailed;
    }
    SettingsFile settings(platform.store, folder);
    AlarmTransmitter::Setup setup;
    setup.settings = readReceiverSettings(settings.ini());
    if (!setup.settings.configured || !setup.settings.errors.isEmpty()) {
        err << "kirvan-tool: "
            << (setup.settings.configured ? setup.settings.errors.join(QStringLiteral("; "))
                                          : QStringLiteral("the settings have no [ПЦН] section"))
            << '\n';
        return ToolFailed;
    }
    setup.logPath = folder.logFile();
    setup.cursorPath = folder.receiverCursorFile();
    QElapsedTimer clock;
    clock.start();
    setup.nowMs = [&clock] { return clock.elapsed(); };
    SocketReceiverLink link(setup.settings.paths, setup.settings.udp);
    AlarmTransmitter transmitter(link, std::move(setup), {});
    clock.restart();
    const AlarmTransmitter::TestResult result = transmitter.sendTest();
    if (!result.answer) {
        err << "kirvan-tool: no answer: " << result.failure << '\n';
        return ToolFailed;
    }
    static const char* const kinds[] = {"ACK", "NAK", "DUH"};
    out << kinds[int(result.answer->kind)] << ' ' << QString::number(result.answer->sequence).rightJustified(4, u'0')
        << " in " << clock.elapsed() << " ms\n";
    return result.answer->kind == dc09::Answer::Kind::Ack ? ToolOk : ToolFailed;
}

} // namespace

int runPcnCommand(const QStringList& arguments, const ToolPlatform& platform, QTextStream& out, QTextStream& err)
{
    QStringList words = arguments;
    QString folder = platform.defaultFolder;
    if (const qsizetype dir = words.indexOf(QStringLiteral("--dir")); dir >= 0 && dir + 1 < words.size()) {
        folder = words[dir + 1];
        words.remove(dir, 2);
    }
    if (words == QStringList{QStringLiteral("status")})
        return status(WorkstationFolder(folder), out, err);
    if (words == QStringList{QStringLiteral("test")})
        return test(WorkstationFolder(folder), platform, out, err);
    err << "kirvan-tool: expected: pcn test [--dir DIR] | pcn status [--dir DIR]\n";
    return ToolUsage;
}

} // namespace kirvan
