// kirvan-complex generate DIR | measure DIR | measure-add DIR
#include "tools/kirvan-complex/AdditionMeasurement.h"
#include "tools/kirvan-complex/LargestComplex.h"
#include "tools/kirvan-complex/LoadMeasurement.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QTextStream out(stdout);
    const QStringList arguments = application.arguments().mid(1);
    if (arguments.size() != 2
        || (arguments[0] != u"generate"_s && arguments[0] != u"measure"_s && arguments[0] != u"measure-add"_s)) {
        QTextStream(stderr) << u"usage: kirvan-complex generate DIR | measure DIR | measure-add DIR\n"
                               u"  generate  writes the largest complex (4 systems, 17,280 detectors) into DIR\n"
                               u"  measure   loads the configuration of DIR and reports time and memory\n"
                               u"  measure-add  adds the first system of DIR to DIR/addition and reports the time\n"_s;
        return 2;
    }
    if (arguments[0] == u"measure"_s)
        return kirvan::measureLoad(arguments[1], out);
    if (arguments[0] == u"measure-add"_s)
        return kirvan::measureAddition(arguments[1], out);
    try {
        kirvan::LargestComplex::write(arguments[1]);
    } catch (const std::exception& error) {
        QTextStream(stderr) << QString::fromUtf8(error.what()) << Qt::endl;
        return 1;
    }
    return 0;
}
