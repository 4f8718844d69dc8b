// SPDX-License-Identifier: Apache-2.0
// The point-of-sale lookup box `Pto` in the main window on a demo company with twelve points:
// its text, the keys with the list closed and open, the incremental search, the drop-down
// list's size and place, the choice surviving a reload, and the focus look.
#include "data/client_data_set.h"
#include "data/field.h"
#include "company/data_module.h"
#include "widgets/lookup_box.h"
#include "widgets/lookup_list.h"
#include "company_window.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <cstdint>

namespace kalmora::test {
namespace {

using widgets::LookupBox;
using widgets::LookupList;

const char *const kLongName = "Bodega auxiliar de la sede norte"; // 32 characters

class LookupBoxTest : public CompanyWindowTest
{
protected:
    static void SetUpTestSuite()
    {
        CompanyWindowTest::SetUpTestSuite();
        std::string points;
        for (int id = 5; id <= 10; ++id)
            points += "insert into punto_venta (ptvt_id, bode_cod, ptvt_nom) values (" +
                      std::to_string(id) + ", '01', 'Punto " + (id < 10 ? "0" : "") +
                      std::to_string(id) + "');";
        // Two names that differ only after the search text's 32 characters.
        points += "insert into punto_venta (ptvt_id, bode_cod, ptvt_nom) values (11, '01', '" +
                  std::string(kLongName) + " A');";
        points += "insert into punto_venta (ptvt_id, bode_cod, ptvt_nom) values (12, '01', '" +
                  std::string(kLongName) + " B');";
        company().sql().execute(points);
    }

    LookupBox *box() const { return find<LookupBox>("Pto"); }
    LookupList *list() const { return box()->findChild<LookupList *>(); }
    data::TClientDataSet &points() const { return window->dataModule().CPuntos; }
    /// The PTVT_ID of CPuntos's current row.
    std::int64_t currentPoint() const { return window->dataModule().CPuntosPTVT_ID->asInteger(); }
    /// Connects and gives `Pto` the focus, with the search clock at `now`.
    void connectAndFocusBox()
    {
        connect();
        ASSERT_EQ(focusName(), QStringLiteral("EFecIni"));
        press(Qt::Key_Tab);
        ASSERT_EQ(focusName(), QStringLiteral("Pto"));
        box()->setClock([this] { return now; });
    }
    /// Pixels of `colour` in `area` of the box as drawn.
    int pixelsOf(const QColor &colour, const QRect &area) const
    {
        const QImage image = box()->grab().toImage();
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                count += image.pixelColor(x, y) == colour;
        return count;
    }
    QRect buttonArea() const
    {
        const int width = box()->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        return {box()->width() - 2 - width, 2, width, box()->height() - 4};
    }

    std::int64_t now = 0;
};

// Guards against a box that acts before the points are loaded: it must stay empty, not
// open, ignore typing, and show its button greyed until the connect step fills it.
TEST_F(LookupBoxTest, BeforeTheConnectTheBoxIsInert)
{
    const QColor arrow = box()->palette().color(QPalette::Active, QPalette::ButtonText);
    QTest::mouseClick(box(), Qt::LeftButton);
    EXPECT_FALSE(list()->isVisible());
    box()->setFocus();
    type(QStringLiteral("a"));
    press(Qt::Key_Down);
    press(Qt::Key_Down, Qt::AltModifier);
    EXPECT_FALSE(list()->isVisible());
    EXPECT_EQ(box()->text(), QString());
    EXPECT_EQ(pixelsOf(arrow, buttonArea()), 0);

    connect();
    EXPECT_EQ(box()->text(), QString());
    EXPECT_GT(pixelsOf(arrow, buttonArea()), 0);
    box()->setEnabled(false);
    EXPECT_EQ(pixelsOf(arrow, buttonArea()), 0);
}

// Guards against an incremental search that matches case-sensitively or anywhere but the
// start, forgets its pause, grows past 32 characters, or changes the choice on a miss.
TEST_F(LookupBoxTest, TypingChoosesTheFirstPointBeginningWithTheSearchText)
{
    connectAndFocusBox();
    struct Step
    {
        std::int64_t at;
        QString keys;
        QString chosen;
        QString search;
    };
    const QString longName = QString::fromUtf8(kLongName);
    const Step steps[] = {
        {0, QStringLiteral("k"), QStringLiteral("Kiosco Norte"), QStringLiteral("k")},
        {1500, QStringLiteral("I"), QStringLiteral("Kiosco Norte"), QStringLiteral("kI")},
        {1600, QStringLiteral("x"), QStringLiteral("Kiosco Norte"),
         QStringLiteral("kI")}, // no point begins with "kix"
        {3601, QStringLiteral("t"), QStringLiteral("Tienda D'Angelo"),
         QStringLiteral("t")}, // more than 2000 ms: a new search
        {3700, QStringLiteral("\b"), QStringLiteral("Tienda D'Angelo"),
         QStringLiteral("")}, // Backspace empties the search
        {3800, QStringLiteral("almacÉn"), QStringLiteral("Almacén Principal"),
         QStringLiteral("almacÉn")}, // case ignored, accents too
        {9000, QStringLiteral("Punto 1"), QStringLiteral("Punto 10"), QStringLiteral("Punto 1")},
        {12000, longName + QStringLiteral(" B"), longName + QStringLiteral(" A"),
         longName}, // 32 characters at most
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.keys.toStdString());
        now = step.at;
        if (step.keys == QStringLiteral("\b"))
            press(Qt::Key_Backspace);
        else
            type(step.keys);
        EXPECT_EQ(box()->text(), step.chosen);
        EXPECT_EQ(box()->searchText(), step.search);
        EXPECT_FALSE(list()->isVisible());
    }
    EXPECT_EQ(currentPoint(), 11);

    // Taking the focus again starts a new search.
    press(Qt::Key_Tab, Qt::ShiftModifier);
    press(Qt::Key_Tab);
    EXPECT_EQ(box()->searchText(), QString());
}

// Guards against Up and Down moving from the data set's current row instead of the chosen
// point, or not starting from the first point when none is chosen.
TEST_F(LookupBoxTest, UpAndDownChooseTheNeighbouringPoints)
{
    connectAndFocusBox();
    struct Step
    {
        Qt::Key key;
        std::int64_t chosen;
    };
    const Step steps[] = {{Qt::Key_Up, 1}, {Qt::Key_Down, 2}, {Qt::Key_Down, 3},
                          {Qt::Key_Up, 2}, {Qt::Key_Up, 1},   {Qt::Key_Up, 1}};
    for (const Step &step : steps) {
        press(step.key);
        EXPECT_EQ(std::get<std::int64_t>(box()->keyValue()), step.chosen);
        EXPECT_EQ(currentPoint(), step.chosen);
    }
    EXPECT_EQ(box()->text(), QStringLiteral("Almacén Principal"));

    points().last(); // moved by someone else: the choice is still the reference
    press(Qt::Key_Down);
    EXPECT_EQ(box()->text(), QStringLiteral("Tienda D'Angelo"));
    for (int i = 0; i < 12; ++i)
        press(Qt::Key_Down);
    EXPECT_EQ(std::get<std::int64_t>(box()->keyValue()), 12);
}

// Guards against a list of the wrong size or place, keys that move the highlight by the
// wrong amount, a highlight that leaves the current row behind, and Esc or Enter reaching
// the window (Esc would close it).
TEST_F(LookupBoxTest, TheListMovesItsHighlightAndChoosesOnEnterOrClick)
{
    connectAndFocusBox();
    QTest::mouseClick(box(), Qt::LeftButton);
    ASSERT_TRUE(list()->isVisible());
    EXPECT_EQ(list()->rowsShown(), 7);
    EXPECT_TRUE(list()->hasScrollBar());
    EXPECT_EQ(list()->geometry(), QRect(box()->mapToGlobal(QPoint(0, box()->height())),
                                        QSize(box()->width(), 7 * list()->rowHeight() + 2)));
    EXPECT_EQ(points().recNo(), 0); // none chosen: the first row

    struct Step
    {
        Qt::Key key;
        int row;
    };
    const Step steps[] = {{Qt::Key_Down, 1},   {Qt::Key_PageDown, 7}, {Qt::Key_End, 11},
                          {Qt::Key_PageUp, 5}, {Qt::Key_Right, 6},    {Qt::Key_Left, 5},
                          {Qt::Key_Up, 4},     {Qt::Key_Home, 0},     {Qt::Key_PageDown, 6},
                          {Qt::Key_Down, 7}};
    for (const Step &step : steps) {
        press(step.key);
        EXPECT_EQ(points().recNo(), step.row) << step.key;
        EXPECT_LE(list()->topRow(), step.row);
        EXPECT_GT(list()->topRow() + list()->rowsShown(), step.row);
    }
    EXPECT_EQ(box()->text(), QString()); // moving the highlight chooses nothing

    press(Qt::Key_Escape);
    EXPECT_FALSE(list()->isVisible());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(box()->text(), QString());
    EXPECT_EQ(points().recNo(), 7); // left where the highlight was

    press(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(list()->isVisible());
    press(Qt::Key_Down);
    press(Qt::Key_Down, Qt::AltModifier); // a second Alt+Down closes it without a choice
    EXPECT_FALSE(list()->isVisible());
    EXPECT_EQ(box()->text(), QString());
    press(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(list()->isVisible());
    type(QStringLiteral("fe"));
    EXPECT_EQ(points().recNo(), 3);
    EXPECT_EQ(box()->text(), QString());
    press(Qt::Key_Return);
    EXPECT_FALSE(list()->isVisible());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(box()->text(), QStringLiteral("Feria Artesanal"));
    EXPECT_EQ(box()->searchText(), QString()); // closing the list empties the search

    // Reopened, the list highlights the chosen point; a click on a name chooses it.
    points().first();
    press(Qt::Key_Up, Qt::AltModifier);
    ASSERT_TRUE(list()->isVisible());
    EXPECT_EQ(points().recNo(), 3);
    QTest::mouseClick(list(), Qt::LeftButton, {}, list()->rowRect(5).center());
    EXPECT_FALSE(list()->isVisible());
    EXPECT_EQ(box()->text(), QStringLiteral("Punto 06"));
    EXPECT_EQ(currentPoint(), 6);

    // A second click on the box closes the list without a choice.
    QTest::mouseClick(box(), Qt::LeftButton);
    ASSERT_TRUE(list()->isVisible());
    press(Qt::Key_Down);
    QTest::mouseClick(box(), Qt::LeftButton);
    EXPECT_FALSE(list()->isVisible());
    EXPECT_EQ(box()->text(), QStringLiteral("Punto 06"));

    // The focus leaving the box closes the list without a choice: by Tab, and by a click on
    // another control.
    QTest::mouseClick(box(), Qt::LeftButton);
    press(Qt::Key_Down);
    press(Qt::Key_Tab);
    EXPECT_FALSE(list()->isVisible());
    EXPECT_EQ(focusName(), QStringLiteral("Servidor"));
    box()->setFocus();
    QTest::mouseClick(box(), Qt::LeftButton);
    press(Qt::Key_Down);
    QTest::mouseClick(find("Tusua"), Qt::LeftButton);
    EXPECT_FALSE(list()->isVisible());
    EXPECT_EQ(focusName(), QStringLiteral("Tusua"));
    EXPECT_EQ(box()->text(), QStringLiteral("Punto 06"));
}

// Guards against a list that shows empty rows or a scroll bar it does not need, shrinks to
// nothing on an empty list, or opens off the screen.
TEST_F(LookupBoxTest, TheListFitsItsRowsAndOpensAboveWhenBelowIsOffTheScreen)
{
    connectAndFocusBox();
    struct Case
    {
        const char *filter;
        int rowsShown;
        bool scrollBar;
    };
    const Case cases[] = {{"PTVT_ID <= 3", 3, false},
                          {"PTVT_ID <= 7", 7, false},
                          {"PTVT_ID <= 8", 7, true},
                          {"PTVT_ID < 0", 7, false}};
    for (const Case &test : cases) {
        SCOPED_TRACE(test.filter);
        points().setFilter(test.filter);
        points().setFiltered(true);
        press(Qt::Key_Down, Qt::AltModifier);
        ASSERT_TRUE(list()->isVisible());
        EXPECT_EQ(list()->rowsShown(), test.rowsShown);
        EXPECT_EQ(list()->height(), test.rowsShown * list()->rowHeight() + 2);
        EXPECT_EQ(list()->hasScrollBar(), test.scrollBar);
        press(Qt::Key_Escape);
    }
    points().setFiltered(false);

    const QRect screen = box()->screen()->geometry();
    window->move(window->x(), screen.bottom() - window->frameGeometry().height() / 2);
    QTest::qWait(50);
    QTest::mouseClick(box(), Qt::LeftButton);
    ASSERT_TRUE(list()->isVisible());
    EXPECT_EQ(list()->geometry().bottom() + 1, box()->mapToGlobal(QPoint(0, 0)).y());
    EXPECT_LE(list()->geometry().bottom(), screen.bottom());
}

// Guards against a choice lost when the points are loaded again, or a stale name shown while
// the data set is closed.
TEST_F(LookupBoxTest, TheChoiceIsFoundAgainWhenThePointsAreReloaded)
{
    connectAndFocusBox();
    type(QStringLiteral("ti"));
    ASSERT_EQ(box()->text(), QStringLiteral("Tienda D'Angelo"));

    points().close();
    EXPECT_EQ(box()->text(), QString());
    EXPECT_FALSE(box()->hasList());

    // Leaving the company box again reconnects and reloads the points.
    find("Cia")->setFocus();
    press(Qt::Key_Tab);
    EXPECT_EQ(focusName(), QStringLiteral("EFecIni"));
    EXPECT_EQ(box()->text(), QStringLiteral("Tienda D'Angelo"));
    EXPECT_EQ(currentPoint(), 2);
    EXPECT_TRUE(shown(app::MessageWindow::ErrorBox).isEmpty());
}

// Guards against a focus look missing, or drawn while the list is open or without the focus.
TEST_F(LookupBoxTest, TheFocusedBoxShowsItsTextSelected)
{
    connectAndFocusBox();
    type(QStringLiteral("k"));
    const QColor selection = box()->palette().color(QPalette::Highlight);
    const QRect textArea(4, 4, 20, box()->height() - 8);
    EXPECT_GT(pixelsOf(selection, textArea), 0);

    QTest::mouseClick(box(), Qt::LeftButton);
    ASSERT_TRUE(list()->isVisible());
    EXPECT_EQ(pixelsOf(selection, textArea), 0);
    press(Qt::Key_Escape);

    press(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(pixelsOf(selection, textArea), 0);
}

} // namespace
} // namespace kalmora::test
