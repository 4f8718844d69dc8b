// SPDX-License-Identifier: Apache-2.0
// Test main for widget tests: the application object must exist before any widget.
#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Windows"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
