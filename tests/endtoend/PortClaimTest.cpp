#include "serial/PseudoTerminal.h"
#include "tests/support/TempFolder.h"
#include "tools/kirvan-sim/PortClaim.h"
#include "tools/kirvan-sim/SimComplex.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace kirvan::sim {
namespace {

using testing::TempFolder;

TEST(PortClaimTest, LinksThePortWhileItLastsAndRemovesTheLinkAfterwards)
{
    TempFolder folder;
    PseudoTerminal line;
    const QString link = folder.file(QStringLiteral("ports/COM2"));
    {
        const PortClaim claim(folder.path(), 2, line);
        EXPECT_EQ(claim.linkPath(), link);
        EXPECT_EQ(QFileInfo(link).symLinkTarget(), line.slavePath());
    }
    EXPECT_FALSE(QFileInfo(link).isSymLink());
}

TEST(PortClaimTest, RefusesAPortThatAnotherSimulatorHolds)
{
    TempFolder folder;
    PseudoTerminal first;
    PseudoTerminal second;
    const PortClaim claim(folder.path(), 1, first);
    EXPECT_THROW(PortClaim(folder.path(), 1, second), ComplexError);
    EXPECT_EQ(QFileInfo(folder.file(QStringLiteral("ports/COM1"))).symLinkTarget(), first.slavePath());
}

TEST(PortClaimTest, ReplacesAStaleLinkButNotAnAdaptersLink)
{
    TempFolder folder;
    PseudoTerminal line;
    QFile::link(QStringLiteral("/dev/pts/nonexistent"), folder.file(QStringLiteral("ports/COM1")));
    EXPECT_NO_THROW(PortClaim(folder.path(), 1, line));
    QFile::link(QStringLiteral("/dev/null"), folder.file(QStringLiteral("ports/COM3")));
    EXPECT_THROW(PortClaim(folder.path(), 3, line), ComplexError);
    EXPECT_EQ(QFileInfo(folder.file(QStringLiteral("ports/COM3"))).symLinkTarget(), QStringLiteral("/dev/null"));
}

} // namespace
} // namespace kirvan::sim
