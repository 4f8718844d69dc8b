// SPDX-License-Identifier: Apache-2.0
// The navigator bar under the program's application object, over a demo company's rates: its
// delete question goes to the confirmation dialog and its failures, clicked or repeated, to
// the error box.
#include "data/company_fixture.h"
#include "grids/db_navigator.h"
#include "app/message_seam.h"

#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

namespace kalmora::app {
namespace {

using Button = grids::DBNavigator::Button;

class NavigatorMessagesTest : public test::CompanyTest
{
protected:
    void SetUp() override
    {
        CompanyTest::SetUp();
        host = std::make_unique<QWidget>();
        host->resize(305, 40);
        bar = new grids::DBNavigator(host.get());
        bar->setVisibleButtons({Button::First, Button::Prior, Button::Next, Button::Last,
                                Button::Insert, Button::Delete, Button::Cancel});
        bar->setGeometry(1, 10, 303, 18);
        bar->setDataSource(&dm->DAjuste);
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
        setRates({"1, DATE '2026-12-10', DATE '2026-12-10', 0, 0.8",
                  "2, DATE '2026-12-10', DATE '2026-12-10', 19, 0.8",
                  "3, DATE '2026-12-10', DATE '2026-12-10', 5, 0.8"});
        rates().open();
    }

    void TearDown() override
    {
        host.reset();
        CompanyTest::TearDown();
    }

    data::TClientDataSet &rates() { return dm->CAjuste; }
    QToolButton *button(Button which) const { return bar->button(which); }
    void click(Button which) { QTest::mouseClick(button(which), Qt::LeftButton); }

    MessageRecorder recorder;
    std::unique_ptr<QWidget> host;
    grids::DBNavigator *bar = nullptr;
};

// Guards the wiring of the question: the application's confirmation dialog asks, and only
// its "OK" deletes.
TEST_F(NavigatorMessagesTest, DeleteAsksInTheConfirmationDialog)
{
    click(Button::Delete);
    EXPECT_EQ(recorder.shown(), (std::vector<ShownMessage>{{MessageWindow::Confirmation,
                                                            QStringLiteral("Delete record?")}}));
    EXPECT_EQ(rates().recordCount(), 3);

    recorder.setConfirmAnswer(true);
    click(Button::Delete);
    EXPECT_EQ(recorder.shown().size(), 2u);
    EXPECT_EQ(rates().recordCount(), 2);
}

// Guards a refused click: its failure reaches the error box and the buttons show what the
// data set allows afterwards.
TEST_F(NavigatorMessagesTest, RefusedClickIsShownInTheErrorBox)
{
    rates().setReadOnly(true);
    click(Button::Insert);
    EXPECT_EQ(recorder.shown(),
              (std::vector<ShownMessage>{
                  {MessageWindow::ErrorBox,
                   QStringLiteral("CAjuste: Cannot modify a read-only dataset.")}}));
    EXPECT_FALSE(button(Button::Insert)->isEnabled());
    EXPECT_EQ(rates().state(), data::DataSetState::dsBrowse);
}

// Guards a failure while nbNext repeats (a new row that cannot be posted): it is shown once,
// the repeating stops, the button comes up, and the release clicks no more.
TEST_F(NavigatorMessagesTest, FailedRepeatIsShownOnceAndStops)
{
    click(Button::Next);
    click(Button::Insert);
    dm->CAjusteAJCI_ID->setValue(core::Value{}); // a row without its key cannot be posted
    dm->CAjusteAJCI_PORC->setAsString("3");
    QToolButton *next = button(Button::Next);
    ASSERT_TRUE(next->isEnabled());

    QTest::mousePress(next, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !recorder.shown().empty(); }, 2000));
    QTest::qWait(3 * grids::DBNavigator::kRepeatInterval);
    const std::vector<ShownMessage> once{
        {MessageWindow::ErrorBox, QStringLiteral("Field 'AJCI_ID' must have a value.")}};
    EXPECT_EQ(recorder.shown(), once);
    EXPECT_FALSE(next->isDown());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

    QTest::mouseRelease(next, Qt::LeftButton);
    EXPECT_EQ(recorder.shown(), once);
    EXPECT_EQ(rates().state(), data::DataSetState::dsInsert);
    EXPECT_TRUE(button(Button::Cancel)->isEnabled());
}

} // namespace
} // namespace kalmora::app
