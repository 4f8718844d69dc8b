// SPDX-License-Identifier: Apache-2.0
// The day's rates through the main window on a demo company: F5 opens the rates panel with
// the day's three default rows and saves them, F2 saves them before posting; what the user
// sees in the panel and what reaches the database.
#include "company/data_module.h"
#include "grids/db_grid_eh.h"
#include "grids/db_navigator.h"
#include "widgets/lookup_box.h"
#include "company_window.h"

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QTest>
#include <QToolButton>

namespace kalmora::test {
namespace {

using app::MessageWindow;

const QString kGenerated = QStringLiteral("Comprobante contable correctamente generado.");

class RatesWindowTest : public CompanyWindowTest
{
protected:
    grids::DBGridEh *ratesGrid() const { return find<grids::DBGridEh>("DBGridEh2"); }
    QWidget *ratesPanel() const { return find("AdvPanel1"); }

    /// Connects and chooses the point whose name begins with `prefix`.
    void connectAndChoose(const QString &prefix)
    {
        connect();
        press(Qt::Key_Tab);
        ASSERT_EQ(focusName(), QStringLiteral("Pto"));
        type(prefix);
    }
    /// F5, then Tab from the date box (where connect() leaves the focus) past the point box
    /// and the disabled error grid to the rates grid.
    void openRatesFromTheDateBox()
    {
        press(Qt::Key_F5);
        press(Qt::Key_Tab);
        press(Qt::Key_Tab);
    }
    /// The grid's rows as the user reads them, each "from|to|percent|factor".
    QStringList gridRows() const
    {
        QStringList rows;
        for (int row = 0; row < ratesGrid()->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < ratesGrid()->columnCount(); ++column)
                cells << ratesGrid()->cellText(row, column);
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    }
    /// The stored rates of `day` (ISO), "from|to|percent|factor" by percent.
    static std::vector<std::string> ratesOf(const std::string &day)
    {
        return rowsOf(
            "select AJCI_FECINI, AJCI_FECFIN, cast(AJCI_PORC as integer), "
            "cast(AJCI_FACTOR as varchar(20)) from AJUSTE_CIERRE where AJCI_FECINI = DATE '" +
            day + "' order by AJCI_PORC");
    }
    static std::vector<std::string> ratesOfOtherDays(const std::string &day)
    {
        return rowsOf("select AJCI_ID, AJCI_FECINI, AJCI_PORC, AJCI_FACTOR from AJUSTE_CIERRE "
                      "where AJCI_FECINI <> DATE '" +
                      day + "' order by AJCI_ID");
    }
    static std::string iso(const QDate &day) { return day.toString(Qt::ISODate).toStdString(); }
    static std::vector<std::string> defaultsOf(const std::string &day)
    {
        std::vector<std::string> rows;
        for (const char *percent : {"0", "5", "19"})
            rows.push_back(day + "|" + day + "|" + percent + "|0.8000");
        return rows;
    }
};

// Guards against an open that shows other rows or another order, a save that does not
// replace the day's rows with what the panel holds, touches other days, or fails or
// duplicates rows when the same day is opened and saved again.
TEST_F(RatesWindowTest, F5OpensTheDefaultsAndF5AgainStoresExactlyThem)
{
    connect();
    const QDate today = QDate::currentDate();
    const std::string day = iso(today);
    const std::vector<std::string> otherDays = ratesOfOtherDays(day);
    const QString text = today.toString(QStringLiteral("dd/MM/yyyy"));

    press(Qt::Key_F5);
    ASSERT_TRUE(ratesPanel()->isVisible());
    EXPECT_EQ(gridRows(),
              (QStringList{text + QStringLiteral("|") + text + QStringLiteral("|5|0.8"),
                           text + QStringLiteral("|") + text + QStringLiteral("|19|0.8"),
                           text + QStringLiteral("|") + text + QStringLiteral("|0|0.8")}));
    EXPECT_EQ(ratesGrid()->columnTitle(0), QStringLiteral("F.Desde"));
    EXPECT_EQ(ratesGrid()->columnTitle(3), QStringLiteral("Factor"));

    for (int round = 0; round < 3; ++round) {
        if (round > 0)
            press(Qt::Key_F5);
        press(Qt::Key_F5);
        EXPECT_FALSE(ratesPanel()->isVisible()) << round;
        EXPECT_EQ(ratesOf(day), defaultsOf(day)) << round;
    }
    EXPECT_EQ(ratesOfOtherDays(day), otherDays);
    EXPECT_TRUE(shown(MessageWindow::ErrorBox).isEmpty());
}

// Guards against F2 and F5 doing their steps in the wrong order, acting with a modifier held,
// or going on after a failure; the failure reaches the error box. The steps are the
// window's actions as they run; without a chosen point a posting run asks for one.
TEST_F(RatesWindowTest, F2AndF5RunTheirStepsInOrder)
{
    connect();
    const std::string day = iso(QDate::currentDate());
    std::vector<std::string> steps;
    const std::pair<const char *, const char *> actions[] = {
        {"actionPost", "post"},
        {"actionOpenRates", "open rates"},
        {"actionSaveAndCloseRates", "save and close rates"},
        {"actionSaveRatesBeforePosting", "save rates before posting"},
    };
    for (const auto &[name, step] : actions)
        QObject::connect(find<QAction>(name), &QAction::triggered, window.get(),
                         [&steps, step = step] { steps.push_back(step); });
    const QStringList choosePoint{QStringLiteral("Seleccione el punto de venta.")};

    press(Qt::Key_F2, Qt::ShiftModifier);
    press(Qt::Key_F5, Qt::ControlModifier);
    press(Qt::Key_F2, Qt::AltModifier);
    EXPECT_TRUE(steps.empty());

    press(Qt::Key_F2); // runs although the execute button is greyed
    EXPECT_EQ(shown(MessageWindow::PlainMessage), choosePoint);
    press(Qt::Key_F5);
    EXPECT_TRUE(ratesPanel()->isVisible());
    press(Qt::Key_F5);
    EXPECT_FALSE(ratesPanel()->isVisible());
    EXPECT_EQ(ratesOf(day), defaultsOf(day));
    press(Qt::Key_F5);
    press(Qt::Key_F2);
    EXPECT_FALSE(ratesPanel()->isVisible());
    EXPECT_EQ(steps, (std::vector<std::string>{"post", "open rates", "save and close rates",
                                               "open rates", "save rates before posting", "post"}));
    EXPECT_EQ(shown(MessageWindow::PlainMessage), choosePoint + choosePoint);
    EXPECT_TRUE(shown(MessageWindow::ErrorBox).isEmpty());

    steps.clear();
    press(Qt::Key_F5);
    // A row that cannot be stored: its key is gone.
    company::DataModule &module = window->dataModule();
    module.CAjuste.edit();
    module.CAjusteAJCI_ID->clear();
    press(Qt::Key_F5); // the save fails: the panel stays open
    EXPECT_TRUE(ratesPanel()->isVisible());
    // The save fails: nothing is posted, and the rates are shown again to be put right.
    press(Qt::Key_F2);
    EXPECT_TRUE(ratesPanel()->isVisible());
    EXPECT_EQ(steps, (std::vector<std::string>{"open rates", "save and close rates",
                                               "save rates before posting"}));
    const QString failure = QStringLiteral("Field 'AJCI_ID' must have a value.");
    EXPECT_EQ(shown(MessageWindow::ErrorBox), (QStringList{failure, failure}));
    EXPECT_EQ(shown(MessageWindow::PlainMessage), choosePoint + choosePoint);
}

// Guards against F2 posting before the rates are stored, or with other factors than the
// panel's: every cost-of-sales line is its sales line times 0.8, where the demo's own
// rates of the day were 0.6 and 0.75 for 0 and 5 percent.
TEST_F(RatesWindowTest, F5ThenF2SavesTheRatesAndPostsWithTheirFactors)
{
    connectAndChoose(QStringLiteral("kio"));
    find<QDateEdit>("EFecIni")->setDate(QDate::currentDate().addDays(-1));
    const std::string day = iso(QDate::currentDate().addDays(-1));
    press(Qt::Key_F5);
    press(Qt::Key_F2);
    EXPECT_FALSE(ratesPanel()->isVisible());
    EXPECT_EQ(shown(MessageWindow::PlainMessage), QStringList{kGenerated});
    EXPECT_EQ(ratesOf(day), defaultsOf(day));
    EXPECT_EQ(rowsOf("select cast(s.CMDE_PORC as integer), "
                     "iif(c.CMDE_DEBITO = round(s.CMDE_CREDITO * 0.8, 2), 'x 0.8', 'other') "
                     "from COMPROBANTES v "
                     "join COMPROBANTES_DET s on s.COMP_ID = v.COMP_ID "
                     "join COMPROBANTES_DET c on c.COMP_ID = v.COMP_ID "
                     "and c.CMDE_PORC = s.CMDE_PORC "
                     "where v.PTVT_ID = 3 and v.COMP_FECHA = DATE '" +
                     day +
                     "' and s.CMDE_DETALLE starting with 'Ventas' "
                     "and c.CMDE_DETALLE starting with 'Costo' order by s.CMDE_PORC"),
              (std::vector<std::string>{"0|x 0.8", "5|x 0.8", "19|x 0.8"}));
}

// Guards against F2 posting with rates that were not stored: a refused change is told with
// its count and reason, nothing is posted, and the panel is back with what is pending.
TEST_F(RatesWindowTest, F2WithARefusedRateDoesNotPostAndShowsTheRatesAgain)
{
    connectAndChoose(QStringLiteral("tie"));
    const std::string day = iso(QDate::currentDate().addDays(-2));
    find<QDateEdit>("EFecIni")->setDate(QDate::currentDate().addDays(-2));
    press(Qt::Key_F5);
    // Meanwhile someone else changes one of the day's stored rates.
    execute("update AJUSTE_CIERRE set AJCI_FACTOR = 0.7 where AJCI_FECINI = DATE '" + day +
            "' and AJCI_PORC = 5");
    press(Qt::Key_F2);
    EXPECT_EQ(shown(MessageWindow::ErrorBox),
              QStringList{QStringLiteral("No se guardaron 1 cambio de las tarifas y no se "
                                         "contabilizó: Record not found or changed by another "
                                         "user.")});
    EXPECT_TRUE(shown(MessageWindow::PlainMessage).isEmpty());
    EXPECT_TRUE(ratesPanel()->isVisible());
    EXPECT_EQ(rowsOf("select count(*) from COMPROBANTES where PTVT_ID = 2"),
              std::vector<std::string>{"0"});
    // The changes that could be stored were: the defaults beside the changed row.
    EXPECT_EQ(ratesOf(day).size(), 4u);
}

// Guards against the navigator bar not following the rates, and against a row added with
// its insert button that can never be saved for want of a key.
TEST_F(RatesWindowTest, ARowAddedWithTheNavigatorIsSavedByF5)
{
    connect();
    const QDate day = QDate::currentDate().addDays(-1);
    find<QDateEdit>("EFecIni")->setDate(day);
    press(Qt::Key_F5);
    using Button = grids::DBNavigator::Button;
    auto *bar = find<grids::DBNavigator>("DBNavigator1");
    EXPECT_TRUE(bar->button(Button::Next)->isEnabled());
    EXPECT_FALSE(bar->button(Button::Cancel)->isEnabled());

    QTest::mouseClick(bar->button(Button::Insert), Qt::LeftButton);
    EXPECT_EQ(ratesGrid()->rowCount(), 4);
    EXPECT_TRUE(bar->button(Button::Cancel)->isEnabled());
    company::DataModule &module = window->dataModule();
    module.CAjusteAJCI_FECINI->setAsDate({day.year(), day.month(), day.day()});
    module.CAjusteAJCI_PORC->setAsString("8");
    module.CAjusteAJCI_FACTOR->setAsString("0.5");

    press(Qt::Key_F5);
    EXPECT_FALSE(ratesPanel()->isVisible());
    EXPECT_TRUE(shown(MessageWindow::ErrorBox).isEmpty());
    std::vector<std::string> expected = defaultsOf(iso(day));
    expected.insert(expected.begin() + 2, iso(day) + "|" + iso(day) + "|8|0.5000");
    EXPECT_EQ(ratesOf(iso(day)), expected);
}

} // namespace
// Guards against typing in the rates grid not reaching the database: with the keyboard
// alone the 19-percent factor becomes 0.75, the 0-percent row is deleted after "OK", a row
// appended by Down past the end is typed in, and F5 stores exactly those rows; the value
// still in the open editor when F5 is pressed is saved too. F2 then posts with the typed
// factors.
TEST_F(RatesWindowTest, RatesTypedWithTheKeyboardAreStoredAndPosted)
{
    connectAndChoose(QStringLiteral("tie"));
    const QDate yesterday = QDate::currentDate().addDays(-1);
    find<QDateEdit>("EFecIni")->setDate(yesterday);
    const std::string day = iso(yesterday);
    const QString typedDay = yesterday.toString(QStringLiteral("dd/MM/yyyy"));
    press(Qt::Key_F5);
    press(Qt::Key_Tab); // the error grid is disabled: on to the rates grid
    ASSERT_EQ(focusName(), QStringLiteral("DBGridEh2"));

    press(Qt::Key_Down); // the 19-percent row
    press(Qt::Key_End);  // "Factor"
    type(QStringLiteral("0.75"));
    EXPECT_TRUE(ratesGrid()->editorOpen());
    EXPECT_EQ(ratesGrid()->editorText(), QStringLiteral("0.75"));
    press(Qt::Key_Down); // posts it; on the 0-percent row
    recorder.setConfirmAnswer(true);
    press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(ratesGrid()->rowCount(), 2);
    press(Qt::Key_Down); // past the last row: a new row
    EXPECT_EQ(ratesGrid()->rowCount(), 3);
    press(Qt::Key_Home);
    type(typedDay);
    press(Qt::Key_Tab);
    type(typedDay);
    press(Qt::Key_Enter); // Enter moves on as Tab
    type(QStringLiteral("0"));
    press(Qt::Key_Tab);
    type(QStringLiteral("0.5")); // left in the editor: F5 must not lose it
    press(Qt::Key_F5);

    EXPECT_TRUE(shown(MessageWindow::ErrorBox).isEmpty());
    EXPECT_FALSE(ratesPanel()->isVisible());
    EXPECT_EQ(ratesOf(day), (std::vector<std::string>{day + "|" + day + "|0|0.5000",
                                                      day + "|" + day + "|5|0.8000",
                                                      day + "|" + day + "|19|0.7500"}));

    press(Qt::Key_F2);
    EXPECT_EQ(shown(MessageWindow::PlainMessage), QStringList{kGenerated});
    EXPECT_EQ(rowsOf("select cast(s.CMDE_PORC as integer), iif(c.CMDE_DEBITO = "
                     "round(s.CMDE_CREDITO * iif(s.CMDE_PORC = 19, 0.75, "
                     "iif(s.CMDE_PORC = 0, 0.5, 0.8)), 2), 'typed factor', 'other') "
                     "from COMPROBANTES v "
                     "join COMPROBANTES_DET s on s.COMP_ID = v.COMP_ID "
                     "join COMPROBANTES_DET c on c.COMP_ID = v.COMP_ID "
                     "and c.CMDE_PORC = s.CMDE_PORC "
                     "where v.PTVT_ID = 2 and v.COMP_FECHA = DATE '" +
                     day +
                     "' and s.CMDE_DETALLE starting with 'Ventas' "
                     "and c.CMDE_DETALLE starting with 'Costo' order by s.CMDE_PORC"),
              (std::vector<std::string>{"0|typed factor", "5|typed factor", "19|typed factor"}));
}

// Guards against F2 losing the factor still being typed: the panel hides before the save,
// and the value in the open editor must reach the stored rates and the posting, with one
// message.
TEST_F(RatesWindowTest, F2StoresAndPostsTheFactorStillInTheEditor)
{
    connectAndChoose(QStringLiteral("alm"));
    find<QDateEdit>("EFecIni")->setDate(QDate::currentDate());
    const std::string day = iso(QDate::currentDate());
    press(Qt::Key_F5);
    press(Qt::Key_Tab);
    ASSERT_EQ(focusName(), QStringLiteral("DBGridEh2"));
    press(Qt::Key_End); // the first row (5 percent), "Factor"
    type(QStringLiteral("0.5"));
    ASSERT_TRUE(ratesGrid()->editorOpen());
    press(Qt::Key_F2);

    EXPECT_TRUE(shown(MessageWindow::ErrorBox).isEmpty());
    EXPECT_EQ(shown(MessageWindow::PlainMessage), QStringList{kGenerated});
    EXPECT_FALSE(ratesPanel()->isVisible());
    EXPECT_EQ(ratesOf(day), (std::vector<std::string>{day + "|" + day + "|0|0.8000",
                                                      day + "|" + day + "|5|0.5000",
                                                      day + "|" + day + "|19|0.8000"}));
    EXPECT_EQ(rowsOf("select cast(s.CMDE_PORC as integer), iif(c.CMDE_DEBITO = "
                     "round(s.CMDE_CREDITO * iif(s.CMDE_PORC = 5, 0.5, 0.8), 2), 'typed', "
                     "'other') from COMPROBANTES v "
                     "join COMPROBANTES_DET s on s.COMP_ID = v.COMP_ID "
                     "join COMPROBANTES_DET c on c.COMP_ID = v.COMP_ID "
                     "and c.CMDE_PORC = s.CMDE_PORC "
                     "where v.PTVT_ID = 1 and v.COMP_FECHA = DATE '" +
                     day +
                     "' and s.CMDE_DETALLE starting with 'Ventas' "
                     "and c.CMDE_DETALLE starting with 'Costo' order by s.CMDE_PORC"),
              (std::vector<std::string>{"0|typed", "5|typed", "19|typed"}));
}

// Guards the incremental search through the window: Ctrl+F in the rates grid, then "1",
// goes to the first row whose "Porc" begins with 1 and turns the indicator yellow; a
// character that matches nothing changes nothing.
TEST_F(RatesWindowTest, CtrlFThenADigitFindsTheFirstRateBeginningWithIt)
{
    connect();
    openRatesFromTheDateBox();
    ASSERT_EQ(focusName(), QStringLiteral("DBGridEh2"));
    press(Qt::Key_Right);
    press(Qt::Key_Right); // "Porc": 5, 19, 0
    press(Qt::Key_F, Qt::ControlModifier);
    type(QStringLiteral("1"));
    EXPECT_EQ(ratesGrid()->currentRow(), 1);
    EXPECT_EQ(ratesGrid()->indicatorGlyphShown(), grids::IndicatorGlyph::Searching);
    type(QStringLiteral("4"));
    EXPECT_EQ(ratesGrid()->currentRow(), 1);
    EXPECT_EQ(ratesGrid()->searchText(), QStringLiteral("1"));
    EXPECT_EQ(gridRows().size(), 3);
}

// Guards against Esc in a date cell's calendar closing the window: it leaves the calendar
// only, and the rates panel stays with its rows; and against a calendar left open when F5
// hides the panel.
TEST_F(RatesWindowTest, EscInTheCalendarLeavesOnlyTheCalendar)
{
    connect();
    openRatesFromTheDateBox();
    ASSERT_EQ(focusName(), QStringLiteral("DBGridEh2"));
    // A click on the focused cell, the first row's "F.Desde", opens its editor.
    QTest::mouseClick(ratesGrid()->viewport(), Qt::LeftButton, {},
                      ratesGrid()->cellRect(0, 0).center());
    ASSERT_TRUE(ratesGrid()->editorOpen());
    press(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(QApplication::activePopupWidget());
    press(Qt::Key_Escape);
    EXPECT_FALSE(QApplication::activePopupWidget());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(ratesPanel()->isVisible());
    EXPECT_EQ(ratesGrid()->rowCount(), 3);

    // F5 with the calendar open saves the rows as they are and closes the calendar with the
    // panel: no calendar is left over hidden rows.
    press(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(QApplication::activePopupWidget());
    press(Qt::Key_F5);
    EXPECT_FALSE(QApplication::activePopupWidget());
    EXPECT_FALSE(ratesPanel()->isVisible());
    EXPECT_TRUE(shown(MessageWindow::ErrorBox).isEmpty());
    EXPECT_EQ(ratesOf(iso(QDate::currentDate())), defaultsOf(iso(QDate::currentDate())));
}

// Guards against a text the field refuses being dropped by F5 or F2: the save stops with
// the field's message, once, the panel stays with the typing, nothing is stored and F2 posts
// nothing.
TEST_F(RatesWindowTest, ARefusedTextInTheEditorStopsTheSaveAndThePosting)
{
    connect();
    const QDate earlier = QDate::currentDate().addDays(-3);
    find<QDateEdit>("EFecIni")->setDate(earlier);
    const std::vector<std::string> stored = ratesOf(iso(earlier));
    openRatesFromTheDateBox();
    ASSERT_EQ(focusName(), QStringLiteral("DBGridEh2"));
    type(QStringLiteral("32/13/2026"));
    int errorsSoFar = 0;
    for (Qt::Key key : {Qt::Key_F5, Qt::Key_F2}) {
        press(key);
        const QStringList errors = shown(MessageWindow::ErrorBox);
        ASSERT_EQ(errors.size(), ++errorsSoFar) << key;
        EXPECT_TRUE(errors.back().contains(QStringLiteral("32/13/2026")))
            << errors.back().toStdString();
        EXPECT_TRUE(ratesPanel()->isVisible()) << key;
        EXPECT_EQ(ratesGrid()->editorText(), QStringLiteral("32/13/2026")) << key;
        EXPECT_EQ(ratesOf(iso(earlier)), stored) << key;
        EXPECT_TRUE(shown(MessageWindow::PlainMessage).isEmpty()) << key;
    }
}

} // namespace kalmora::test
