#pragma once

#include <QStringList>
#include <QTextStream>

namespace kirvan {

// kirvan-tool decode: the frames in a capture of the line, one line each, found and decoded as
// the workstation's receiver does (without its 255-byte portions): the record of an event frame,
// "answer N" for an answer to a poll from address N, "ignored" for a frame the stations did not
// send. Bytes come as two-digit hexadecimal from the arguments, or from `in` without arguments,
// or raw from a file with --raw FILE.
int runDecodeCommand(const QStringList& arguments, QTextStream& in, QTextStream& out, QTextStream& err);

} // namespace kirvan
