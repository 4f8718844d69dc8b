// SPDX-License-Identifier: Apache-2.0
// The error grid as the user meets it: `DBGridEh1`'s settings applied to a grid in a panel
// like the window's, bound to `DError`, over error rows read from a demo company; driven
// with real key and mouse events offscreen.
#include "grids/db_grid_eh.h"
#include "app/window_grids.h"
#include "error_rows_fixture.h"

#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <memory>

namespace kalmora::grids {
namespace {

using data::DataSetState;

class ErrorGridTest : public test::ErrorRowsTest
{
protected:
    void SetUp() override
    {
        ErrorRowsTest::SetUp();
        host = std::make_unique<QWidget>();
        // The window's font: "MS Sans Serif" 8 pt, as Liberation Sans at 11 pixels.
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(11);
        host->setFont(font);
        host->resize(358, 120);
        before = new QLineEdit(host.get());
        before->setGeometry(0, 90, 100, 21);
        grid = new DBGridEh(host.get());
        grid->setGeometry(1, 1, 356, 81);
        app::applyErrorGridSettings(*grid, dm->DError);
        after = new QLineEdit(host.get());
        after->setGeometry(120, 90, 100, 21);
        QWidget::setTabOrder(before, grid);
        QWidget::setTabOrder(grid, after);
        host->show();
        host->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(host.get()));
    }

    void TearDown() override
    {
        host.reset(); // the grid goes before the data source it watches
        ErrorRowsTest::TearDown();
    }

    /// What the posting run does before listing errors.
    void showErrors(const std::vector<test::ErrorRow> &rows)
    {
        grid->setEnabled(true);
        openErrors(rows);
    }

    std::vector<int> columnWidths() const
    {
        std::vector<int> widths;
        for (int column = 0; column < grid->columnCount(); ++column)
            widths.push_back(grid->columnWidth(column));
        return widths;
    }

    std::vector<QString> titles() const
    {
        std::vector<QString> result;
        for (int column = 0; column < grid->columnCount(); ++column)
            result.push_back(grid->columnTitle(column));
        return result;
    }

    std::vector<std::vector<QString>> shownRows() const
    {
        std::vector<std::vector<QString>> rows;
        for (int row = 0; row < grid->rowCount(); ++row) {
            rows.emplace_back();
            for (int column = 0; column < grid->columnCount(); ++column)
                rows.back().push_back(grid->cellText(row, column));
        }
        return rows;
    }

    /// The grid as drawn, border included.
    QImage picture() const { return grid->grab().toImage(); }
    /// A viewport point in the grab's coordinates.
    QPoint inPicture(QPoint viewportPoint) const
    {
        return viewportPoint + grid->viewport()->geometry().topLeft();
    }
    QColor colour(QPalette::ColorRole role) const
    {
        return grid->palette().color(QPalette::Active, role);
    }

    QWidget *viewport() const { return grid->viewport(); }
    data::TClientDataSet &errors() { return dm->CError; }

    std::unique_ptr<QWidget> host;
    QLineEdit *before = nullptr;
    DBGridEh *grid = nullptr;
    QLineEdit *after = nullptr;
};

// Guards the binding: the titles come from the fields while the data set is closed, and once
// it opens the grid shows exactly its rows, in its order, with the field texts.
TEST_F(ErrorGridTest, ShowsTheFieldTitlesAndTheDataSetRows)
{
    EXPECT_EQ(titles(),
              (std::vector<QString>{QStringLiteral("Descripción"), QStringLiteral("Valor"),
                                    QStringLiteral("INTERFAZ")}));
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_FALSE(grid->indicatorGlyphShown());

    showErrors(threeErrors());
    const std::vector<std::vector<QString>> expected{
        {QStringLiteral("Prefijo no existe"), QStringLiteral("FV9"),
         QStringLiteral("VENTAS CONTADO")},
        {QStringLiteral("NIT no existe"), QStringLiteral("222222222"),
         QStringLiteral("VENTAS CONTADO")},
        {QStringLiteral("Cuenta sin definir"), QStringLiteral("41350501"),
         QStringLiteral("VENTAS CONTADO")}};
    EXPECT_EQ(shownRows(), expected);
    EXPECT_EQ(grid->currentRow(), 0);
    EXPECT_EQ(grid->indicatorGlyphShown(), IndicatorGlyph::Browse);

    // A new list replaces the old one.
    openErrors({{"NIT no existe", "'x'"}}, "O'Brien");
    EXPECT_EQ(shownRows(), (std::vector<std::vector<QString>>{{QStringLiteral("NIT no existe"),
                                                               QStringLiteral("'x'"),
                                                               QStringLiteral("O'Brien")}}));

    errors().close();
    EXPECT_EQ(grid->rowCount(), 0);
    EXPECT_EQ(titles().front(), QStringLiteral("Descripción"));
}

// Guards the fit in the widget: the client width is the grid's width less the flat border
// (and less the vertical scroll bar once rows overflow), the columns share it less 15 pixels
// as default width : 90 : 120, the third taking the rounding remainder, and no horizontal
// scroll bar appears.
TEST_F(ErrorGridTest, ColumnsFillTheClientWidthAtEverySize)
{
    // "0" is 6 pixels wide in the window's font: 20 characters make 124 pixels.
    ASSERT_EQ(QFontMetrics(grid->font()).horizontalAdvance(QLatin1Char('0')), 6);
    EXPECT_EQ(grid->columnInitialWidth(0), 124);
    EXPECT_EQ(grid->columnInitialWidth(1), 90);
    EXPECT_EQ(grid->columnInitialWidth(2), 120);

    showErrors(threeErrors());
    struct Case
    {
        int gridWidth;
        std::vector<int> widths;
    };
    const Case cases[] = {
        {356, {126, 91, 122}}, // as in the window
        {352, {124, 90, 121}}, // the third takes a pixel left over
        {353, {125, 91, 120}}, // the third gives a pixel back
        {500, {179, 130, 174}}, {200, {68, 49, 66}},
    };
    for (const Case &c : cases) {
        grid->resize(c.gridWidth, 81);
        QApplication::processEvents();
        EXPECT_EQ(grid->clientWidth(), c.gridWidth - 2) << c.gridWidth;
        EXPECT_EQ(viewport()->width(), c.gridWidth - 2) << c.gridWidth;
        EXPECT_EQ(columnWidths(), c.widths) << c.gridWidth;
        EXPECT_FALSE(grid->horizontalScrollBar()->isVisible()) << c.gridWidth;
        EXPECT_FALSE(grid->verticalScrollBar()->isVisible()) << c.gridWidth;
    }

    // A fourth row does not fit in 81 pixels: the scroll bar takes 16 and the fit follows.
    grid->resize(356, 81);
    openErrors(numberedErrors(4));
    QApplication::processEvents();
    EXPECT_TRUE(grid->verticalScrollBar()->isVisible());
    ASSERT_EQ(grid->verticalScrollBar()->width(), 16);
    EXPECT_EQ(viewport()->width(), 338);
    EXPECT_EQ(columnWidths(), (std::vector<int>{120, 87, 116}));
    EXPECT_EQ(grid->rowsInView(), 3);

    errors().close();
    QApplication::processEvents();
    EXPECT_FALSE(grid->verticalScrollBar()->isVisible());
    EXPECT_EQ(columnWidths(), (std::vector<int>{126, 91, 122}));
}

// Guards sizing by the title boundary: the 7-pixel zone shows the sizing cursor, dragging
// the line between the second and third titles widens the second and narrows the third by
// the same amount, and the new proportion lasts through a later fit.
TEST_F(ErrorGridTest, DraggingTheBoundaryBetweenTitlesTwoAndThree)
{
    showErrors(threeErrors());
    ASSERT_EQ(columnWidths(), (std::vector<int>{126, 91, 122}));
    const int line = grid->titleRect(1).right() + 1;
    const int y = grid->titleRect(1).center().y();

    QTest::mouseMove(viewport(), QPoint(line + 3, y));
    EXPECT_EQ(viewport()->cursor().shape(), Qt::SplitHCursor);
    QTest::mouseMove(viewport(), QPoint(line + 4, y));
    EXPECT_NE(viewport()->cursor().shape(), Qt::SplitHCursor);

    QTest::mousePress(viewport(), Qt::LeftButton, {}, QPoint(line - 2, y));
    QTest::mouseMove(viewport(), QPoint(line + 8, y));
    QTest::mouseMove(viewport(), QPoint(line + 18, y));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, QPoint(line + 18, y));

    const std::vector<int> widths = columnWidths();
    EXPECT_EQ(widths[0], 126);
    EXPECT_GT(widths[1], 91);
    EXPECT_EQ(widths[1] - 91, 122 - widths[2]);
    EXPECT_EQ(widths, (std::vector<int>{126, 112, 101}));

    grid->resize(500, 81);
    QApplication::processEvents();
    EXPECT_EQ(columnWidths(), (std::vector<int>{179, 159, 145}));

    // Dragged in the data rows, the same line sizes nothing.
    const QRect cell = grid->cellRect(0, 1);
    QTest::mousePress(viewport(), Qt::LeftButton, {}, QPoint(cell.right() + 1, cell.center().y()));
    QTest::mouseMove(viewport(), QPoint(cell.right() + 30, cell.center().y()));
    QTest::mouseRelease(viewport(), Qt::LeftButton, {},
                        QPoint(cell.right() + 30, cell.center().y()));
    EXPECT_EQ(columnWidths(), (std::vector<int>{179, 159, 145}));
}

// Guards moving a column by dragging its title: it lands where it is dropped, its cells go
// with it, and a plain click on a title moves nothing.
TEST_F(ErrorGridTest, DraggingATitleMovesTheColumn)
{
    showErrors(threeErrors());
    const QPoint first = grid->titleRect(0).center();
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, first);
    EXPECT_EQ(titles().front(), QStringLiteral("Descripción"));

    const QPoint end(grid->titleRect(2).right() - 2, first.y());
    QTest::mousePress(viewport(), Qt::LeftButton, {}, first);
    QTest::mouseMove(viewport(), first + QPoint(20, 0));
    QTest::mouseMove(viewport(), end);
    QTest::mouseRelease(viewport(), Qt::LeftButton, {}, end);
    EXPECT_EQ(titles(), (std::vector<QString>{QStringLiteral("Valor"), QStringLiteral("INTERFAZ"),
                                              QStringLiteral("Descripción")}));
    EXPECT_EQ(grid->cellText(0, 2), QStringLiteral("Prefijo no existe"));
    EXPECT_EQ(grid->cellText(1, 0), QStringLiteral("222222222"));
    // The fit follows the columns to their new places: 90 : 120 : 124.
    EXPECT_EQ(columnWidths(), (std::vector<int>{91, 122, 126}));
}

// Guards moving about with the keys, the wheel and clicks: each moves the data set's current
// row (or the focused column) as the user expects.
TEST_F(ErrorGridTest, KeysWheelAndClicksMoveTheCurrentRow)
{
    showErrors(numberedErrors(6));
    grid->setFocus();
    ASSERT_TRUE(grid->hasFocus());

    struct Step
    {
        int key;
        Qt::KeyboardModifiers modifiers;
        int row;
        int column;
    };
    const Step steps[] = {
        {Qt::Key_Down, {}, 1, 0},
        {Qt::Key_Down, {}, 2, 0},
        {Qt::Key_Up, {}, 1, 0},
        {Qt::Key_PageDown, {}, 4, 0},
        {Qt::Key_End, Qt::ControlModifier, 5, 0},
        {Qt::Key_Home, Qt::ControlModifier, 0, 0},
        {Qt::Key_Right, {}, 0, 1},
        {Qt::Key_End, {}, 0, 2},
        {Qt::Key_Tab, {}, 1, 0},
        {Qt::Key_Backtab, Qt::ShiftModifier, 0, 2},
        {Qt::Key_Left, Qt::ControlModifier, 0, 0},
    };
    for (const Step &step : steps) {
        QTest::keyClick(grid, Qt::Key(step.key), step.modifiers);
        EXPECT_EQ(errors().recNo(), step.row) << step.key;
        EXPECT_EQ(grid->focusedColumn(), step.column) << step.key;
    }
    EXPECT_TRUE(grid->hasFocus()); // Tab stayed in the grid

    const QRect cell = grid->cellRect(2, 1);
    QTest::mouseClick(viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(errors().recNo(), 2);
    EXPECT_EQ(grid->focusedColumn(), 1);

    QWheelEvent down(QPointF(cell.center()), QPointF(viewport()->mapToGlobal(cell.center())),
                     QPoint(), QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                     false);
    QApplication::sendEvent(viewport(), &down);
    EXPECT_EQ(errors().recNo(), 4);
    EXPECT_EQ(grid->topRow(), 2);
    EXPECT_EQ(errors().fieldByName("ERRO_CODIGO").asString(), "Error 5");
}

// Guards the error grid's read-only nature: Ins, Ctrl+Del, typing, Enter and Down on the
// last row change nothing, neither on screen nor in the data set.
TEST_F(ErrorGridTest, EditingKeysDoNothing)
{
    showErrors(threeErrors());
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    const auto shown = shownRows();

    QTest::keyClick(grid, Qt::Key_Insert);
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    QTest::keyClicks(grid, QStringLiteral("x1"));
    QTest::keyClick(grid, Qt::Key_Return);
    QTest::keyClick(grid, Qt::Key_Down);

    EXPECT_EQ(shownRows(), shown);
    EXPECT_EQ(errors().recordCount(), 3);
    EXPECT_EQ(errors().recNo(), 2);
    EXPECT_EQ(errors().state(), DataSetState::dsBrowse);
    EXPECT_EQ(errors().changeCount(), 0);
    EXPECT_EQ(grid->indicatorGlyphShown(), IndicatorGlyph::Browse);
}

// Guards Enabled off: the grid looks the same, takes no keys or clicks, and Tab passes it by.
TEST_F(ErrorGridTest, DisabledGridTakesNoInputAndLooksTheSame)
{
    showErrors(threeErrors());
    const QImage enabled = picture();
    grid->setEnabled(false);
    EXPECT_EQ(picture(), enabled);

    QTest::mouseClick(viewport(), Qt::LeftButton, {}, grid->cellRect(2, 1).center());
    QTest::keyClick(grid, Qt::Key_Down);
    QWheelEvent down(QPointF(10, 30), QPointF(viewport()->mapToGlobal(QPoint(10, 30))), QPoint(),
                     QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport(), &down);
    EXPECT_EQ(errors().recNo(), 0);
    EXPECT_EQ(grid->focusedColumn(), 0);

    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab);
    EXPECT_TRUE(after->hasFocus());

    grid->setEnabled(true);
    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab);
    EXPECT_TRUE(grid->hasFocus());
}

// Guards what the user sees of the current cell: the focused cell is highlighted only while
// the grid has the focus, the triangle marks the current row, and the border is one flat line.
TEST_F(ErrorGridTest, HighlightIndicatorAndFlatBorderAsDrawn)
{
    showErrors(threeErrors());
    const QRect cell = grid->cellRect(1, 1);
    // Right of the text, inside the cell.
    const QPoint inCell = inPicture(QPoint(cell.right() - 3, cell.center().y()));
    const QRect indicator(0, cell.top(), 11, cell.height());
    // The triangle's widest column in the 6 x 11 glyph centred in the 11-pixel cell.
    const QPoint tip = inPicture(QPoint(3, indicator.top() + (indicator.height() - 11) / 2 + 5));
    const QPoint tipRowAbove =
        tip - QPoint(0, grid->cellRect(1, 1).top() - grid->cellRect(0, 1).top());

    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Right);
    QImage image = picture();
    EXPECT_EQ(image.pixelColor(inCell), colour(QPalette::Highlight));
    EXPECT_EQ(image.pixelColor(tip), QColor(Qt::black));
    EXPECT_NE(image.pixelColor(tipRowAbove), QColor(Qt::black));

    after->setFocus();
    image = picture();
    EXPECT_EQ(image.pixelColor(inCell), colour(QPalette::Base));
    EXPECT_EQ(image.pixelColor(tip), QColor(Qt::black));

    EXPECT_EQ(grid->frameWidth(), 1);
    for (const QPoint &edge : {QPoint(0, 0), QPoint(image.width() - 1, 40),
                               QPoint(100, image.height() - 1), QPoint(0, 40)})
        EXPECT_EQ(image.pixel(edge), colour(QPalette::Shadow).rgb());
}

} // namespace
} // namespace kalmora::grids
