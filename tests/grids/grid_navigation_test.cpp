// SPDX-License-Identifier: Apache-2.0
// Moving about a grid without the widget: the navigation steps on `CError` opened on real
// error rows, under the error grid's settings and under settings that allow appending.
#include "grids/grid_navigation.h"
#include "error_rows_fixture.h"

#include <gtest/gtest.h>

namespace kalmora::grids {
namespace {

using data::DataSetState;

GridSettings errorGridSettings()
{
    GridSettings settings;
    settings.allowedOperations = {};
    settings.autoFitColWidths = true;
    settings.flat = true;
    return settings;
}

class GridNavigationTest : public test::ErrorRowsTest
{
protected:
    void SetUp() override
    {
        ErrorRowsTest::SetUp();
        navigation.setDataSource(&dm->DError);
        navigation.setColumnsVisible({true, true, true});
        navigation.setRowsInView(3);
    }

    data::TClientDataSet &errors() { return dm->CError; }

    GridSettings settings = errorGridSettings();
    GridNavigation navigation{settings};
};

// Guards the error grid against growing a row: Down on its last row does nothing, while the
// same step appends where the settings and the data set allow it, and Up takes the untouched
// new row away again.
TEST_F(GridNavigationTest, DownPastTheLastRowAppendsOnlyWhereAllowed)
{
    struct Case
    {
        const char *name;
        void (*change)(GridSettings &, data::TClientDataSet &);
        bool appends;
    };
    const Case cases[] = {
        {"error grid", [](GridSettings &, data::TClientDataSet &) {}, false},
        {"all operations",
         [](GridSettings &s, data::TClientDataSet &) {
             s.allowedOperations = GridSettings::kAllOperations;
         },
         true},
        {"append only",
         [](GridSettings &s, data::TClientDataSet &) {
             s.allowedOperations = {AllowedOperation::alopAppendEh};
         },
         true},
        {"read-only grid",
         [](GridSettings &s, data::TClientDataSet &) {
             s.allowedOperations = GridSettings::kAllOperations;
             s.readOnly = true;
         },
         false},
        {"without dgEditing",
         [](GridSettings &s, data::TClientDataSet &) {
             s.allowedOperations = GridSettings::kAllOperations;
             GridOptions options = s.options();
             s.setOptions(options.erase(GridOption::dgEditing));
         },
         false},
        {"read-only data set",
         [](GridSettings &s, data::TClientDataSet &set) {
             s.allowedOperations = GridSettings::kAllOperations;
             set.setReadOnly(true);
         },
         false},
    };
    for (const Case &c : cases) {
        settings = errorGridSettings();
        errors().setReadOnly(false);
        openErrors(threeErrors());
        c.change(settings, errors());

        navigation.nextRow();
        navigation.nextRow();
        EXPECT_EQ(navigation.currentRow(), 2) << c.name;
        navigation.nextRow();
        if (!c.appends) {
            EXPECT_EQ(errors().recordCount(), 3) << c.name;
            EXPECT_EQ(errors().state(), DataSetState::dsBrowse) << c.name;
            EXPECT_EQ(navigation.currentRow(), 2) << c.name;
            continue;
        }
        EXPECT_EQ(errors().recordCount(), 4) << c.name;
        EXPECT_EQ(errors().state(), DataSetState::dsInsert) << c.name;
        EXPECT_EQ(navigation.currentRow(), 3) << c.name;
        EXPECT_EQ(navigation.topRow(), 1) << c.name;
        // Down on the untouched new row at the end does nothing; Up removes it.
        navigation.nextRow();
        EXPECT_EQ(errors().recordCount(), 4) << c.name;
        navigation.priorRow();
        EXPECT_EQ(errors().recordCount(), 3) << c.name;
        EXPECT_EQ(errors().state(), DataSetState::dsBrowse) << c.name;
        EXPECT_EQ(errors().fieldByName("ERRO_CODIGO").asString(), "Cuenta sin definir") << c.name;
    }
    EXPECT_EQ(errors().changeCount(), 0);
}

// Guards paging and the rows in view: a page moves by the rows shown and scrolls by as much
// as the row moved, the view never runs past the end, and the current row is always in view.
TEST_F(GridNavigationTest, PagesAndJumpsKeepTheCurrentRowInView)
{
    openErrors(numberedErrors(10));
    struct Step
    {
        const char *key;
        void (GridNavigation::*move)();
        int row;
        int top;
    };
    const Step steps[] = {
        {"PgDn", &GridNavigation::pageDown, 3, 3},
        {"Ctrl+Down", &GridNavigation::lastInView, 5, 3},
        {"PgDn", &GridNavigation::pageDown, 8, 6},
        {"PgDn at the end", &GridNavigation::pageDown, 9, 7},
        {"PgUp", &GridNavigation::pageUp, 6, 4},
        {"Ctrl+Up", &GridNavigation::firstInView, 4, 4},
        {"Up", &GridNavigation::priorRow, 3, 3},
        {"Ctrl+End", &GridNavigation::lastRow, 9, 7},
        {"Ctrl+Home", &GridNavigation::firstRow, 0, 0},
        {"PgUp at the start", &GridNavigation::pageUp, 0, 0},
    };
    for (const Step &step : steps) {
        (navigation.*step.move)();
        EXPECT_EQ(navigation.currentRow(), step.row) << step.key;
        EXPECT_EQ(errors().recNo(), step.row) << step.key;
        EXPECT_EQ(navigation.topRow(), step.top) << step.key;
    }
}

// Guards the link between the view and the data set both ways: scrolling drags the current
// row along into view, and a row moved by the data set is scrolled into view.
TEST_F(GridNavigationTest, ScrollingAndOutsideMovesMeetInTheView)
{
    openErrors(numberedErrors(10));
    navigation.scrollTo(5);
    EXPECT_EQ(navigation.topRow(), 5);
    EXPECT_EQ(errors().recNo(), 5);
    navigation.scrollTo(1);
    EXPECT_EQ(errors().recNo(), 3);
    navigation.scrollTo(20);
    EXPECT_EQ(navigation.topRow(), 7);
    EXPECT_EQ(errors().recNo(), 7);

    errors().setRecNo(2);
    navigation.follow();
    EXPECT_EQ(navigation.topRow(), 2);

    navigation.wheel(-2);
    EXPECT_EQ(errors().recNo(), 4);
    navigation.wheel(1);
    EXPECT_EQ(errors().recNo(), 3);
    navigation.moveToCell(0, 2);
    EXPECT_EQ(errors().recNo(), 0);
    EXPECT_EQ(navigation.focusedColumn(), 2);
    EXPECT_EQ(navigation.topRow(), 0);
}

// Guards the column moves: hidden columns are skipped, Left and Right stop at the ends, and
// Tab and Shift+Tab wrap to the next and previous row, staying on the row where that step
// cannot move.
TEST_F(GridNavigationTest, ColumnsSkipHiddenOnesAndTabWraps)
{
    openErrors(threeErrors());
    navigation.setColumnsVisible({true, false, true});
    EXPECT_EQ(navigation.focusedColumn(), 0);
    navigation.nextColumn();
    EXPECT_EQ(navigation.focusedColumn(), 2);
    navigation.nextColumn();
    EXPECT_EQ(navigation.focusedColumn(), 2);
    navigation.firstColumn();
    EXPECT_EQ(navigation.focusedColumn(), 0);
    navigation.lastColumn();
    navigation.priorColumn();
    EXPECT_EQ(navigation.focusedColumn(), 0);
    navigation.setFocusedColumn(1); // hidden: refused
    EXPECT_EQ(navigation.focusedColumn(), 0);

    navigation.tab();
    EXPECT_EQ(navigation.focusedColumn(), 2);
    navigation.tab();
    EXPECT_EQ(errors().recNo(), 1);
    EXPECT_EQ(navigation.focusedColumn(), 0);

    navigation.lastRow();
    navigation.lastColumn();
    navigation.tab();
    EXPECT_EQ(errors().recNo(), 2);
    EXPECT_EQ(navigation.focusedColumn(), 0);
    EXPECT_EQ(errors().recordCount(), 3);

    navigation.backTab();
    EXPECT_EQ(errors().recNo(), 1);
    EXPECT_EQ(navigation.focusedColumn(), 2);
    navigation.firstRow();
    navigation.firstColumn();
    navigation.backTab();
    EXPECT_EQ(errors().recNo(), 0);
    EXPECT_EQ(navigation.focusedColumn(), 2);

    // The focused column hidden: the focus goes to the nearest visible one.
    navigation.setColumnsVisible({true, true, false});
    EXPECT_EQ(navigation.focusedColumn(), 1);
}

// Guards a grid over a closed data set: nothing moves and nothing fails.
TEST_F(GridNavigationTest, ClosedDataSetTakesNoMoves)
{
    errors().close();
    navigation.nextRow();
    navigation.pageDown();
    navigation.lastRow();
    navigation.tab();
    navigation.scrollTo(3);
    EXPECT_FALSE(navigation.active());
    EXPECT_EQ(navigation.currentRow(), -1);
    EXPECT_EQ(navigation.rowCount(), 0);
    EXPECT_EQ(navigation.topRow(), 0);
}

} // namespace
} // namespace kalmora::grids
