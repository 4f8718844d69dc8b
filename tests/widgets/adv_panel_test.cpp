// SPDX-License-Identifier: Apache-2.0
// The rates panel's frame as the user sees it: the raised bevel, the caption bar in the
// highlight colours with its text at the left, and a frame that no drag moves or sizes.
#include "widgets/adv_panel.h"

#include <QImage>
#include <QPalette>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using kalmora::widgets::AdvPanel;

// Guards against a frame drawn in the wrong colours or places: light top and left edges,
// dark bottom and right ones, a caption bar of 19 pixels inside the bevel, the caption text
// at the bar's left end, and the button face below the bar.
TEST(AdvPanel, PaintsItsBevelAndCaptionBar)
{
    QWidget window;
    auto *panel = new AdvPanel(&window);
    panel->setCaption(QStringLiteral("Tarifas"));
    panel->setGeometry(24, 104, 305, 161);
    const QImage image = panel->grab().toImage();
    const QPalette colours = panel->palette();
    auto at = [&](int x, int y) { return image.pixel(x, y); };
    auto colour = [&](QPalette::ColorRole role) { return colours.color(role).rgb(); };

    EXPECT_EQ(at(100, 0), colour(QPalette::Light));
    EXPECT_EQ(at(0, 100), colour(QPalette::Light));
    EXPECT_EQ(at(100, 160), colour(QPalette::Dark));
    EXPECT_EQ(at(304, 100), colour(QPalette::Dark));
    EXPECT_EQ(at(300, 1), colour(QPalette::Highlight));
    EXPECT_EQ(at(300, 18), colour(QPalette::Highlight));
    EXPECT_EQ(at(300, 19), colour(QPalette::Button));
    EXPECT_EQ(panel->clientMargins(), QMargins(1, 19, 1, 1));

    // The caption's ink lies in the bar's left part, none beyond the text's width.
    int inkLeft = -1;
    int inkRight = -1;
    for (int x = 1; x < 304; ++x)
        for (int y = 1; y < 19; ++y)
            if (at(x, y) != colour(QPalette::Highlight)) {
                if (inkLeft < 0)
                    inkLeft = x;
                inkRight = x;
            }
    EXPECT_GE(inkLeft, 1);
    EXPECT_LE(inkLeft, 4);
    EXPECT_LT(inkRight, 1 + panel->fontMetrics().horizontalAdvance(QStringLiteral("Tarifas")) + 2);
}

// Guards against a panel that the user can move, size or collapse with the mouse.
TEST(AdvPanel, DraggingOrClickingTheCaptionChangesNothing)
{
    QWidget window;
    window.resize(400, 300);
    auto *panel = new AdvPanel(&window);
    panel->setGeometry(24, 104, 305, 161);
    window.show();
    const QRect placed = panel->geometry();
    QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(50, 8));
    QTest::mouseMove(panel, QPoint(120, 60));
    QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(120, 60));
    QTest::mouseDClick(panel, Qt::LeftButton, {}, QPoint(50, 8));
    QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(304, 160)); // the corner
    QTest::mouseMove(panel, QPoint(380, 250));
    QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(380, 250));
    EXPECT_EQ(panel->geometry(), placed);
    EXPECT_TRUE(panel->isVisible());
}

} // namespace
