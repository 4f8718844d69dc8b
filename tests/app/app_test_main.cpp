// SPDX-License-Identifier: Apache-2.0
// Test main for the application shell: the program's own application object (style, fonts,
// failure display in notify) exists before any widget, on the offscreen platform.
#include "app/application.h"

#include <QtGlobal>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    kalmora::app::Application application(argc, argv);
    kalmora::app::Application::setTitle(QStringLiteral("Contabilización ventas POS"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
