#include "tools/kirvan-tool/MailboxCommand.h"

#include "files/PathCase.h"
#include "files/WorkstationFolder.h"
#include "mailbox/MailboxClient.h"
#include "mailbox/MailboxFile.h"
#include "mailbox/MailboxRequest.h"
#include "tools/kirvan-tool/ToolCommand.h"

#include <cmath>
#include <optional>

namespace kirvan {

namespace {

constexpr double defaultTimeoutSeconds = 10;

struct Options {
    QStringList positional;
    QString folder;
    double timeoutSeconds = defaultTimeoutSeconds;
};

// Nothing, with the reason in `error`, when the options are malformed.
std::optional<Options> parseOptions(const QStringList& arguments, const QString& defaultFolder, QString& error)
{
    Options options{{}, defaultFolder, defaultTimeoutSeconds};
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument != u"--dir" && argument != u"--timeout") {
            options.positional.append(argument);
            continue;
        }
        if (i + 1 >= arguments.size()) {
            error = argument + QStringLiteral(" needs a value");
            return std::nullopt;
        }
        const QString& value = arguments[++i];
        if (argument == u"--dir") {
            options.folder = value;
            continue;
        }
        bool ok = false;
        options.timeoutSeconds = value.toDouble(&ok);
        if (!ok || !(options.timeoutSeconds > 0) || options.timeoutSeconds > 86400) {
            error = QStringLiteral("--timeout takes seconds between 0 and 86400: %1").arg(value);
            return std::nullopt;
        }
    }
    return options;
}

std::optional<bool> parseStatus(const QString& text)
{
    for (const auto yes : {u"TRUE", u"1", u"ON"})
        if (text.compare(yes, Qt::CaseInsensitive) == 0)
            return true;
    for (const auto no : {u"FALSE", u"0", u"OFF"})
        if (text.compare(no, Qt::CaseInsensitive) == 0)
            return false;
    return std::nullopt;
}

// "ЗАПУСТИТЬ СЦЕНАРИЙ: система 1, код 154, параметры 240 и 4"
QString describe(const MailboxRequest& request)
{
    const Command& c = request.command;
    return QStringLiteral("%1: система %2, код %3, параметры %4 и %5")
        .arg(request.text.trimmed())
        .arg(c.address)
        .arg(c.code)
        .arg(c.parameterA)
        .arg(c.parameterB);
}

int send(const Options& options, MessageLoop& loop, QTextStream& out, QTextStream& err)
{
    const std::optional<bool> status = parseStatus(options.positional[2]);
    if (!status) {
        err << "kirvan-tool: STATUS is TRUE or FALSE: " << options.positional[2] << '\n';
        return ToolUsage;
    }
    const QString& address = options.positional[1];
    MailboxRequest request;
    try {
        request = requestFor(address, *status);
    } catch (const std::exception& invalid) {
        err << "kirvan-tool: ADDRESS " << QString::fromStdString(invalid.what())
            << " (e.g. A01:F1-05: system 01, group F, digit 1, element 05)\n";
        return ToolUsage;
    }
    const QString path = WorkstationFolder(options.folder).mailboxFile();
    MailboxClient client(loop, path);
    const auto timeoutMs = static_cast<int>(std::lround(options.timeoutSeconds * 1000));
    switch (client.send(address, *status, timeoutMs)) {
    case MailboxClient::Outcome::Taken:
        out << "taken: " << describe(request) << '\n';
        return ToolOk;
    case MailboxClient::Outcome::Busy:
        err << "kirvan-tool: another request waited in " << path << " for all of " << options.timeoutSeconds
            << " s; this one was not written\n";
        return ToolFailed;
    case MailboxClient::Outcome::Replaced:
        err << "kirvan-tool: not known to be taken within " << options.timeoutSeconds << " s; " << path
            << " now holds another writer's request in its place, left as it is\n";
        return ToolFailed;
    case MailboxClient::Outcome::Withdrawn:
        break;
    }
    err << "kirvan-tool: not taken within " << options.timeoutSeconds
        << " s; the request was withdrawn (is the workstation running on " << options.folder
        << "? it reads the mailbox only when the file exists at its start)\n";
    return ToolFailed;
}

int show(const Options& options, QTextStream& out, QTextStream& err)
{
    using namespace mailbox;
    const QString path = resolvePathCase(WorkstationFolder(options.folder).mailboxFile());
    auto content = mailboxfile::readPacket(path);
    if (std::holds_alternative<mailboxfile::Missing>(content)) {
        err << "kirvan-tool: no mailbox file " << path << '\n';
        return ToolFailed;
    }
    if (const auto* refused = std::get_if<mailboxfile::Unusable>(&content)) {
        err << "kirvan-tool: " << refused->reason << '\n';
        return ToolFailed;
    }
    const MailboxPacket& packet = std::get<MailboxPacket>(content);
    out << "records: " << packet.recordCount() << '\n';
    if (packet.recordCount() == 0)
        return ToolOk;
    for (const QString& field : {fieldUpdate, fieldAddress, fieldStatus})
        out << field << ": "
            << (packet.hasField(field) ? packet.value(0, field).value_or(QStringLiteral("(null)"))
                                       : QStringLiteral("(no such field)"))
            << '\n';
    try {
        out << "command: "
            << describe(requestFor(packet.value(0, fieldAddress).value_or(QString()), packet.boolean(0, fieldStatus)))
            << '\n';
    } catch (const std::exception& invalid) {
        out << "command: none, " << QString::fromStdString(invalid.what()) << '\n';
    }
    return ToolOk;
}

} // namespace

int runMailboxCommand(const QStringList& arguments, MessageLoop& loop, const QString& defaultFolder, QTextStream& out,
                      QTextStream& err)
{
    QString error;
    const auto options = parseOptions(arguments, defaultFolder, error);
    if (!options) {
        err << "kirvan-tool: " << error << '\n';
        return ToolUsage;
    }
    const QStringList& words = options->positional;
    try {
        if (words.size() == 3 && words[0] == u"send")
            return send(*options, loop, out, err);
        if (words.size() == 1 && words[0] == u"show")
            return show(*options, out, err);
    } catch (const std::exception& failure) {
        err << "kirvan-tool: " << QString::fromStdString(failure.what()) << '\n';
        return ToolFailed;
    }
    err << "kirvan-tool: expected: mailbox send ADDRESS STATUS | mailbox show\n";
    return ToolUsage;
}

} // namespace kirvan
