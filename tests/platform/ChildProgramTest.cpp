#include "platform/ChildProgram.h"
#include "tests/support/TempFolder.h"

#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kirvan::testing {
namespace {

// The child tells what it sees on its standard input through a FIFO, which the test reads as
// the child writes: each read waits for the child, never for a set time.
TEST(ChildProgramTest, StartsOnceComesForwardAndIsToldWhenTheWorkstationEnds)
{
    TempFolder folder;
    const QString fifo = folder.file(u"said"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString script = uR"(exec >"$1"; echo started; while read line; do echo forward; done; echo ended)"_s;
    auto program = std::make_unique<ChildProgram>(u"/bin/sh"_s, QStringList{u"-c"_s, script, u"sh"_s, fifo});
    ASSERT_TRUE(program->show());
    const int said = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(said, 0);
    // A line as the child wrote it; empty at the end.
    const auto nextLine = [said] {
        QByteArray line;
        char c = 0;
        while (::read(said, &c, 1) == 1 && c != '\n')
            line += c;
        return line;
    };
    EXPECT_EQ(nextLine(), "started");
    ASSERT_TRUE(program->show());
    EXPECT_EQ(nextLine(), "forward") << "the running program, not a second one";
    program.reset();
    EXPECT_EQ(nextLine(), "ended");
    EXPECT_EQ(nextLine(), "");
    ::close(said);
}

} // namespace
} // namespace kirvan::testing
