// SPDX-License-Identifier: Apache-2.0
// Editing in the grids with real key events offscreen: the rates grid over `DAjuste` and the
// error grid over `DError`, each with the window's settings, opened on rows of a demo company.
// What is checked is what the user sees (rows, the editor, the indicator) and what the data
// set holds.
#include "core/decimal_text.h"
#include "grids/calendar_drop_down.h"
#include "grids/confirmation.h"
#include "grids/db_grid_eh.h"
#include "app/window_grids.h"
#include "grid_host_fixture.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kalmora::grids {
namespace {

using data::DataSetState;

class GridEditingTest : public test::GridHostTest
{
public: // the steps of a table act on the fixture
    void SetUp() override
    {
        setConfirmation([this](const QString &text) {
            questions.push_back(text);
            return answer;
        });
        GridHostTest::SetUp();
    }

    void TearDown() override
    {
        GridHostTest::TearDown();
        setConfirmation({});
    }
    void addControlsBeforeGrid() override
    {
        other = new QLineEdit(host.get());
        other->setGeometry(0, 170, 100, 21);
    }

    /// The rates grid on three rates of percent 1, 2 and 3 and factor 0.8; `shownPercents`
    /// holds them in the order the grid shows them, which is the order the server returns.
    void openRatesGrid()
    {
        setRates({"1, DATE '2026-12-10', DATE '2026-12-10', 1, 0.8",
                  "2, DATE '2026-12-10', DATE '2026-12-10', 2, 0.8",
                  "3, DATE '2026-12-10', DATE '2026-12-10', 3, 0.8"});
        dm->CAjuste.open();
        app::applyRatesGridSettings(*grid, dm->DAjuste);
        show();
        const std::vector<std::string> shown = percents();
        ASSERT_EQ(shown.size(), 3u);
        a = shown[0];
        b = shown[1];
        c = shown[2];
    }
    void openErrorGrid()
    {
        openErrors(threeErrors());
        app::applyErrorGridSettings(*grid, dm->DError);
        grid->setEnabled(true);
        show();
    }
    void type(const QString &text)
    {
        for (const QChar character : text)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key(character.toUpper().unicode()),
                            Qt::NoModifier);
    }
    /// The rates grid's "Porc" column as shown, top to bottom.
    std::vector<std::string> percents() const
    {
        std::vector<std::string> shown;
        for (int row = 0; row < grid->rowCount(); ++row)
            shown.push_back(grid->cellText(row, 2).toStdString());
        return shown;
    }
    DataSetState state() const { return dm->CAjuste.state(); }

    QLineEdit *other = nullptr;
    std::vector<QString> questions;
    bool answer = false;
    std::string a, b, c; // the rates' percents, top to bottom
};

// Guards the row steps of the rates grid around a new row: an appended row that nothing
// changed never becomes a stored row by moving about, Tab wraps without adding rows, and
// leaving the grid takes it away; Ins places a new row before the current one.
TEST_F(GridEditingTest, NewRowsComeAndGoWithTheSteps)
{
    openRatesGrid();
    struct Step
    {
        std::function<void(GridEditingTest &)> act;
        std::vector<std::string> percents;
        int current;
        int column;
        std::optional<IndicatorGlyph> glyph;
    };
    const auto key = [](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        return [k, m](GridEditingTest &t) { t.press(k, m); };
    };
    const std::optional<IndicatorGlyph> insert = IndicatorGlyph::Insert;
    const std::optional<IndicatorGlyph> browse = IndicatorGlyph::Browse;
    const Step steps[] = {
        {key(Qt::Key_End, Qt::ControlModifier), {a, b, c}, 2, 0, browse},
        {key(Qt::Key_Down), {a, b, c, ""}, 3, 0, insert},
        {key(Qt::Key_Down), {a, b, c, ""}, 3, 0, insert},
        {key(Qt::Key_Up), {a, b, c}, 2, 0, browse},
        {key(Qt::Key_Down), {a, b, c, ""}, 3, 0, insert},
        {key(Qt::Key_End), {a, b, c, ""}, 3, 3, insert},
        {key(Qt::Key_Tab), {a, b, c, ""}, 3, 0, insert},
        {[](GridEditingTest &t) { t.other->setFocus(); }, {a, b, c}, 2, 0, browse},
        {[](GridEditingTest &t) { t.grid->setFocus(); }, {a, b, c}, 2, 0, browse},
        {key(Qt::Key_Up), {a, b, c}, 1, 0, browse},
        {key(Qt::Key_Insert), {a, "", b, c}, 1, 0, insert},
        {key(Qt::Key_Escape), {a, b, c}, 1, 0, browse},
    };
    int number = 0;
    for (const Step &step : steps) {
        step.act(*this);
        SCOPED_TRACE("step " + std::to_string(number++));
        EXPECT_EQ(percents(), step.percents);
        EXPECT_EQ(grid->currentRow(), step.current);
        EXPECT_EQ(grid->focusedColumn(), step.column);
        EXPECT_EQ(grid->indicatorGlyphShown(), step.glyph);
    }
    EXPECT_EQ(dm->CAjuste.changeCount(), 0);
}

// Guards the cell editor's typing: a character opens it over the focused cell and replaces
// the text; Tab writes it; Esc undoes unwritten typing, then cancels the row; a character
// the decimal field does not take is not typed; leaving the grid writes the typing and keeps
// the row in edit state; Ctrl+' copies from the row shown above, and not on the topmost one.
TEST_F(GridEditingTest, TypingReachesTheFieldOnlyWhenWritten)
{
    openRatesGrid();
    press(Qt::Key_Right);
    press(Qt::Key_Right); // "Porc"
    type(QStringLiteral("x"));
    EXPECT_FALSE(grid->editorOpen());
    EXPECT_EQ(state(), DataSetState::dsBrowse);

    type(QStringLiteral("7"));
    EXPECT_TRUE(grid->editorOpen());
    EXPECT_EQ(grid->editorText(), QStringLiteral("7"));
    EXPECT_EQ(grid->indicatorGlyphShown(), IndicatorGlyph::Edit);
    type(QStringLiteral("a5"));
    EXPECT_EQ(grid->editorText(), QStringLiteral("75"));
    press(Qt::Key_Escape);
    EXPECT_FALSE(grid->editorOpen());
    EXPECT_EQ(percents(), (std::vector<std::string>{a, b, c}));
    EXPECT_EQ(state(), DataSetState::dsEdit);
    press(Qt::Key_Escape);
    EXPECT_EQ(state(), DataSetState::dsBrowse);

    type(QStringLiteral("9"));
    press(Qt::Key_Tab);
    EXPECT_FALSE(grid->editorOpen());
    EXPECT_EQ(grid->focusedColumn(), 3);
    EXPECT_EQ(percents(), (std::vector<std::string>{"9", b, c}));
    type(QStringLiteral("0.5"));
    other->setFocus();
    EXPECT_FALSE(grid->editorOpen());
    EXPECT_EQ(state(), DataSetState::dsEdit);
    EXPECT_EQ(grid->cellText(0, 3), QStringLiteral("0.5"));

    grid->setFocus();
    press(Qt::Key_Left);                            // "Porc"
    press(Qt::Key_Apostrophe, Qt::ControlModifier); // topmost row: nothing
    EXPECT_FALSE(grid->editorOpen());
    press(Qt::Key_Down); // posts row 0
    EXPECT_EQ(state(), DataSetState::dsBrowse);
    press(Qt::Key_Apostrophe, Qt::ControlModifier);
    EXPECT_TRUE(grid->editorOpen());
    EXPECT_EQ(state(), DataSetState::dsEdit);
    EXPECT_EQ(percents(), (std::vector<std::string>{"9", "9", c}));
}

// Guards against the cell editor's own edits (select all, then Backspace) changing the text
// without putting the row in edit: writing it on Tab failed with "Dataset not in edit or
// insert mode". The emptied cell reaches its field as typed text does.
TEST_F(GridEditingTest, TheEditorsOwnEditsPutTheRowInEdit)
{
    openRatesGrid();
    press(Qt::Key_Right);
    press(Qt::Key_Right); // "Porc", the focused cell
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(0, 2).center());
    ASSERT_TRUE(grid->editorOpen());
    EXPECT_EQ(state(), DataSetState::dsBrowse);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    EXPECT_EQ(grid->editorText(), QString());
    press(Qt::Key_Tab);
    EXPECT_FALSE(grid->editorOpen());
    EXPECT_EQ(state(), DataSetState::dsEdit);
    EXPECT_EQ(percents(), (std::vector<std::string>{"", b, c}));
}

// Guards against Esc right after Ctrl+' only closing the editor and leaving the copy in the
// row: with nothing typed since the copy opened the editor, one Esc cancels the row's edit, or
// the new row's insert.
TEST_F(GridEditingTest, EscRightAfterCtrlQuoteCancelsTheRow)
{
    openRatesGrid();
    press(Qt::Key_Right);
    press(Qt::Key_Right); // "Porc"
    press(Qt::Key_Down);
    const struct
    {
        const char *name;
        std::optional<Qt::Key> first;
        std::vector<std::string> copied;
    } cases[] = {
        {"a stored row", std::nullopt, {a, a, c}},
        {"a new row", Qt::Key_Insert, {a, a, b, c}},
    };
    for (const auto &step : cases) {
        SCOPED_TRACE(step.name);
        if (step.first)
            press(*step.first);
        press(Qt::Key_Apostrophe, Qt::ControlModifier);
        ASSERT_TRUE(grid->editorOpen());
        EXPECT_EQ(grid->editorText(), QString::fromStdString(a));
        EXPECT_EQ(percents(), step.copied);
        press(Qt::Key_Escape);
        EXPECT_FALSE(grid->editorOpen());
        EXPECT_EQ(state(), DataSetState::dsBrowse);
        EXPECT_EQ(percents(), (std::vector<std::string>{a, b, c}));
        EXPECT_EQ(grid->currentRow(), 1);
    }
}

// Guards against a paste judged by its first character: text pasted into a decimal cell
// (Ctrl+V, Shift+Ins, or dropped on it) that the field cannot take whole, by the user's
// decimal separator, inserts nothing; text it can take goes in whole.
TEST_F(GridEditingTest, APasteGoesInWholeOrNotAtAll)
{
    openRatesGrid();
    press(Qt::Key_Right);
    press(Qt::Key_Right); // "Porc"
    struct Restore
    {
        ~Restore() { core::setCurrentDecimalSeparator('.'); }
    } restore;
    enum How { CtrlV, ShiftIns, Drop };
    const struct
    {
        char separator;
        const char *pasted;
        How how;
        const char *shown;
    } cases[] = {
        {'.', "5x", CtrlV, "1"},     {'.', "0,7", CtrlV, "1"},     {'.', "2\n3", ShiftIns, "1"},
        {'.', ".25", CtrlV, "1.25"}, {'.', "25", ShiftIns, "125"}, {',', "0.7", ShiftIns, "1"},
        {',', ",5", CtrlV, "1,5"},   {'.', "7a", Drop, "1"},       {'.', "7", Drop, "17"},
    };
    for (const auto &paste : cases) {
        SCOPED_TRACE(std::string(1, paste.separator) + " " +
                     ::testing::PrintToString(std::string(paste.pasted)));
        core::setCurrentDecimalSeparator(paste.separator);
        type(QStringLiteral("1"));
        QWidget *editor = QApplication::focusWidget();
        ASSERT_EQ(grid->editorText().toStdString(), "1");
        const QString text = QString::fromLatin1(paste.pasted);
        if (paste.how == Drop) {
            QMimeData mime;
            mime.setText(text);
            // At the end of the text, which the editor of a decimal cell aligns right; a drop
            // reaches the widget that took the drag's entry.
            const QPoint end(editor->width() - 2, editor->height() / 2);
            QDragEnterEvent enter(end, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(editor, &enter);
            QDropEvent drop(end, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(editor, &drop);
        } else {
            QApplication::clipboard()->setText(text);
            paste.how == CtrlV ? press(Qt::Key_V, Qt::ControlModifier)
                               : press(Qt::Key_Insert, Qt::ShiftModifier);
        }
        EXPECT_EQ(grid->editorText().toStdString(), paste.shown);
        press(Qt::Key_Escape);
        press(Qt::Key_Escape);
        ASSERT_EQ(percents(), (std::vector<std::string>{a, b, c}));
    }
}

// Guards deleting: Del alone does nothing, Ctrl+Del asks "Delete record?" and deletes only
// on "OK", and an empty grid asks nothing.
TEST_F(GridEditingTest, CtrlDelDeletesAfterConfirmation)
{
    openRatesGrid();
    press(Qt::Key_Delete);
    EXPECT_TRUE(questions.empty());
    press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(questions, std::vector<QString>{QStringLiteral("Delete record?")});
    EXPECT_EQ(percents(), (std::vector<std::string>{a, b, c}));
    answer = true;
    for (int i = 0; i < 3; ++i)
        press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(percents().empty());
    EXPECT_EQ(questions.size(), 4u);
    press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(questions.size(), 4u);
    EXPECT_EQ(grid, QApplication::focusWidget());
}

// Guards the error grid against any change: it takes no typing, Ins, Ctrl+Del, Enter or a
// Down past its last row.
TEST_F(GridEditingTest, TheErrorGridNeverEdits)
{
    openErrorGrid();
    press(Qt::Key_End, Qt::ControlModifier);
    for (const auto &[key, modifiers] : std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>>{
             {Qt::Key_A, Qt::NoModifier},
             {Qt::Key_Insert, Qt::NoModifier},
             {Qt::Key_Delete, Qt::ControlModifier},
             {Qt::Key_Down, Qt::NoModifier},
             {Qt::Key_Return, Qt::NoModifier},
             {Qt::Key_Apostrophe, Qt::ControlModifier}}) {
        press(key, modifiers);
        EXPECT_EQ(grid->rowCount(), 3) << key;
        EXPECT_EQ(grid->currentRow(), 2) << key;
        EXPECT_FALSE(grid->editorOpen()) << key;
        EXPECT_EQ(dm->CError.state(), DataSetState::dsBrowse) << key;
    }
    EXPECT_TRUE(questions.empty());
}

// Guards the calendar of a date cell: it opens only with the editor, on the cell's day, takes
// the highlighted day on Enter or Alt+Up and nothing on Esc, and its wheel moves a day a
// notch; the accepted day is the field's new value, the row in edit state.
TEST_F(GridEditingTest, TheCalendarSetsTheDayOfADateCell)
{
    openRatesGrid();
    const auto calendar = [this] { return grid->findChild<CalendarDropDown *>(); };
    press(Qt::Key_Return, Qt::ControlModifier); // no editor: no calendar
    EXPECT_EQ(calendar(), nullptr);
    // From another control: the first click focuses the cell and opens its editor, the second
    // leaves the keys with the editor.
    other->setFocus();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(0, 0).center());
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(0, 0).center());
    ASSERT_TRUE(grid->editorOpen());

    press(Qt::Key_Down, Qt::AltModifier);
    ASSERT_NE(calendar(), nullptr);
    ASSERT_TRUE(calendar()->isVisible());
    EXPECT_EQ(calendar()->highlighted(), QDate(2026, 12, 10));
    press(Qt::Key_Right);
    press(Qt::Key_Escape);
    EXPECT_FALSE(calendar()->isVisible());
    EXPECT_EQ(grid->cellText(0, 0), QStringLiteral("10/12/2026"));
    EXPECT_EQ(state(), DataSetState::dsBrowse);

    press(Qt::Key_Return, Qt::ControlModifier);
    ASSERT_TRUE(calendar()->isVisible());
    press(Qt::Key_Right);
    press(Qt::Key_Return);
    EXPECT_FALSE(calendar()->isVisible());
    EXPECT_EQ(grid->cellText(0, 0), QStringLiteral("11/12/2026"));
    EXPECT_EQ(grid->editorText(), QStringLiteral("11/12/2026"));
    EXPECT_EQ(state(), DataSetState::dsEdit);

    press(Qt::Key_Up, Qt::AltModifier);
    QWheelEvent down(QPointF(5, 5), calendar()->mapToGlobal(QPointF(5, 5)), {}, {0, -240},
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(calendar()->calendar(), &down);
    EXPECT_EQ(calendar()->highlighted(), QDate(2026, 12, 13));
    press(Qt::Key_Up, Qt::AltModifier);
    EXPECT_EQ(grid->cellText(0, 0), QStringLiteral("13/12/2026"));
}

} // namespace
} // namespace kalmora::grids
