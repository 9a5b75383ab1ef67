#include "tools/kirvan-tool/ToolCommand.h"

#include "config/IniStore.h"
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
    const int status = kirvan::runToolCommand(application.arguments().mid(1), store, in, out, err);
    out.flush();
    err.flush();
    return status;
}
