// SPDX-License-Identifier: Apache-2.0
// Searching in the grids with the window's settings over rows of a demo company: the text
// location both searches use, the rates grid's incremental search with real keys, and the
// find dialog that Ctrl+F opens in the error grid, driven while it is shown modally.
#include "grids/db_grid_eh.h"
#include "grids/find_dialog.h"
#include "app/window_grids.h"
#include "grid_host_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace kalmora::grids {
namespace {

class GridSearchTest : public test::GridHostTest
{
public: // the cases of a table act on the fixture
    void TearDown() override
    {
        host.reset(); // the find dialog goes with the window it was opened over
        EXPECT_EQ(TDBGridEhFindDlg::instance(), nullptr);
        GridHostTest::TearDown();
    }

    /// The error grid on "Error 1" / "1" ... "Error 12" / "12".
    void openErrorGrid()
    {
        openErrors(numberedErrors(12));
        app::applyErrorGridSettings(*grid, dm->DError);
        grid->setEnabled(true);
        show();
    }
    /// Opens the find dialog with Ctrl+F and runs `steps` while it is shown; it is closed
    /// with "Close" afterwards.
    void inFindDialog(const std::function<void(TDBGridEhFindDlg &)> &steps)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<TDBGridEhFindDlg *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            steps(*dialog);
            ran = true;
            QTest::mouseClick(dialog->bCancel, Qt::LeftButton);
        });
        // To the grid itself: offscreen, the closed dialog's window stays the active one.
        QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
        ASSERT_TRUE(ran); // else the timer would run later, on this frame's variables
    }
    static void find(TDBGridEhFindDlg &dialog, const QString &text,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        if (dialog.cbText->currentText() != text)
            dialog.cbText->setEditText(text);
        QTest::mouseClick(dialog.bFind, Qt::LeftButton, modifiers);
    }
};

// Guards the text location's walk: its start, direction, columns and match kinds, the
// focused column following a match, and a location that finds nothing moving nothing.
TEST_F(GridSearchTest, TextLocationWalksTheCellsInOrder)
{
    openErrorGrid();
    struct Case
    {
        const char *name;
        TextLocation request;
        int fromRow, fromColumn;
        bool found;
        int row, column;
    };
    const auto make = [](const char *text, int column, MatchKind match, SearchDirection direction,
                         bool ignoreCase = true) {
        TextLocation request;
        request.text = QString::fromLatin1(text);
        request.column = column;
        request.match = match;
        request.direction = direction;
        request.ignoreCase = ignoreCase;
        return request;
    };
    using enum MatchKind;
    using enum SearchDirection;
    const Case cases[] = {
        {"from the first record", make("error 1", 0, Beginning, FromFirst), 5, 0, true, 0, 0},
        {"down skips the current row", make("error 1", 0, Beginning, Down), 0, 0, true, 9, 0},
        {"up", make("error 1", 0, Beginning, Up), 9, 0, true, 0, 0},
        {"case kept", make("error 1", 0, Beginning, FromFirst, false), 5, 0, false, 5, 0},
        {"whole field", make("1", 1, WholeField, FromFirst), 5, 1, true, 0, 1},
        {"any part", make("2", 1, AnyPart, Down), 2, 1, true, 11, 1},
        {"all columns moves the focus", make("7", -1, WholeField, Down), 2, 0, true, 6, 1},
        {"all columns upward", make("Error 3", -1, WholeField, Up), 6, 1, true, 2, 0},
        {"nothing found", make("13", -1, AnyPart, FromFirst), 4, 1, false, 4, 1},
        {"nothing past the end", make("Error 1", 0, Beginning, Down), 11, 0, false, 11, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        dm->CError.setRecNo(c.fromRow);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->cellRect(grid->currentRow(), c.fromColumn).center());
        const int top = grid->topRow();
        EXPECT_EQ(grid->locateText(c.request), c.found);
        EXPECT_EQ(grid->currentRow(), c.row);
        EXPECT_EQ(grid->focusedColumn(), c.column);
        if (!c.found) {
            EXPECT_EQ(grid->topRow(), top);
        }
    }
}

// Guards the incremental search of the rates grid: Ctrl+F starts it with the yellow
// triangle, each character moves to the first row beginning with the text or is dropped,
// Backspace shortens it, and Esc ends it.
TEST_F(GridSearchTest, IncrementalSearchInTheRatesGrid)
{
    setRates({"1, DATE '2026-12-10', DATE '2026-12-10', 5, 0.8",
              "2, DATE '2026-12-10', DATE '2026-12-10', 19, 0.8",
              "3, DATE '2026-12-10', DATE '2026-12-10', 10, 0.8"});
    dm->CAjuste.open();
    app::applyRatesGridSettings(*grid, dm->DAjuste);
    show();
    press(Qt::Key_Right);
    press(Qt::Key_Right); // "Porc"
    press(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(grid->searching());
    EXPECT_EQ(grid->indicatorGlyphShown(), IndicatorGlyph::Searching);
    const auto percent = [this] { return grid->cellText(grid->currentRow(), 2); };

    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1"));
    EXPECT_TRUE(percent().startsWith(QLatin1Char('1')));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("9"));
    EXPECT_EQ(percent(), QStringLiteral("19"));
    EXPECT_EQ(grid->searchText(), QStringLiteral("19"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7"));
    EXPECT_EQ(percent(), QStringLiteral("19"));
    EXPECT_EQ(grid->searchText(), QStringLiteral("19"));
    press(Qt::Key_Backspace);
    EXPECT_EQ(grid->searchText(), QStringLiteral("1"));
    EXPECT_FALSE(grid->editorOpen());
    press(Qt::Key_Escape);
    EXPECT_FALSE(grid->searching());
    EXPECT_EQ(grid->indicatorGlyphShown(), IndicatorGlyph::Browse);
}

// Ctrl+F with typing left in the cell's editor: the typing reaches the field before the
// search starts (it used to be dropped with the editor).
TEST_F(GridSearchTest, SearchStartsWithTheTypingWritten)
{
    setRates({"1, DATE '2026-12-10', DATE '2026-12-10', 5, 0.8"});
    dm->CAjuste.open();
    app::applyRatesGridSettings(*grid, dm->DAjuste);
    show();
    press(Qt::Key_Right);
    press(Qt::Key_Right); // "Porc"
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7"));
    ASSERT_TRUE(grid->editorOpen());
    press(Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(grid->searching());
    EXPECT_FALSE(grid->editorOpen());
    EXPECT_EQ(grid->cellText(grid->currentRow(), 2), QStringLiteral("7"));
    press(Qt::Key_Escape);
}

// Guards the find dialog: its window and first choices, Enter searching from the first
// record and then on after the match, the text kept once in the history, Ctrl reversing
// the direction, a text that matches nothing leaving the grid, and the choices kept while
// the text is emptied and the column chosen again on the next opening.
TEST_F(GridSearchTest, FindDialogStepsFromMatchToMatch)
{
    openErrorGrid();
    inFindDialog([this](TDBGridEhFindDlg &dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Find text"));
        EXPECT_EQ(dialog.size(), QSize(505, 124));
        EXPECT_EQ(dialog.cbFindIn->currentText(), QStringLiteral("Descripción"));
        EXPECT_EQ(dialog.cbFindIn->itemText(dialog.cbFindIn->count() - 1), QStringLiteral("<All>"));
        EXPECT_EQ(dialog.cbMatchinType->currentText(), QStringLiteral("From any part of field"));
        EXPECT_EQ(dialog.cbFindDirection->currentText(), QStringLiteral("All"));
        EXPECT_FALSE(dialog.cbCharCase->isChecked());
        EXPECT_TRUE(dialog.cbUseFormat->isChecked());

        QTest::keyClicks(dialog.cbText->lineEdit(), QStringLiteral("error 1"));
        QTest::keyClick(dialog.cbText->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(grid->currentRow(), 0);
        QTest::keyClick(dialog.cbText->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(grid->currentRow(), 9);
        find(dialog, QStringLiteral("error 1"), Qt::ControlModifier);
        EXPECT_EQ(grid->currentRow(), 0);
        EXPECT_EQ(dialog.cbText->count(), 1);
        find(dialog, QStringLiteral("nowhere"));
        EXPECT_EQ(grid->currentRow(), 0);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.cbText->count(), 2);
        dialog.cbFindIn->setCurrentIndex(dialog.cbFindIn->count() - 1);
        dialog.cbMatchinType->setCurrentIndex(1);
        find(dialog, QStringLiteral("5"));
        EXPECT_EQ(grid->currentRow(), 4);
        EXPECT_EQ(grid->focusedColumn(), 1);
    });
    inFindDialog([](TDBGridEhFindDlg &dialog) {
        EXPECT_TRUE(dialog.cbText->currentText().isEmpty());
        EXPECT_EQ(dialog.cbText->count(), 3);
        EXPECT_EQ(dialog.cbFindIn->currentText(), QStringLiteral("Valor"));
        EXPECT_EQ(dialog.cbMatchinType->currentText(), QStringLiteral("Whole field"));
        EXPECT_TRUE(dialog.firstTry());
    });
}

// Guards against "Up" and "Down" searching the wrong way, or Ctrl not turning them round: from
// a row between matches, each finds the nearest match its own way, and Ctrl the other way.
TEST_F(GridSearchTest, FindDialogSearchesUpAndDownFromTheCurrentRow)
{
    openErrorGrid();
    inFindDialog([this](TDBGridEhFindDlg &dialog) {
        const struct
        {
            const char *direction;
            Qt::KeyboardModifiers modifiers;
            int row;
        } cases[] = {
            {"Up", Qt::ControlModifier, 11},
            {"Down", Qt::ControlModifier, 9},
            {"Up", Qt::NoModifier, 9},
            {"Down", Qt::NoModifier, 11},
        };
        for (const auto &c : cases) {
            SCOPED_TRACE(std::string(c.direction) + (c.modifiers ? " with Ctrl" : ""));
            dialog.cbFindDirection->setCurrentIndex(
                dialog.cbFindDirection->findText(QString::fromLatin1(c.direction)));
            dm->CError.setRecNo(10); // "Error 11", between "Error 10" and "Error 12"
            find(dialog, QStringLiteral("error 1"), c.modifiers);
            EXPECT_EQ(grid->currentRow(), c.row);
        }
    });
}

} // namespace
} // namespace kalmora::grids
