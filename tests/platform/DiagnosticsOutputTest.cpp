#include "platform/DiagnosticsOutput.h"

#include <gtest/gtest.h>
#include <chrono>
#include <fcntl.h>
#include <unistd.h>

namespace kirvan::testing {
namespace {

// Everything the pipe holds now.
QByteArray drain(int fd)
{
    QByteArray bytes;
    char chunk[4096];
    for (ssize_t got; (got = ::read(fd, chunk, sizeof chunk)) > 0;)
        bytes.append(chunk, got);
    return bytes;
}

// Standard error as a pipe nobody reads: writing never waits, what cannot be queued is counted,
// and the count is told once the pipe moves again.
TEST(DiagnosticsOutputTest, AFullPipeCostsDroppedLinesNeverAWait)
{
    int pipe[2];
    ASSERT_EQ(::pipe2(pipe, O_NONBLOCK), 0);
    while (::write(pipe[1], "x", 1) == 1) {}
    ::fcntl(pipe[1], F_SETFL, 0); // the writer blocks, as on a terminal or a journal pipe
    {
        DiagnosticsOutput output(pipe[1]);
        for (int i = 0; i < 5000; ++i)
            output.write(QStringLiteral("строка %1 длиной в несколько десятков байт").arg(i));
        EXPECT_GT(output.dropped(), 0u);
        output.writeOnce(QStringLiteral("предупреждение"));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        QByteArray read;
        while (!read.contains("пропущено") && std::chrono::steady_clock::now() < deadline)
            read += drain(pipe[0]);
        EXPECT_TRUE(read.contains("строк диагностики пропущено: вывод не успевал")) << read.right(200).toStdString();
        const std::uint64_t droppedBefore = output.dropped();
        for (int i = 0; i < 3; ++i)
            output.writeOnce(QStringLiteral("повтор"));
        while (!read.contains("повтор") && std::chrono::steady_clock::now() < deadline)
            read += drain(pipe[0]);
        EXPECT_EQ(output.dropped(), droppedBefore);
        EXPECT_EQ(read.count("KirvanMonitorP: повтор\n"), 1) << "each distinct text once";
    }
    ::close(pipe[0]);
    ::close(pipe[1]);
}

} // namespace
} // namespace kirvan::testing
