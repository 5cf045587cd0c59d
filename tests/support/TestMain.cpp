#include <QApplication>

#include <gtest/gtest.h>

// Every test program runs with a QApplication (headless through QT_QPA_PLATFORM=offscreen), so
// widget and core tests share one main.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantorpad"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
