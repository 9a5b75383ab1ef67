#include "tests/keys/PrivateDisplay.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// The X platform of Qt talks to the session bus once and keeps the bus library's buffer to the
// end; that is the library's, not a leak of ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libdbus-1.so";
}

// The key tests run on the X window system of a private Xvfb, the road a key press takes on a
// workstation; listing the tests needs no display.
int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    QTemporaryDir runtimeFolder;
    if (runtimeFolder.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeFolder.path()));
    kirvan::testing::PrivateDisplay display;
    if (!display.running()) {
        fprintf(stderr, "Xvfb could not be started (package xvfb)\n");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    int result = 0;
    {
        QApplication application(argc, argv);
        result = RUN_ALL_TESTS();
    }
    return result;
}
