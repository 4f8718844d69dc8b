// SPDX-License-Identifier: Apache-2.0
// The navigator bar as the user meets it: `DBNavigator1`'s seven buttons on a bar of the
// window's size, following `DAjuste` over rates read from a demo company, clicked and held
// with real mouse events offscreen.
#include "core/errors.h"
#include "data/company_fixture.h"
#include "grids/confirmation.h"
#include "grids/db_navigator.h"
#include "grids/failure_report.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QImage>
#include <QLineEdit>
#include <QStyle>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace kalmora::grids {
namespace {

// The glyph files themselves, to compare what the faces show with.
#include "../../src/grids/resources/dbncancel.xpm"
#include "../../src/grids/resources/dbndelete.xpm"
#include "../../src/grids/resources/dbnedit.xpm"
#include "../../src/grids/resources/dbnfirst.xpm"
#include "../../src/grids/resources/dbninsert.xpm"
#include "../../src/grids/resources/dbnlast.xpm"
#include "../../src/grids/resources/dbnnext.xpm"
#include "../../src/grids/resources/dbnpost.xpm"
#include "../../src/grids/resources/dbnprior.xpm"
#include "../../src/grids/resources/dbnrefresh.xpm"

using Button = DBNavigator::Button;
using data::DataSetState;

const std::vector<Button> kVisible{Button::First,  Button::Prior,  Button::Next,  Button::Last,
                                   Button::Insert, Button::Delete, Button::Cancel};

class NavigatorTest : public test::CompanyTest
{
protected:
    void SetUp() override
    {
        CompanyTest::SetUp();
        setConfirmation([this](const QString &text) {
            questions.push_back(text);
            return answer;
        });
        host = std::make_unique<QWidget>();
        host->resize(305, 80);
        editor = new QLineEdit(host.get());
        editor->setGeometry(0, 0, 100, 21);
        nextEditor = new QLineEdit(host.get());
        nextEditor->setGeometry(110, 0, 100, 21);
        bar = new DBNavigator(host.get());
        bar->setVisibleButtons(kVisible);
        bar->setGeometry(1, 42, 303, 18);
        bar->setDataSource(&dm->DAjuste);
        host->show();
        host->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(host.get()));
        editor->setFocus();
    }

    void TearDown() override
    {
        host.reset(); // the bar goes before the data source it watches
        setConfirmation({});
        CompanyTest::TearDown();
    }

    /// Rates with ids 1 to `count`, opened.
    void openRates(int count)
    {
        std::vector<std::string> rows;
        for (int id = 1; id <= count; ++id)
            rows.push_back(std::to_string(id) + ", DATE '2026-12-10', DATE '2026-12-10', 0, 0.8");
        setRates(rows);
        rates().open();
    }

    data::TClientDataSet &rates() { return dm->CAjuste; }
    QToolButton *button(Button which) const { return bar->button(which); }
    void click(Button which) { QTest::mouseClick(button(which), Qt::LeftButton); }

    /// The names of the enabled buttons among the seven shown, left to right.
    std::string enabled() const
    {
        std::string names;
        for (Button which : kVisible) {
            if (!bar->button(which)->isEnabled())
                continue;
            if (!names.empty())
                names += ' ';
            names += bar->button(which)->objectName().toStdString();
        }
        return names;
    }

    std::unique_ptr<QWidget> host;
    QLineEdit *editor = nullptr;
    QLineEdit *nextEditor = nullptr;
    DBNavigator *bar = nullptr;
    std::vector<QString> questions;
    bool answer = false;
};

// Guards the width sharing on the window's bar: the pixels left over go to the second and the
// sixth button; the hidden buttons stay out of sight.
TEST_F(NavigatorTest, SevenButtonsShareTheBarsWidth)
{
    std::vector<int> widths;
    int x = 0;
    for (Button which : kVisible) {
        const QRect place = button(which)->geometry();
        EXPECT_EQ(place.x(), x) << button(which)->objectName().toStdString();
        EXPECT_EQ(place.top(), 0);
        EXPECT_EQ(place.height(), 18);
        EXPECT_TRUE(button(which)->isVisible());
        widths.push_back(place.width());
        x += place.width();
    }
    EXPECT_EQ(widths, (std::vector<int>{43, 44, 43, 43, 43, 44, 43}));
    for (Button hidden : {Button::Edit, Button::Post, Button::Refresh}) {
        EXPECT_FALSE(button(hidden)->isVisible());
        EXPECT_GT(button(hidden)->x(), bar->width());
    }
}

// Guards the enabling rules along a walk through three rows: the beginning ends with any step
// that moves and comes back only with nbFirst or a step back that finds no row; the end
// likewise with nbLast; a new row enables nbCancel until it is cancelled.
TEST_F(NavigatorTest, ButtonsFollowThePositionAndTheEditingState)
{
    openRates(3);
    const std::string all = "nbFirst nbPrior nbNext nbLast nbInsert nbDelete";
    EXPECT_EQ(enabled(), "nbNext nbLast nbInsert nbDelete");
    EXPECT_EQ(rates().recNo(), 0);
    const struct
    {
        Button click;
        int row;
        std::string enabled;
    } steps[] = {
        {Button::Next, 1, all},
        {Button::Prior, 0, all}, // back on the first row, still not at the beginning
        {Button::Prior, 0, "nbNext nbLast nbInsert nbDelete"},
        {Button::Last, 2, "nbFirst nbPrior nbInsert nbDelete"},
        {Button::Prior, 1, all},
        {Button::Next, 2, all},
        {Button::Next, 2, "nbFirst nbPrior nbInsert nbDelete"},
        {Button::First, 0, "nbNext nbLast nbInsert nbDelete"},
        {Button::Insert, 0, all + " nbCancel"},
        {Button::Cancel, 0, all},
    };
    for (const auto &step : steps) {
        const std::string name = button(step.click)->objectName().toStdString();
        click(step.click);
        EXPECT_EQ(rates().recNo(), step.row) << "after " << name;
        EXPECT_EQ(enabled(), step.enabled) << "after " << name;
    }
    EXPECT_EQ(rates().recordCount(), 3);
    EXPECT_EQ(rates().state(), DataSetState::dsBrowse);
    EXPECT_EQ(rates().changeCount(), 0);
}

// Guards the empty data set: only nbInsert; the new row adds nbCancel but gives nothing to
// move to or delete, and nbCancel takes it away again.
TEST_F(NavigatorTest, EmptyDataSetOffersOnlyInsert)
{
    openRates(0);
    EXPECT_EQ(enabled(), "nbInsert");
    click(Button::Insert);
    EXPECT_EQ(rates().state(), DataSetState::dsInsert);
    EXPECT_EQ(rates().recordCount(), 1);
    EXPECT_EQ(enabled(), "nbInsert nbCancel");
    click(Button::Cancel);
    EXPECT_EQ(rates().state(), DataSetState::dsBrowse);
    EXPECT_EQ(rates().recordCount(), 0);
    EXPECT_EQ(enabled(), "nbInsert");
}

// Guards "everything disabled" whenever there is nothing to act on: no data source, a closed
// data set, a read-only one (moving only), the bar or its parent disabled; and the buttons
// coming back when that ends.
TEST_F(NavigatorTest, NothingIsEnabledWhileClosedOrDisabled)
{
    EXPECT_EQ(enabled(), "");
    openRates(2);
    const std::string open = "nbNext nbLast nbInsert nbDelete";
    EXPECT_EQ(enabled(), open);

    for (QWidget *disabled : {static_cast<QWidget *>(bar), host.get()}) {
        disabled->setEnabled(false);
        EXPECT_EQ(enabled(), "") << disabled->metaObject()->className();
        disabled->setEnabled(true);
        EXPECT_EQ(enabled(), open) << disabled->metaObject()->className();
    }
    bar->setDataSource(nullptr);
    EXPECT_EQ(enabled(), "");
    bar->setDataSource(&dm->DAjuste);
    EXPECT_EQ(enabled(), open);

    rates().close();
    EXPECT_EQ(enabled(), "");
    click(Button::Next); // a disabled button does nothing
    EXPECT_FALSE(rates().active());

    rates().setReadOnly(true);
    rates().open();
    EXPECT_EQ(enabled(), "nbNext nbLast");
}

// Guards the delete confirmation: "Cancel" leaves every row, "OK" deletes the current one,
// and with ConfirmDelete off nothing is asked.
TEST_F(NavigatorTest, DeleteAsksFirst)
{
    openRates(3);
    click(Button::Next);
    const std::int64_t second = dm->CAjusteAJCI_ID->asInteger();

    answer = false;
    click(Button::Delete);
    EXPECT_EQ(questions, (std::vector<QString>{QStringLiteral("Delete record?")}));
    EXPECT_EQ(rates().recordCount(), 3);
    EXPECT_EQ(rates().changeCount(), 0);
    EXPECT_EQ(dm->CAjusteAJCI_ID->asInteger(), second);

    answer = true;
    click(Button::Delete);
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(rates().recordCount(), 2);
    EXPECT_EQ(rates().changeCount(), 1);
    EXPECT_NE(dm->CAjusteAJCI_ID->asInteger(), second);

    EXPECT_TRUE(bar->confirmDelete());
    bar->setConfirmDelete(false);
    answer = false;
    click(Button::Delete);
    EXPECT_EQ(questions.size(), 2u);
    EXPECT_EQ(rates().recordCount(), 1);
}

// Guards the repeat of a held nbNext: nothing before 400 ms, then a row about every 100 ms,
// one more on release over the button, and nothing after the release.
TEST_F(NavigatorTest, HeldNextRepeatsUntilReleased)
{
    openRates(20);
    QToolButton *next = button(Button::Next);
    QElapsedTimer clock;
    clock.start();
    QTest::mousePress(next, Qt::LeftButton);
    EXPECT_TRUE(next->isDown());
    QTest::qWait(300);
    EXPECT_EQ(rates().recNo(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rates().recNo() == 1; }, 2000));
    EXPECT_GE(clock.elapsed(), DBNavigator::kRepeatDelay);

    QTest::qWait(350);
    const int held = rates().recNo();
    EXPECT_GE(held, 3); // two more at least, at 100 ms
    EXPECT_LE(held, 5);
    QTest::mouseRelease(next, Qt::LeftButton);
    EXPECT_EQ(rates().recNo(), held + 1);
    EXPECT_FALSE(next->isDown());
    QTest::qWait(150);
    EXPECT_EQ(rates().recNo(), held + 1);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

// Guards the end of a repeat: a held nbPrior stops at the beginning, where it is disabled, and
// its release over the disabled button does nothing more.
TEST_F(NavigatorTest, HeldPriorStopsAtTheBeginning)
{
    openRates(3);
    click(Button::Last);
    QToolButton *prior = button(Button::Prior);
    QTest::mousePress(prior, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !prior->isEnabled(); }, 2000));
    EXPECT_EQ(rates().recNo(), 0);
    EXPECT_TRUE(rates().bof());
    QTest::qWait(150);
    QTest::mouseRelease(prior, Qt::LeftButton);
    EXPECT_EQ(rates().recNo(), 0);
    EXPECT_EQ(enabled(), "nbNext nbLast nbInsert nbDelete");
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

// Guards that only nbPrior and nbNext repeat: a held nbDelete deletes once, on release.
TEST_F(NavigatorTest, OtherButtonsActOnceOnRelease)
{
    openRates(5);
    bar->setConfirmDelete(false);
    QTest::mousePress(button(Button::Delete), Qt::LeftButton);
    QTest::qWait(DBNavigator::kRepeatDelay + 2 * DBNavigator::kRepeatInterval);
    EXPECT_EQ(rates().recordCount(), 5);
    QTest::mouseRelease(button(Button::Delete), Qt::LeftButton);
    EXPECT_EQ(rates().recordCount(), 4);
}

// Guards the recount after a refused action: the insert fails on a data set made read-only
// behind the bar's back, which tells no one, yet the bar shows what the data set allows now.
TEST_F(NavigatorTest, RefusedActionLeavesTheButtonsRecomputed)
{
    openRates(2);
    rates().setReadOnly(true);
    EXPECT_TRUE(button(Button::Insert)->isEnabled());
    std::string reported;
    grids::setFailureReport([&](std::exception_ptr failure) {
        try {
            std::rethrow_exception(failure);
        } catch (const core::EDatabaseError &refused) {
            reported = refused.message();
        }
    });
    click(Button::Insert);
    grids::setFailureReport({});
    EXPECT_EQ(reported, "CAjuste: Cannot modify a read-only dataset");
    EXPECT_EQ(rates().state(), DataSetState::dsBrowse);
    EXPECT_EQ(enabled(), "nbNext nbLast");
}

// Guards the bar's manners: a click leaves the keyboard focus where it was, Tab never lands
// on it, and the hints are there but never pop up.
TEST_F(NavigatorTest, NeverTakesTheFocusNorShowsHints)
{
    openRates(3);
    click(Button::Next);
    EXPECT_EQ(rates().recNo(), 1);
    EXPECT_EQ(QApplication::focusWidget(), editor);
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), nextEditor);

    const char *hints[] = {"First record",  "Prior record",  "Next record", "Last record",
                           "Insert record", "Delete record", "Edit record", "Post edit",
                           "Cancel edit",   "Refresh data"};
    for (int i = 0; i < DBNavigator::kButtonCount; ++i)
        EXPECT_EQ(button(Button(i))->toolTip(), QString::fromLatin1(hints[i]));
    QToolButton *next = button(Button::Next);
    QHelpEvent help(QEvent::ToolTip, next->rect().center(), next->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(next, &help);
    EXPECT_FALSE(QToolTip::isVisible());
}

/// Pixels of `face` as grabbed that differ from `glyph` drawn at `origin` on the button
/// colour (its transparent pixels show the face).
int glyphPixelsDiffering(QToolButton *face, const QImage &glyph, QPoint origin)
{
    const QImage shown = face->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb faceColour = face->palette().color(QPalette::Button).rgb();
    int differing = 0;
    for (int y = 0; y < glyph.height(); ++y)
        for (int x = 0; x < glyph.width(); ++x) {
            const QRgb pixel = glyph.pixel(x, y);
            const QRgb expected = qAlpha(pixel) ? pixel : faceColour;
            differing += shown.pixel(origin + QPoint(x, y)) != expected;
        }
    return differing;
}

// Guards the glyphs: each button face shows its own image centred, the normal one while
// enabled and the disabled one while disabled; prior and next are narrower; held down, the
// face looks pressed and the glyph moves with it.
TEST_F(NavigatorTest, FacesShowTheirGlyphsCentred)
{
    const char *files[] = {"dbnfirst",  "dbnprior", "dbnnext", "dbnlast",   "dbninsert",
                           "dbndelete", "dbnedit",  "dbnpost", "dbncancel", "dbnrefresh"};
    for (int i = 0; i < DBNavigator::kButtonCount; ++i) {
        const bool narrow = Button(i) == Button::Prior || Button(i) == Button::Next;
        EXPECT_EQ(button(Button(i))->iconSize(), QSize(narrow ? 10 : 14, 13)) << files[i];
    }
    openRates(3);
    const char *const *xpms[] = {DBNFIRST,  DBNPRIOR, DBNNEXT, DBNLAST,   DBNINSERT,
                                 DBNDELETE, DBNEDIT,  DBNPOST, DBNCANCEL, DBNREFRESH};
    const auto glyphOf = [&](Button which, bool enabled) {
        const QImage both = QImage(xpms[int(which)]).convertToFormat(QImage::Format_ARGB32);
        const int width = both.width() / 2;
        return both.copy(enabled ? 0 : width, 0, width, both.height());
    };
    const auto centred = [](QToolButton *face, const QImage &glyph) {
        return QPoint((face->width() - glyph.width()) / 2, (face->height() - glyph.height()) / 2);
    };
    for (Button which : kVisible) {
        QToolButton *face = button(which);
        const QImage glyph = glyphOf(which, face->isEnabled());
        EXPECT_EQ(glyphPixelsDiffering(face, glyph, centred(face, glyph)), 0)
            << files[int(which)] << (face->isEnabled() ? " enabled" : " disabled");
    }

    QToolButton *insert = button(Button::Insert);
    const QImage raised = insert->grab().toImage();
    QTest::mousePress(insert, Qt::LeftButton);
    const QImage glyph = glyphOf(Button::Insert, true);
    const QPoint shift(insert->style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal),
                       insert->style()->pixelMetric(QStyle::PM_ButtonShiftVertical));
    EXPECT_FALSE(insert->grab().toImage() == raised);
    EXPECT_EQ(glyphPixelsDiffering(insert, glyph, centred(insert, glyph) + shift), 0);
    QTest::mouseRelease(insert, Qt::LeftButton);
    EXPECT_TRUE(insert->grab().toImage() == raised);
}

} // namespace
} // namespace kalmora::grids
