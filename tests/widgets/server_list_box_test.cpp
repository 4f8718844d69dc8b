// SPDX-License-Identifier: Apache-2.0
// The server list's typing rule: a prefix typed within pauses of at most 499 ms selects the
// first item beginning with it, ignoring case; otherwise the list's own one-character search.
// And its button, pressed while the list is down.
#include "widgets/drop_down_look.h"
#include "widgets/server_list_box.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using kalmora::widgets::ServerListBox;

// Guards against a wrong prefix (pauses, Backspace, case) or a wrong fallback when nothing
// matches: each keystroke's selection is what the user sees.
TEST(ServerListBox, TypingSelectsTheFirstItemBeginningWithThePrefix)
{
    ServerListBox box(nullptr);
    box.addItems({QStringLiteral("Alfa"), QStringLiteral("alberto"), QStringLiteral("Beta"),
                  QStringLiteral("bravo"), QStringLiteral("Charlie")});
    std::int64_t now = 10'000;
    box.setClock([&] { return now; });

    struct Step
    {
        int pauseMs;
        char key; // '\b' for Backspace
        const char *selected;
    };
    const Step steps[] = {
        {0, 'a', "Alfa"},      {100, 'l', "Alfa"},
        {100, 'b', "alberto"}, {499, 'E', "alberto"}, // 499 ms is no pause yet: "albE"
        {500, 'b', "Beta"},                           // a new prefix
        {10, 'r', "bravo"},    {10, '\b', "bravo"},   // the prefix is "b" again
        {10, 'e', "Beta"},     {10, 'x', "Beta"},     // "bex" matches nothing, no x item
        {600, 'c', "Charlie"}, {10, 'b', "Beta"},     // "cb": on to the next b item
        {10, 'b', "bravo"},    {10, 'b', "Beta"},     // ...and round again
        {600, '\b', "Beta"},   {10, 'c', "Charlie"},  // Backspace after a pause: "c"
    };
    for (const Step &step : steps) {
        now += step.pauseMs;
        if (step.key == '\b')
            QTest::keyClick(&box, Qt::Key_Backspace);
        else
            QTest::keyClick(&box, step.key);
        EXPECT_EQ(box.currentText().toStdString(), step.selected)
            << "after '" << step.key << "', prefix \"" << box.prefix().toStdString() << '"';
    }
}

// Guards against typing acting on an empty list (a crash or a selection from nothing).
TEST(ServerListBox, TypingInAnEmptyListSelectsNothing)
{
    ServerListBox box(nullptr);
    QTest::keyClick(&box, 'a');
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(box.currentText(), QString());
}

// Guards against a button that does not follow the list: it looks pressed while the list
// is down and raised again once the list goes, by the box's own hiding or by Esc.
TEST(ServerListBox, ButtonLooksPressedWhileTheListIsDown)
{
    ServerListBox box(nullptr);
    box.addItems({QStringLiteral("Alfa"), QStringLiteral("Beta")});
    box.resize(120, 21);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    const QRect button =
        kalmora::widgets::dropDownButtonRect(box, box.rect().adjusted(1, 1, -1, -1));
    const auto buttonLook = [&] { return box.grab(button).toImage(); };
    const QImage raised = buttonLook();

    box.showPopup();
    ASSERT_TRUE(QApplication::activePopupWidget());
    EXPECT_NE(buttonLook(), raised);

    box.hidePopup();
    EXPECT_EQ(buttonLook(), raised);

    box.showPopup();
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    EXPECT_FALSE(QApplication::activePopupWidget());
    EXPECT_EQ(buttonLook(), raised);
}

} // namespace
