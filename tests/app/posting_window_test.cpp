// SPDX-License-Identifier: Apache-2.0
// The main job through the main window on a demo company: the login typed and the company
// box left connects; a point chosen in `Pto` and the execute button (or F2) post the day of
// `EFecIni`; what the user is told, what the error grid lists, and what reaches the database.
#include "data/client_data_set.h"
#include "data/field.h"
#include "company/data_module.h"
#include "grids/db_grid_eh.h"
#include "grids/find_dialog.h"
#include "widgets/bevel_panel.h"
#include "widgets/lookup_box.h"
#include "company_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace kalmora::test {
namespace {

using app::MessageWindow;

const QString kGenerated = QStringLiteral("Comprobante contable correctamente generado.");
const QString kNothingPosted = QStringLiteral("No se pudo contabilizar las facturas.");
const QString kChoosePoint = QStringLiteral("Seleccione el punto de venta.");

class PostingWindowTest : public CompanyWindowTest
{
protected:
    widgets::LookupBox *box() const { return find<widgets::LookupBox>("Pto"); }
    /// Connects and chooses the point whose name begins with `prefix` by typing it in `Pto`.
    void connectAndChoose(const QString &prefix)
    {
        connect();
        press(Qt::Key_Tab);
        ASSERT_EQ(focusName(), QStringLiteral("Pto"));
        type(prefix);
    }
    void clickExecute() { QTest::mouseClick(find("SpeedButton3"), Qt::LeftButton); }

    /// The vouchers of a point: "state|numbered|prefix|day".
    static std::vector<std::string> vouchersOf(int point)
    {
        return rowsOf("select trim(comp_estado), iif(comp_numero is null, 0, 1), pref_pre, "
                      "comp_fecha from comprobantes where ptvt_id = " +
                      std::to_string(point) + " order by comp_id");
    }
    /// Whether every voucher of the point has lines and its debits equal its credits.
    static std::vector<std::string> balanceOf(int point)
    {
        return rowsOf("select iif(sum(d.cmde_debito) = sum(d.cmde_credito) and "
                      "sum(d.cmde_debito) > 0, 1, 0) from comprobantes c join comprobantes_det "
                      "d on d.comp_id = c.comp_id where c.ptvt_id = " +
                      std::to_string(point) + " group by c.comp_id order by c.comp_id");
    }
    static std::string iso(const QDate &day) { return day.toString(Qt::ISODate).toStdString(); }
};

// Guards against a connect step that the window does not start, or that leaves the day,
// the execute button, the busy panel, the focus or the cursor wrong.
TEST_F(PostingWindowTest, TypingTheLoginAndLeavingTheCompanyConnects)
{
    connect();
    const QDate today = QDate::currentDate();
    auto *day = find<QDateEdit>("EFecIni");
    EXPECT_TRUE(day->isEnabled());
    EXPECT_EQ(day->date(), today);
    EXPECT_EQ(day->text(), today.toString(QStringLiteral("dd/MM/yyyy")));
    EXPECT_EQ(focusName(), QStringLiteral("EFecIni"));
    EXPECT_TRUE(find("SpeedButton3")->isEnabled());
    auto *busy = find<widgets::BevelPanel>("Panel5");
    EXPECT_FALSE(busy->isVisible());
    EXPECT_EQ(busy->caption(), QStringLiteral("Conectando a la base de datos DEMO ..."));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(box()->hasList());
    EXPECT_EQ(box()->text(), QString());
    EXPECT_TRUE(recorder.shown().empty());

    // Closing the window closes the points.
    press(Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->dataModule().CPuntos.active());
}

// Guards against a failed connect that is swallowed, hides the busy panel, leaves the
// hourglass up or enables the day and the execute button; and against a connect with half a
// login.
TEST_F(PostingWindowTest, AFailedConnectShowsTheFailureAndKeepsTheControlsAsTheyWere)
{
    find("Tusua")->setFocus();
    type(QStringLiteral("SYSDBA"));
    press(Qt::Key_Tab);
    press(Qt::Key_Tab); // no password
    type(QStringLiteral("NOPE"));
    press(Qt::Key_Tab);
    auto *busy = find<widgets::BevelPanel>("Panel5");
    EXPECT_FALSE(busy->isVisible());
    EXPECT_TRUE(recorder.shown().empty());

    connect(QStringLiteral("NOPE"));
    const QString database =
        QString::fromStdString(company().serverEntry() + "/datos/NOPE/kalmora.fdb");
    EXPECT_EQ(
        shown(MessageWindow::ErrorBox),
        QStringList{
            QStringLiteral("dbExpress Error: [0x0015]: Connection failed\r\nSQL Server "
                           "Error: I/O error during \"open\" operation for file \"") +
            database +
            QStringLiteral("\"\n-Error while trying to open file\n-No such file or directory.")});
    EXPECT_TRUE(busy->isVisible());
    EXPECT_EQ(busy->caption(), QStringLiteral("Conectando a la base de datos NOPE ..."));
    EXPECT_FALSE(find("EFecIni")->isEnabled());
    EXPECT_FALSE(find("SpeedButton3")->isEnabled());
    EXPECT_FALSE(box()->hasList());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Leaving the company box again retries.
    auto *code = find<QLineEdit>("Cia");
    code->setFocus();
    code->clear();
    type(QStringLiteral("DEMO"));
    press(Qt::Key_Tab);
    EXPECT_EQ(shown(MessageWindow::ErrorBox).size(), 1);
    EXPECT_FALSE(busy->isVisible());
    EXPECT_TRUE(find("SpeedButton3")->isEnabled());
    EXPECT_EQ(focusName(), QStringLiteral("EFecIni"));
}

// Guards against a posting that leaves the voucher pending or unbalanced, posts the same
// invoices twice, or tells the user something else than what happened.
TEST_F(PostingWindowTest, ExecutingGeneratesABalancedVoucherOnceForTheChosenPoint)
{
    connectAndChoose(QStringLiteral("alm"));
    ASSERT_EQ(box()->text(), QStringLiteral("Almacén Principal"));

    clickExecute();
    EXPECT_EQ(shown(MessageWindow::PlainMessage), QStringList{kGenerated});
    EXPECT_FALSE(find("Panel5")->isVisible());
    const std::string today = iso(QDate::currentDate());
    EXPECT_EQ(vouchersOf(1), std::vector<std::string>{"D|1|PPAL|" + today});
    EXPECT_EQ(balanceOf(1), std::vector<std::string>{"1"});

    clickExecute();
    EXPECT_EQ(shown(MessageWindow::PlainMessage), (QStringList{kGenerated, kNothingPosted}));
    EXPECT_EQ(vouchersOf(1).size(), 1u);
    EXPECT_TRUE(shown(MessageWindow::ErrorBox).isEmpty());
    EXPECT_FALSE(find("DBGridEh1")->isEnabled());
}

// Guards against a prefix with a single quote breaking the statements, and against a day
// typed into the date picker that does not reach the posting.
TEST_F(PostingWindowTest, APrefixWithAQuotePostsTheDayTypedInTheDatePicker)
{
    connect();
    const QDate yesterday = QDate::currentDate().addDays(-1);
    type(yesterday.toString(QStringLiteral("ddMMyyyy")));
    ASSERT_EQ(find<QDateEdit>("EFecIni")->date(), yesterday);
    press(Qt::Key_Tab);
    for (int i = 0; i < 3; ++i) // none chosen: the first point, then the next two
        press(Qt::Key_Down);
    ASSERT_EQ(box()->text(), QStringLiteral("Kiosco Norte"));

    press(Qt::Key_F2);
    EXPECT_EQ(shown(MessageWindow::PlainMessage), QStringList{kGenerated});
    EXPECT_EQ(vouchersOf(3), std::vector<std::string>{"D|1|K'N|" + iso(yesterday)});
    EXPECT_EQ(balanceOf(3), std::vector<std::string>{"1"});
}

// Guards against a failed posting whose message, grid state or interface name is wrong.
TEST_F(PostingWindowTest, AnInterfaceWithoutAccountsListsItsErrorRows)
{
    connectAndChoose(QStringLiteral("fer"));
    ASSERT_EQ(box()->text(), QStringLiteral("Feria Artesanal"));

    clickExecute();
    EXPECT_EQ(
        shown(MessageWindow::PlainMessage),
        QStringList{QStringLiteral("Se presentaron los siguientes errores en la contabilización:\r"
                                   "Verifique la definición de la interfaz relacionada")});
    auto *grid = find<grids::DBGridEh>("DBGridEh1");
    EXPECT_TRUE(grid->isEnabled());
    ASSERT_EQ(grid->columnCount(), 3);
    EXPECT_EQ((QStringList{grid->columnTitle(0), grid->columnTitle(1), grid->columnTitle(2)}),
              (QStringList{QStringLiteral("Descripción"), QStringLiteral("Valor"),
                           QStringLiteral("INTERFAZ")}));
    // The procedure's heading row and one row for each thing the interface lacks.
    ASSERT_GT(grid->rowCount(), 1);
    QStringList descriptions;
    for (int row = 0; row < grid->rowCount(); ++row) {
        EXPECT_EQ(grid->cellText(row, 2), QStringLiteral("Contado Feria D'Artesanos"));
        descriptions << grid->cellText(row, 0);
    }
    EXPECT_TRUE(descriptions.contains(QStringLiteral("Ventas de contado")));
    EXPECT_TRUE(descriptions.contains(QStringLiteral("Falta cuenta de caja")));
    EXPECT_TRUE(vouchersOf(4).empty());
}

// Guards the find dialog over the error list of a failed posting: Ctrl+F, a word of the
// descriptions and Enter go to the first row holding it, Enter again to the next, and a text
// found nowhere leaves the grid where it was and the dialog open.
TEST_F(PostingWindowTest, TheFindDialogStepsThroughTheErrorList)
{
    connectAndChoose(QStringLiteral("fer"));
    clickExecute();
    auto *grid = find<grids::DBGridEh>("DBGridEh1");
    std::vector<int> holding;
    for (int row = 0; row < grid->rowCount(); ++row)
        if (grid->cellText(row, 0).contains(QStringLiteral("cuenta"), Qt::CaseInsensitive))
            holding.push_back(row);
    ASSERT_GE(holding.size(), 2u);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->cellRect(0, 0).center());
    ASSERT_EQ(focusName(), QStringLiteral("DBGridEh1"));

    bool ran = false;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<grids::TDBGridEhFindDlg *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Find text"));
        QWidget *text = dialog->cbText->lineEdit();
        QTest::keyClicks(text, QStringLiteral("CUENTA"));
        QTest::keyClick(text, Qt::Key_Return);
        EXPECT_EQ(grid->currentRow(), holding[0]);
        EXPECT_EQ(grid->focusedColumn(), 0);
        QTest::keyClick(text, Qt::Key_Return);
        EXPECT_EQ(grid->currentRow(), holding[1]);
        QTest::keyClick(text, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(text, QStringLiteral("nowhere"));
        QTest::keyClick(text, Qt::Key_Return);
        EXPECT_EQ(grid->currentRow(), holding[1]);
        EXPECT_TRUE(dialog->isVisible());
        ran = true;
        QTest::keyClick(text, Qt::Key_Escape);
        dialog->reject(); // in case Esc did not reach it: the test must not hang
    });
    // Straight to the grid: a key sent through the window lets the timer run before it.
    QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(ran);
    EXPECT_EQ(grid->currentRow(), holding[1]);
}

// Guards against a posting call that the server rejects being swallowed or reported as an
// outcome: the failure reaches the error box and the run stops where it failed.
TEST_F(PostingWindowTest, ACallTheServerRejectsReachesTheErrorBox)
{
    execute("create or alter procedure contabil_facturas_contado (fecha varchar(100), "
            "nit varchar(100), prefijo varchar(100), punto integer, interfaz integer) "
            "returns (ver char(1), idc integer, error integer) as begin "
            "exception e_comprobante 'Posteo rechazado'; suspend; end");
    connectAndChoose(QStringLiteral("ti"));
    ASSERT_EQ(box()->text(), QStringLiteral("Tienda D'Angelo"));

    clickExecute();
    const QStringList failures = shown(MessageWindow::ErrorBox);
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures[0].startsWith(QStringLiteral("SQL Server Error: ")))
        << failures[0].toStdString();
    EXPECT_TRUE(failures[0].contains(QStringLiteral("Posteo rechazado")))
        << failures[0].toStdString();
    EXPECT_TRUE(shown(MessageWindow::PlainMessage).isEmpty());
    EXPECT_TRUE(find("Panel5")->isVisible());
    EXPECT_TRUE(vouchersOf(2).empty());
}

// Guards against posting whichever point happens to be current when none is chosen, with
// the button or with F2 while the button is still greyed.
TEST_F(PostingWindowTest, WithoutAChosenPointNothingIsPosted)
{
    ASSERT_FALSE(find("SpeedButton3")->isEnabled());
    press(Qt::Key_F2);
    connect();
    clickExecute();
    EXPECT_EQ(shown(MessageWindow::PlainMessage), (QStringList{kChoosePoint, kChoosePoint}));
    EXPECT_TRUE(shown(MessageWindow::ErrorBox).isEmpty());
    EXPECT_EQ(rowsOf("select count(*) from comprobantes where ptvt_id = 2"),
              std::vector<std::string>{"0"});
}

} // namespace
} // namespace kalmora::test
