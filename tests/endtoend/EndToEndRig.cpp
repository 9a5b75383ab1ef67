#include "tests/endtoend/EndToEndRig.h"

#include "tests/endtoend/SmallComplex.h"

#include <gtest/gtest.h>

namespace kirvan::testing {

EndToEndRig::EndToEndRig()
{
    writeSmallComplex(folder);
    complex_ = std::make_unique<sim::SimComplex>(simulatorStore_, folder.path());
    simulator = std::make_unique<sim::SimLine>(*complex_, folder.path(), 1, [](const QString&) {});
    workstation = std::make_unique<Workstation>(
        PlatformServices{loop, dialogs_, shell_, clock_, locale, line_.port(), sound_, pictures_, workers_, viewer_}, restorer_,
        WorkstationFolder(folder.path()));
    workstation->start(1);
}

EndToEndRig::~EndToEndRig()
{
    line_.port().close();
    workstation.reset();
    simulator.reset();
}

bool EndToEndRig::historyHas(const QString& record) const
{
    for (const QString& line : workstation->log().historyList())
        if (line.startsWith(record))
            return true;
    return false;
}

bool EndToEndRig::logHas(const QString& record) const
{
    return folder.readText(QStringLiteral("KirvanMonitorP.txt")).contains(QStringLiteral("\r\n") + record)
           || folder.readText(QStringLiteral("KirvanMonitorP.txt")).startsWith(record);
}

void EndToEndRig::inject(const QString& command)
{
    const auto refused = simulator->execute(command);
    EXPECT_FALSE(refused.has_value()) << refused.value_or(QString()).toStdString();
}

} // namespace kirvan::testing
