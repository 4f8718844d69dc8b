// SPDX-License-Identifier: Apache-2.0
// The window on a real display, as a person uses it: Xvfb with openbox, the built program on a
// demo installation, keys and clicks through XTest. A modifier key sends its own press, a
// drop-down list is a window of its own, an error box takes the focus: what the offscreen tests
// hand straight to a widget goes here the way a keyboard sends it. What the user sees is read
// from the screen and the clipboard, what was stored from the company database once the
// program has ended (the embedded engine lets one process at a time open it).
#include "display/program_on_display.h"
#include "display/x_display.h"
#include "support/company_database.h"

#include <QDir>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

namespace kalmora::test {
namespace {

using namespace std::chrono_literals;

constexpr const char *kMainTitle = "Contabilizar ventas de contado";
constexpr const char *kMessageTitle = "Contabilización ventas POS";

// Places in the window's client area, as it is laid out.
constexpr QPoint kRatesCaption(100, 110);    // the rates panel's caption bar
const QRect kRatesGrid(25, 123, 303, 123);   // the rates grid
const QRect kExecuteButton(61, 320, 65, 50); // "F2: Ejecutar"
const QRect kErrorGrid(1, 237, 356, 81);
// More than the platform's double-click interval (400 ms).
constexpr auto kPastDoubleClick = std::chrono::milliseconds(600);
constexpr QPoint kServerButton(186, 75); // the server list's drop-down button
constexpr QPoint kPointButton(336, 188); // the point-of-sale list's drop-down button
constexpr QPoint kDayButton(128, 188);   // the day box's drop-down button

/// A column of the rates grid: F.Desde, F.Hasta, Porc, Factor.
enum Column { FDesde, FHasta, Porc, Factor };

/// The centre of a cell of the rates grid, in the client area; rows count from 0.
QPoint ratesCell(int row, Column column)
{
    constexpr int centres[] = {70, 136, 198, 260};
    return {centres[column], 150 + 17 * row};
}

/// The row of the rates grid that holds client-area height `y`, or -1 above the rows.
int ratesRowAt(int y)
{
    return y < 142 ? -1 : (y - 142) / 17;
}

bool isYellow(QRgb pixel)
{
    return qRed(pixel) == 255 && qGreen(pixel) == 255 && qBlue(pixel) == 0;
}

bool isDark(QRgb pixel)
{
    return qRed(pixel) < 100 && qGreen(pixel) < 100 && qBlue(pixel) < 100;
}

bool isHighlight(QRgb pixel)
{
    return pixel == qRgb(48, 140, 198);
}

bool isGreenish(QRgb pixel)
{
    return qGreen(pixel) > 120 && qGreen(pixel) > qRed(pixel) + 60 &&
           qGreen(pixel) > qBlue(pixel) + 60;
}

/// The message of a box's copy: the lines between its second and third rule of dashes
/// (the first two hold the title).
std::string messageOfCopy(const std::string &copied)
{
    std::string message;
    int rules = 0;
    std::size_t start = 0;
    while (start < copied.size()) {
        std::size_t end = copied.find("\r\n", start);
        if (end == std::string::npos)
            end = copied.size();
        const std::string line = copied.substr(start, end - start);
        start = end + 2;
        if (!line.empty() && line.find_first_not_of('-') == std::string::npos)
            ++rules;
        else if (rules == 2)
            message += (message.empty() ? "" : "\n") + line;
    }
    return rules >= 3 ? message : "(not a message box's copy: " + copied + ")";
}

/// The smallest rectangle around the pixels of `image` that `test` picks; empty for none.
QRect pixelsWhere(const QImage &image, bool (*test)(QRgb))
{
    QRect found;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (test(image.pixel(x, y)))
                found |= QRect(x, y, 1, 1);
    return found;
}

class RealDisplay : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        display_ = new VirtualDisplay;
        x_ = new XClient(display_->name());
    }
    static void TearDownTestSuite()
    {
        delete x_;
        delete display_;
    }

    void TearDown() override
    {
        if (program_ && program_->running())
            shot("left-open");
        if (program_ && HasFailure())
            std::fprintf(stderr, "The program's standard error:\n%s\n", program_->errors().c_str());
        program_.reset();
    }

    /// Starts the program and waits for its window to be active.
    void start(const std::string &locale = "C")
    {
        program_ =
            std::make_unique<ProgramOnDisplay>(display_->name(), company_.serverEntry(), locale);
        ASSERT_TRUE(waitUntil([&] {
            const auto windows = x_->windowsTitled(kMainTitle);
            return windows.size() == 1 && x_->activeWindow() == windows.front();
        })) << program_->errors();
        window_ = x_->windowsTitled(kMainTitle).front();
    }

    /// Types the login from the server box on and leaves the company box, which connects;
    /// waits until the execute button is enabled (its arrows green). With `selectUser` the
    /// user name is left selected, which makes it the X selection.
    void logIn(bool selectUser = false)
    {
        x_->key("Tab");
        x_->type("SYSDBA");
        if (selectUser)
            x_->key("shift+Home");
        x_->key("Tab");
        x_->type("demo");
        x_->key("Tab");
        x_->type(company_.code());
        x_->key("Tab");
        ASSERT_TRUE(waitUntil([&] {
            return !pixelsWhere(grab(kExecuteButton), isGreenish).isEmpty();
        })) << program_->errors();
    }

    /// Drops the point-of-sale list down with its button, types the start of a point's name
    /// and takes the point with Enter.
    void choosePoint(const char *start)
    {
        click(kPointButton);
        ASSERT_TRUE(waitUntil([&] { return x_->dropDownsShown() == 1; }));
        x_->type(start);
        x_->key("Return");
        ASSERT_TRUE(waitUntil([&] { return x_->dropDownsShown() == 0; }));
    }

    /// F5, and waits until the rates panel shows or hides.
    void pressF5(bool panelShown)
    {
        x_->key("F5");
        ASSERT_TRUE(waitUntil([&] { return ratesShown() == panelShown; }));
        // Shown, the panel takes clicks once its grid shows the rows: the third row's factor
        // drawn.
        if (panelShown) {
            ASSERT_TRUE(waitUntil([&] {
                const QPoint cell = ratesCell(2, Factor);
                return !pixelsWhere(grab(QRect(cell.x(), cell.y() - 6, 30, 12)), isDark).isEmpty();
            }));
        }
    }
    bool ratesShown() const
    {
        return grab(QRect(kRatesCaption, QSize(1, 1))).pixel(0, 0) == qRgb(48, 140, 198);
    }

    QRect client() const { return x_->geometry(window_); }
    QPoint at(QPoint inClient) const { return client().topLeft() + inClient; }
    void click(QPoint inClient, unsigned button = 1) { x_->click(at(inClient), button); }
    /// Whether a cell of the rates grid is drawn as the focused cell.
    bool cellHighlighted(int row, Column column) const
    {
        const QPoint centre = ratesCell(row, column);
        return !pixelsWhere(grab(QRect(centre.x() - 25, centre.y() - 4, 50, 8)), isHighlight)
                    .isEmpty();
    }
    /// A click on a cell of the rates grid, and the wait until it is the focused cell: the
    /// window manager replays a click on its way to the window, so keys pressed right after
    /// it may come first.
    void clickCell(int row, Column column)
    {
        click(ratesCell(row, column));
        ASSERT_TRUE(waitUntil([&] { return cellHighlighted(row, column); }));
    }
    /// Two clicks on a cell, apart enough not to make a double click: the first focuses the
    /// cell, the second opens its editor over it (what follows waits for what the editor
    /// shows: its text selected looks like the focused cell).
    void openEditor(int row, Column column)
    {
        clickCell(row, column);
        std::this_thread::sleep_for(kPastDoubleClick);
        click(ratesCell(row, column));
    }
    QImage grab(const QRect &inClient) const
    {
        return x_->grab(inClient.translated(client().topLeft()));
    }
    /// Where the rates grid shows yellow (a running search), in client coordinates.
    QRect yellowInRates() const
    {
        const QRect found = pixelsWhere(grab(kRatesGrid), isYellow);
        return found.isEmpty() ? found : found.translated(kRatesGrid.topLeft());
    }

    std::size_t messagesShown() const { return x_->windowsTitled(kMessageTitle).size(); }
    /// Waits for one message or error box, copies its text with Ctrl+C, closes it with
    /// Enter and returns the text.
    std::string answerMessage()
    {
        if (!waitUntil([&] { return messagesShown() == 1; }))
            return "(no message shown)";
        shot("message");
        waitUntil([&] { return x_->activeWindow() == x_->windowsTitled(kMessageTitle).front(); });
        // The box may take the keyboard a moment after the window manager activated it.
        std::string copied;
        for (int attempt = 0; attempt < 5 && copied.empty(); ++attempt) {
            x_->key("ctrl+c");
            waitUntil([&] { return !(copied = x_->clipboardText()).empty(); }, 400ms);
        }
        x_->key("Return");
        waitUntil([&] { return messagesShown() == 0; });
        return messageOfCopy(copied);
    }

    /// Esc in the window; the program's exit status.
    std::optional<int> escapeAndExit()
    {
        x_->key("Escape");
        return program_->waitExit();
    }

    void shot(const std::string &name) const
    {
        const QString folder = qEnvironmentVariable("KALMORA_DISPLAY_SHOTS");
        if (folder.isEmpty())
            return;
        QDir().mkpath(folder);
        const auto *test = ::testing::UnitTest::GetInstance()->current_test_info();
        QString file = QString::fromLatin1(test->name()) + QLatin1Char('-') +
                       QString::fromStdString(name) + QStringLiteral(".png");
        file.replace(QLatin1Char('/'), QLatin1Char('_'));
        x_->grab(QRect(0, 0, 1024, 768)).save(folder + QLatin1Char('/') + file);
    }

    /// The rates stored for the demo's newest day (today), as "porc factor fecini fecfin".
    std::vector<std::string> storedRates() const
    {
        std::vector<std::string> rows;
        for (const SqlRow &row : company_.sql().query(
                 "SELECT AJCI_PORC, AJCI_FACTOR, AJCI_FECINI, AJCI_FECFIN FROM AJUSTE_CIERRE "
                 "WHERE AJCI_FECINI = CURRENT_DATE OR AJCI_FECINI IS NULL OR AJCI_FECFIN IS NULL "
                 "ORDER BY AJCI_PORC, AJCI_FACTOR")) {
            std::string line;
            for (const char *column : {"AJCI_PORC", "AJCI_FACTOR", "AJCI_FECINI", "AJCI_FECFIN"})
                line += (line.empty() ? "" : " ") + row.at(column).value_or("null");
            rows.push_back(line);
        }
        return rows;
    }

    static VirtualDisplay *display_;
    static XClient *x_;
    CompanyDatabase company_;
    std::unique_ptr<ProgramOnDisplay> program_;
    WindowId window_ = 0;
};

VirtualDisplay *RealDisplay::display_ = nullptr;
XClient *RealDisplay::x_ = nullptr;

std::string today()
{
    const QDate day = QDate::currentDate();
    return day.toString(QStringLiteral("yyyy-MM-dd")).toStdString();
}

// Guards: Esc with the server list open closed only the list (the list is a window of its
// own and took the key), while only the point-of-sale list and a calendar keep the window open.
TEST_F(RealDisplay, EscClosesTheWindowUnlessThePointListOrACalendarIsOpen)
{
    start();
    logIn();
    shot("connected");
    // The day box's calendar (its button), then the point list (Alt+Down), each closed by Esc
    // alone.
    for (const char *drop : {"day calendar", "point list"}) {
        SCOPED_TRACE(drop);
        if (drop == std::string_view("day calendar")) {
            click(kDayButton);
        } else {
            x_->key("Tab");
            x_->key("alt+Down");
        }
        ASSERT_TRUE(waitUntil([&] { return x_->dropDownsShown() == 1; }));
        shot(std::string(drop) + "-open");
        x_->key("Escape");
        ASSERT_TRUE(waitUntil([&] { return x_->dropDownsShown() == 0; }));
        EXPECT_FALSE(program_->waitExit(500ms));
    }
    // A date cell's calendar in the rates grid.
    pressF5(true);
    openEditor(0, FDesde);
    x_->key("alt+Down");
    ASSERT_TRUE(waitUntil([&] { return x_->dropDownsShown() == 1; }));
    shot("cell calendar-open");
    x_->key("Escape");
    ASSERT_TRUE(waitUntil([&] { return x_->dropDownsShown() == 0; }));
    EXPECT_FALSE(program_->waitExit(500ms));
    pressF5(false);

    // The server list, dropped down by its button: with it open, Esc closes the window.
    click(kServerButton);
    ASSERT_TRUE(waitUntil([&] { return x_->dropDownsShown() == 1; }));
    shot("server list-open");
    EXPECT_EQ(escapeAndExit(), 0);
    EXPECT_EQ(messagesShown(), 0u);
}

// Guards: the Ctrl key's own press ended the incremental search, so Ctrl+Enter found nothing
// and Ctrl+F started a new search instead of opening the find dialog; and a search left
// running outlived the panel's save, close and reopening.
TEST_F(RealDisplay, IncrementalSearchTakesCtrlKeysAndEndsWithThePanel)
{
    start();
    logIn();
    pressF5(true);
    clickCell(0, Factor);
    x_->key("ctrl+f");
    x_->type("0"); // every factor reads 0.8: the first row is found
    ASSERT_TRUE(waitUntil([&] { return ratesRowAt(yellowInRates().center().y()) == 0; }));
    x_->key("ctrl+Return");
    EXPECT_TRUE(waitUntil([&] { return ratesRowAt(yellowInRates().center().y()) == 1; }));
    x_->key("ctrl+Return");
    EXPECT_TRUE(waitUntil([&] { return ratesRowAt(yellowInRates().center().y()) == 2; }));
    x_->key("ctrl+shift+Return");
    EXPECT_TRUE(waitUntil([&] { return ratesRowAt(yellowInRates().center().y()) == 1; }));
    shot("searching");
    // Backspace empties the search text: the cell's highlight goes, the yellow triangle of
    // the running search stays in the row indicator.
    x_->key("BackSpace");
    EXPECT_TRUE(waitUntil([&] { return yellowInRates().right() < kRatesGrid.left() + 16; }));
    EXPECT_FALSE(yellowInRates().isEmpty());
    // Ctrl+F during the search: the find dialog.
    x_->key("ctrl+f");
    EXPECT_TRUE(waitUntil([&] { return x_->windowsTitled("Find text").size() == 1; }));
    shot("find dialog");
    x_->key("Escape");
    EXPECT_TRUE(waitUntil([&] { return x_->windowsTitled("Find text").empty(); }));
    EXPECT_TRUE(waitUntil([&] { return yellowInRates().isEmpty(); }));

    // A search running when the panel is saved and closed ends with it. The grid has the
    // focus again once the window is active again.
    ASSERT_TRUE(waitUntil([&] { return x_->activeWindow() == window_; }));
    x_->key("ctrl+Home");
    ASSERT_TRUE(waitUntil([&] { return cellHighlighted(0, Factor); }));
    x_->key("ctrl+f");
    x_->type("0");
    ASSERT_TRUE(waitUntil([&] { return !yellowInRates().isEmpty(); }));
    pressF5(false);
    pressF5(true);
    EXPECT_TRUE(waitUntil([&] {
        return grab(QRect(ratesCell(0, Factor), QSize(1, 1))).pixel(0, 0) == qRgb(255, 255, 255);
    }));
    shot("reopened");
    EXPECT_TRUE(yellowInRates().isEmpty());
    EXPECT_EQ(escapeAndExit(), 0);
}

// Guards: one refused text showed two identical error boxes (the first box took the focus
// and the grid wrote the text again); Esc with unreadable typing showed the box before the
// window closed.
TEST_F(RealDisplay, ARefusedTextIsToldOnce)
{
    struct Case
    {
        const char *name;
        Column column;
        const char *typed;
        const char *leave; // the key that writes the typing
    };
    for (const Case c : {Case{"Tab", Factor, "1-2", "Tab"}, Case{"F5", Factor, "1-2", "F5"},
                         Case{"Up", FDesde, "1.5", "Up"}}) {
        SCOPED_TRACE(c.name);
        start();
        logIn();
        pressF5(true);
        clickCell(1, c.column);
        x_->type(c.typed);
        x_->key(c.leave);
        // The error box (its text cannot be copied on this display: it is the field's
        // failure text, which the offscreen tests assert).
        ASSERT_TRUE(waitUntil([&] { return messagesShown() == 1; }));
        shot(std::string(c.name) + "-box");
        x_->key("Return");
        ASSERT_TRUE(waitUntil([&] { return messagesShown() == 0; }));
        // No second box follows the first, and the panel stays with the typing.
        EXPECT_FALSE(waitUntil([&] { return messagesShown() > 0; }, 700ms));
        EXPECT_TRUE(ratesShown());
        EXPECT_EQ(escapeAndExit(), 0);
    }
}

// Guards: Esc with unreadable typing showed the box "'1' is not a valid date." before the
// window closed.
TEST_F(RealDisplay, EscWithUnreadableTypingClosesAtOnce)
{
    start();
    logIn();
    pressF5(true);
    clickCell(0, FDesde);
    x_->type("1");
    x_->key("Escape");
    EXPECT_EQ(program_->waitExit(3s), 0);
    EXPECT_EQ(messagesShown(), 0u);
}

// Guards: under a comma locale the comma was refused and "0,7" reached the database as 7.
// The factor typed is stored with F5 and posted with F2: the voucher's cost of the 19 %
// sales is their base times the typed factor.
class RealDisplayLocales : public RealDisplay, public ::testing::WithParamInterface<const char *>
{
};

TEST_P(RealDisplayLocales, TypedFactorIsStoredAndPosted)
{
    const std::string locale = GetParam();
    const std::string typed = locale == "C" ? "0.7" : "0,7";
    start(locale);
    logIn();
    choosePoint("Alm"); // Almacén Principal
    pressF5(true);
    shot("rates");
    clickCell(1, Factor); // the 19 % row
    x_->type(typed);
    shot("typed");
    x_->key("F2"); // saves and posts
    EXPECT_EQ(answerMessage(), "Comprobante contable correctamente generado.");
    EXPECT_EQ(escapeAndExit(), 0);

    EXPECT_EQ(storedRates(),
              (std::vector<std::string>{"0.0000 0.8000 " + today() + " " + today(),
                                        "5.0000 0.8000 " + today() + " " + today(),
                                        "19.0000 0.7000 " + today() + " " + today()}));
    const auto cost = company_.sql().query(
        "SELECT D.CMDE_DEBITO AS COSTO, (SELECT CAST(ROUND(SUM(I.FAIV_BASE) * 0.7, 2) AS "
        "NUMERIC(18,2)) FROM FACTURAS F JOIN FACTURAS_IVA I ON I.FACT_ID = F.FACT_ID "
        "WHERE F.COMP_ID = C.COMP_ID AND I.FAIV_PORC = 19) AS ESPERADO, C.COMP_ESTADO "
        "FROM COMPROBANTES C JOIN COMPROBANTES_DET D ON D.COMP_ID = C.COMP_ID "
        "WHERE C.COMP_FECHA = CURRENT_DATE AND D.CUEN_COD = '613524' AND D.CMDE_PORC = 19");
    ASSERT_EQ(cost.size(), 1u);
    EXPECT_EQ(cost[0].at("COSTO"), cost[0].at("ESPERADO"));
    EXPECT_NE(cost[0].at("COSTO"), "0.00");
}

INSTANTIATE_TEST_SUITE_P(Locales, RealDisplayLocales,
                         ::testing::Values("C", "es_CO.UTF-8", "es_ES.UTF-8"),
                         [](const auto &param) {
                             std::string name = param.param;
                             return name.substr(0, name.find('.'));
                         });

// Guards against the middle button pasting into a decimal cell what the field does not take:
// it pasted the X selection past the checks of typing and Ctrl+V ("SYSDBA" went into a
// factor's editor), and without putting the row in edit, so a paste the field takes was lost
// on saving.
TEST_F(RealDisplay, AMiddleButtonPasteGoesInWholeOrNotAtAll)
{
    start();
    logIn(true); // "SYSDBA" selected
    pressF5(true);
    openEditor(0, Factor);
    click(ratesCell(0, Factor), 2);
    shot("refused");
    x_->key("Tab"); // writes what was typed: nothing
    ASSERT_FALSE(waitUntil([&] { return messagesShown() > 0; }, 700ms));

    openEditor(1, Factor);
    x_->type("0.7");
    x_->key("shift+Left"); // "7" selected
    x_->key("Tab");
    openEditor(2, Factor);
    click(ratesCell(2, Factor), 2); // at the start of the right-aligned "0.8"
    shot("pasted");
    pressF5(false);
    EXPECT_EQ(escapeAndExit(), 0);
    EXPECT_EQ(storedRates(),
              (std::vector<std::string>{"0.0000 70.8000 " + today() + " " + today(),
                                        "5.0000 0.8000 " + today() + " " + today(),
                                        "19.0000 0.7000 " + today() + " " + today()}));
}

// Guards: a row added in the grid was stored without its dates, out of every day's reach.
// A date cell's calendar sets the day chosen.
TEST_F(RealDisplay, AddedRowsKeepTheDayAndACalendarSetsOne)
{
    start();
    logIn();
    pressF5(true);
    clickCell(2, FDesde);
    x_->key("Down"); // past the last row: appends one
    x_->key("Right");
    x_->key("Right");
    x_->type("7");
    x_->key("Tab");
    x_->type("0.5");
    x_->key("Return");
    shot("added");
    // The first row's "F.Hasta" moves one week on through its calendar.
    openEditor(0, FHasta);
    x_->key("ctrl+Return");
    ASSERT_TRUE(waitUntil([&] { return x_->dropDownsShown() == 1; }));
    x_->key("Down");
    x_->key("Return");
    ASSERT_TRUE(waitUntil([&] { return x_->dropDownsShown() == 0; }));
    shot("calendar day");
    pressF5(false);
    EXPECT_EQ(escapeAndExit(), 0);

    const std::string week =
        QDate::currentDate().addDays(7).toString(QStringLiteral("yyyy-MM-dd")).toStdString();
    EXPECT_EQ(storedRates(),
              (std::vector<std::string>{"0.0000 0.8000 " + today() + " " + today(),
                                        "5.0000 0.8000 " + today() + " " + week,
                                        "7.0000 0.5000 " + today() + " " + today(),
                                        "19.0000 0.8000 " + today() + " " + today()}));
}

// A posting that the database refuses lists its error rows; the find dialog searches them.
TEST_F(RealDisplay, FailedPostingListsErrorsAndTheFindDialogSearchesThem)
{
    start();
    logIn();
    choosePoint("Fer"); // Feria Artesanal: its interface lacks its accounts
    x_->key("F2");
    const std::string message = answerMessage();
    EXPECT_EQ(message.rfind("Se presentaron los siguientes errores en la contabilización:", 0), 0u)
        << message;
    shot("errors");
    const QImage before = grab(kErrorGrid);
    click(kErrorGrid.topLeft() + QPoint(60, 26)); // the first error row
    ASSERT_TRUE(waitUntil([&] { return !pixelsWhere(grab(kErrorGrid), isHighlight).isEmpty(); }));
    x_->key("ctrl+f");
    ASSERT_TRUE(waitUntil([&] { return x_->windowsTitled("Find text").size() == 1; }));
    x_->type("costo");
    x_->key("Return");
    shot("found");
    x_->key("Escape");
    ASSERT_TRUE(waitUntil([&] { return x_->windowsTitled("Find text").empty(); }));
    EXPECT_NE(grab(kErrorGrid), before);
    EXPECT_EQ(escapeAndExit(), 0);
}

// Guards against a window that ignored SIGTERM once connected (a logout or a shutdown sends
// it first): it closes as Esc does, an open box included, and the program ends with 0.
TEST_F(RealDisplay, SigtermClosesTheWindow)
{
    for (const bool withBox : {false, true}) {
        SCOPED_TRACE(withBox ? "an error box open" : "connected");
        start();
        logIn();
        if (withBox) {
            pressF5(true);
            clickCell(0, Factor);
            x_->type("1-2");
            x_->key("Tab");
            ASSERT_TRUE(waitUntil([&] { return messagesShown() == 1; }));
        }
        program_->sendSignal(SIGTERM);
        EXPECT_EQ(program_->waitExit(5s), 0);
    }
}

} // namespace
} // namespace kalmora::test
