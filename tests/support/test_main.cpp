// Test entry: one QApplication (offscreen) for every test program, and a
// temporary settings folder so no test touches the user's files.
#include "tests/support/test_support.h"

#include "common/settings_paths.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir settings;
    kyvo::setSettingsRootForTesting(settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
