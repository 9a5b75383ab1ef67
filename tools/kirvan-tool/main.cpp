#include "tools/kirvan-tool/ToolCommand.h"

#include "files/IniStore.h"
#include "platform/Clock.h"
#include "platform/QtMessageLoop.h"
#include "platform/SystemLocale.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QTextStream in(stdin);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const kirvan::SystemLocale locale;
    kirvan::IniStore store(locale);
    kirvan::QtMessageLoop loop;
    const kirvan::SystemClock clock;
    const kirvan::ToolPlatform platform{store, loop, clock, locale, QCoreApplication::applicationDirPath()};
    const int status = kirvan::runToolCommand(application.arguments().mid(1), platform, in, out, err);
    out.flush();
    err.flush();
    return status;
}
