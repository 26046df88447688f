// Runs the tests inside a QApplication, as the windows need one.
#include <QApplication>
#include <QLocale>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("k-vorne-tests"));
    // Numbers shown to the teacher follow the machine's locale; the tests expect a decimal
    // point whatever the machine's is.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
