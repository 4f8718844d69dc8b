// SPDX-License-Identifier: Apache-2.0
// The flat buttons: transparent picture background, the disabled picture, the frame that
// shows only under the mouse, and the click on release.
#include "widgets/flat_button.h"

#include <QSignalSpy>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

using kalmora::widgets::FlatButton;

const QColor kBackground(224, 223, 227);

// A 6 x 4 picture on the background colour: a dark pixel, a light pixel, a red pixel.
QImage samplePicture()
{
    QImage image(6, 4, QImage::Format_RGB888);
    image.fill(kBackground);
    image.setPixelColor(1, 1, QColor(0, 60, 0));
    image.setPixelColor(3, 1, QColor(250, 250, 250));
    image.setPixelColor(4, 2, QColor(220, 0, 0));
    return image;
}

// Guards against the background colour showing, or the disabled copy keeping colours or
// losing its shape.
TEST(FlatButton, PictureBackgroundIsTransparentAndTheDisabledCopyIsEmbossed)
{
    FlatButton button(nullptr);
    button.setPicture(samplePicture());
    const QImage shown = button.picture();
    EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(shown.pixel(0, 3)), 0);
    EXPECT_EQ(shown.pixelColor(1, 1), QColor(0, 60, 0));
    EXPECT_EQ(shown.pixelColor(3, 1), QColor(250, 250, 250));

    const QImage disabled = button.disabledPicture();
    const QRgb dark = button.palette().color(QPalette::Dark).rgb();
    const QRgb light = button.palette().color(QPalette::Light).rgb();
    EXPECT_EQ(disabled.pixel(1, 1), dark);  // ink
    EXPECT_EQ(disabled.pixel(4, 2), dark);  // ink
    EXPECT_EQ(disabled.pixel(2, 2), light); // the emboss below and right of ink
    EXPECT_EQ(disabled.pixel(5, 3), light);
    EXPECT_EQ(qAlpha(disabled.pixel(3, 1)), 0); // a light pixel is no ink
    EXPECT_EQ(qAlpha(disabled.pixel(0, 0)), 0);
}

class FlatButtonOnAWindow : public testing::Test
{
protected:
    FlatButtonOnAWindow()
    {
        window.resize(200, 100);
        button->setGeometry(20, 20, 65, 50);
        button->setText(QStringLiteral("Esc: Cancelar"));
        button->setPicture(samplePicture());
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    /// The colour of the button's top-left corner pixel as drawn now.
    QRgb corner() { return button->grab().toImage().pixel(0, 0); }
    QRgb colour(QPalette::ColorRole role) { return button->palette().color(role).rgb(); }

    QWidget window;
    FlatButton *button = new FlatButton(&window);
};

// Guards against a frame drawn without the mouse, on a disabled button, or a pressed look
// missing.
TEST_F(FlatButtonOnAWindow, FrameShowsOnlyUnderTheMouse)
{
    const QRgb face = colour(QPalette::Button);
    const QPoint inside(30, 25);
    QTest::mouseMove(&window, QPoint(150, 90));
    EXPECT_EQ(corner(), face);
    QTest::mouseMove(button, inside);
    QTRY_VERIFY(button->underMouse());
    EXPECT_EQ(corner(), colour(QPalette::Light)); // raised
    QTest::mousePress(button, Qt::LeftButton, {}, inside);
    EXPECT_EQ(corner(), colour(QPalette::Dark)); // pressed
    QTest::mouseRelease(button, Qt::LeftButton, {}, inside);
    button->setEnabled(false);
    EXPECT_EQ(corner(), face);
}

// Guards against a click on press, or a click when the mouse is released off the button.
TEST_F(FlatButtonOnAWindow, ClicksWhenReleasedOverIt)
{
    QSignalSpy clicks(button, &FlatButton::clicked);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(30, 25));
    EXPECT_EQ(clicks.count(), 0);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(30, 25));
    EXPECT_EQ(clicks.count(), 1);

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(30, 25));
    QTest::mouseMove(button, QPoint(120, 25));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(120, 25));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
}

} // namespace
