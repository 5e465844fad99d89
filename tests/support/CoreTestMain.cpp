// The main of the device layer's tests: an event loop and nothing of the GUI.

#include <QCoreApplication>

#include <QStandardPaths>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Backups and settings go to a test folder, never into the user's own.
    QStandardPaths::setTestModeEnabled(true);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
