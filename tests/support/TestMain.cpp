#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Every test program runs with a QApplication (headless through QT_QPA_PLATFORM=offscreen), so
// widget and core tests share one main.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The recovery files of the editors tests open go to a directory of this run, never the
    // user's, and no other test program's leftovers are offered here.
    const QTemporaryDir stateHome;
    qputenv("XDG_STATE_HOME", stateHome.path().toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantorpad"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
