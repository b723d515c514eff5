// Test entry: one QApplication (offscreen) for every test program, with the
// programs' accessible names, and a temporary settings folder so no test
// touches the user's files.
#include "tests/support/test_support.h"

#include "common/settings_paths.h"
#include "common/widgets/accessible_names.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kyvo::AccessibleNames::install(); // as the programs do
    QTemporaryDir settings;
    kyvo::setSettingsRootForTesting(settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
