#ifdef KIRVAN_TEST_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// The window's tests see the screen of a guard room: 1280 × 1024 on 19 inches unless
// KIRVAN_TEST_SCREEN names another ("1920x1080@92": pixels and dots per inch), so the window's
// scale and layout are those an operator meets.
QByteArray offscreenPlatform(const QString& folder)
{
    static const QRegularExpression form(QStringLiteral("^(\\d+)x(\\d+)@(\\d+)$"));
    QString screen = qEnvironmentVariable("KIRVAN_TEST_SCREEN", QStringLiteral("1280x1024@86"));
    auto match = form.match(screen);
    if (!match.hasMatch())
        match = form.match(QStringLiteral("1280x1024@86"));
    const QString config = folder + QStringLiteral("/screen.json");
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return "offscreen";
    file.write(QStringLiteral(R"({"screens": [{"name": "test", "x": 0, "y": 0, "width": %1, "height": %2,
                                   "logicalDpi": %3, "logicalBaseDpi": 96, "dpr": 1}]})")
                   .arg(match.captured(1), match.captured(2), match.captured(3))
                   .toUtf8());
    return "offscreen:configfile=" + QFile::encodeName(config);
}

} // namespace

int main(int argc, char** argv)
{
    // Tests run without a display; a private runtime folder keeps Qt quiet about it.
    QTemporaryDir runtimeFolder;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", runtimeFolder.isValid() ? offscreenPlatform(runtimeFolder.path()) : "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtimeFolder.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeFolder.path()));

    ::testing::InitGoogleTest(&argc, argv);
    TestApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
