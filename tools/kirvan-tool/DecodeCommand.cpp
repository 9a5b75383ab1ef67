#include "tools/kirvan-tool/DecodeCommand.h"

#include "link/FrameDecoder.h"
#include "link/FrameScanner.h"
#include "tools/kirvan-tool/ToolCommand.h"

#include <QFile>
#include <QRegularExpression>
#include <optional>
#include <vector>

namespace kirvan {

namespace {

// The bytes of hexadecimal text, two digits each, separated by blanks; nothing when malformed,
// with the offending piece in `bad`.
std::optional<std::vector<std::uint8_t>> parseHex(const QString& text, QString& bad)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    std::vector<std::uint8_t> bytes;
    for (const QString& piece : text.split(blanks, Qt::SkipEmptyParts)) {
        bool ok = false;
        const uint value = piece.toUInt(&ok, 16);
        if (!ok || piece.size() != 2) {
            bad = piece;
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

QString describe(Frame frame)
{
    switch (frameKind(frame)) {
    case FrameKind::Ignored:
        return QStringLiteral("ignored");
    case FrameKind::Answer:
        return QStringLiteral("answer %1").arg(frame[1]);
    case FrameKind::Event:
        break;
    }
    return decodeFrame(frame);
}

} // namespace

int runDecodeCommand(const QStringList& arguments, QTextStream& in, QTextStream& out, QTextStream& err)
{
    std::vector<std::uint8_t> bytes;
    if (!arguments.isEmpty() && arguments[0] == QLatin1String("--raw")) {
        if (arguments.size() != 2) {
            err << "kirvan-tool: --raw takes one file\n";
            return ToolUsage;
        }
        QFile capture(arguments[1]);
        if (!capture.open(QIODevice::ReadOnly)) {
            err << "kirvan-tool: cannot read " << arguments[1] << ": " << capture.errorString() << '\n';
            return ToolFailed;
        }
        const QByteArray raw = capture.readAll();
        bytes.assign(raw.begin(), raw.end());
    } else {
        QString bad;
        const auto parsed = parseHex(arguments.isEmpty() ? in.readAll() : arguments.join(QLatin1Char(' ')), bad);
        if (!parsed) {
            err << "kirvan-tool: not a two-digit hexadecimal byte: \"" << bad << "\"\n";
            return ToolUsage;
        }
        bytes = *parsed;
    }
    scanFrames(bytes.data(), bytes.size(), [&](const Frame& frame) { out << describe(frame) << '\n'; });
    return ToolOk;
}

} // namespace kirvan
