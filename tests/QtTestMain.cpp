#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

// Widgets, timers and socket notifiers need the application object and its event loop.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    // The recovery files of the runs stay out of the user's own state folder.
    const QTemporaryDir state;
    qputenv("XDG_STATE_HOME", state.path().toLocal8Bit());
    qputenv("ORVEX_DATABASE", (state.path() + "/results.sqlite").toLocal8Bit());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
