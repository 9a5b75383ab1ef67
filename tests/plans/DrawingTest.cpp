#include "plans/decoder/Drawing.h"
#include "plans/decoder/Sandbox.h"
#include "tests/support/TempFolder.h"

#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kirvan::testing {
namespace {

TEST(DrawingTest, AnSvgPlanKeepsOnlyReferencesIntoItself)
{
    const QByteArray svg
        = "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" viewBox=\"0 0 10 10\">"
          "<defs><rect id=\"r\" width=\"4\" height=\"4\"/></defs>"
          "<use xlink:href=\"#r\"/>"
          "<image href=\"data:image/png;base64,AAAA\" width=\"1\" height=\"1\"/>"
          "<image xlink:href=\"/dev/zero\" width=\"1\" height=\"1\"/>"
          "<image href=\" file:///etc/passwd\" width=\"1\" height=\"1\"/>"
          "<image xlink:href=\"../plans/other.svg\" width=\"1\" height=\"1\"/>"
          "<text x=\"1\" y=\"8\">Цех &amp; склад</text></svg>";
    const std::optional<QByteArray> closed = drawing::withoutOutsideReferences(svg);
    ASSERT_TRUE(closed);
    EXPECT_TRUE(closed->contains("xlink:href=\"#r\""));
    EXPECT_TRUE(closed->contains("href=\"data:image/png;base64,AAAA\""));
    EXPECT_FALSE(closed->contains("/dev/zero"));
    EXPECT_FALSE(closed->contains("passwd"));
    EXPECT_FALSE(closed->contains("other.svg"));
    EXPECT_TRUE(closed->contains("Цех &amp; склад"));
    EXPECT_TRUE(closed->contains("xmlns:xlink="));
    EXPECT_FALSE(drawing::withoutOutsideReferences("<svg><rect></svg>")) << "not well-formed";
}

// A decoder a plan has taken over finds itself locked in: the workstation's files cannot be
// opened, nothing new written, no socket made; the fonts stay readable.
TEST(DecoderSandboxTest, NoFileAndNoSocketOnceTheSandboxIsUp)
{
    const TempFolder folder;
    folder.write(QStringLiteral("KirvanMonitorP.users"), "Иванов:3:$argon2id$x\r\n");
    const QByteArray users = QFile::encodeName(folder.file(QStringLiteral("KirvanMonitorP.users")));
    const QByteArray fresh = QFile::encodeName(folder.file(QStringLiteral("new.txt")));
    EXPECT_EXIT(
        {
            if (!sandbox::enter())
                ::_exit(3);
            const int file = ::open(users.constData(), O_RDONLY | O_CLOEXEC);
            const int written = ::open(fresh.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
            const int network = ::socket(AF_INET, SOCK_STREAM, 0);
            const int local = ::socket(AF_UNIX, SOCK_STREAM, 0);
            const int font = ::open("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", O_RDONLY | O_CLOEXEC);
            ::_exit(file < 0 && written < 0 && network < 0 && local < 0 && font >= 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("new.txt"))));
}

} // namespace
} // namespace kirvan::testing
