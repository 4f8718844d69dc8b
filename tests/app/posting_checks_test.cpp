// SPDX-License-Identifier: Apache-2.0
// The posting run's safeguards through the main window on a demo company: the day posted is
// the day shown whatever order the company reads days in, a company code cannot lead out of
// the server's datos/ folder, a day another workstation is posting is told plainly, and a
// call without a cash customer fails where the user sees it.
#include "core/date_format.h"
#include "data/sql_connection.h"
#include "company/data_module.h"
#include "widgets/bevel_panel.h"
#include "widgets/date_picker.h"
#include "widgets/lookup_box.h"
#include "company_window.h"

#include <QDateEdit>
#include <QLineEdit>
#include <QTest>
#include <filesystem>

namespace kalmora::test {
namespace {

using app::MessageWindow;

const QString kGenerated = QStringLiteral("Comprobante contable correctamente generado.");
const QString kNothingPosted = QStringLiteral("No se pudo contabilizar las facturas.");
const QString kPostedElsewhere =
    QStringLiteral("Las ventas de este día y punto de venta las está contabilizando o ya las "
                   "contabilizó otra estación de trabajo.");

class PostingChecksTest : public CompanyWindowTest
{
protected:
    /// The two newest demo days on 10 December 2026 and 12 October 2026.
    static void SetUpTestSuite()
    {
        CompanyWindowTest::SetUpTestSuite();
        company().pinTwoNewestDays();
    }

    /// The workstation's short date becomes `pattern`, as after a change of regional
    /// settings.
    void useDatePattern(const char *pattern)
    {
        core::DateSettings settings = core::currentDateSettings();
        settings.shortPattern = pattern;
        core::setCurrentDateSettings(settings);
        find<widgets::DatePicker>("EFecIni")->applyDateSettings(settings);
    }
    widgets::LookupBox *box() const { return find<widgets::LookupBox>("Pto"); }
    /// Connects, sets the day in the date picker and chooses the point whose name begins
    /// with `prefix`.
    void connectAndChoose(const QDate &day, const QString &prefix)
    {
        connect();
        auto *picker = find<QDateEdit>("EFecIni");
        picker->setDate(day);
        ASSERT_EQ(picker->date(), day);
        press(Qt::Key_Tab);
        ASSERT_EQ(focusName(), QStringLiteral("Pto"));
        type(prefix);
    }
    /// The vouchers of a point: "state|day".
    static std::vector<std::string> vouchersOf(int point)
    {
        return rowsOf("select trim(comp_estado), comp_fecha from comprobantes where ptvt_id = " +
                      std::to_string(point) + " order by comp_id");
    }
};

// Guards against posting another day than the one the date picker shows when the company
// reads days in another order than the workstation writes them: a month-first workstation
// typing 12/10/26 in a day-first company posts 10 December, not 12 October.
TEST_F(PostingChecksTest, AMonthFirstWorkstationPostsTheDayItShowsInADayFirstCompany)
{
    useDatePattern("m/d/yy");
    connect();
    type(QStringLiteral("121026"));
    ASSERT_EQ(find<QDateEdit>("EFecIni")->date(), QDate(2026, 12, 10));
    ASSERT_EQ(find<QDateEdit>("EFecIni")->text(), QStringLiteral("12/10/26"));
    press(Qt::Key_Tab);
    type(QStringLiteral("alm"));
    ASSERT_EQ(box()->text(), QStringLiteral("Almacén Principal"));

    press(Qt::Key_F2);
    EXPECT_EQ(shown(MessageWindow::PlainMessage), QStringList{kGenerated});
    EXPECT_TRUE(shown(MessageWindow::ErrorBox).isEmpty());
    EXPECT_EQ(vouchersOf(1), std::vector<std::string>{"D|2026-12-10"});
}

// Guards against a two-digit year naming another century: 10/12/26 of 1926 must not post
// the sales of 10 December 2026.
TEST_F(PostingChecksTest, ADayOfAnotherCenturyDoesNotPostTheSameDayOfThisOne)
{
    useDatePattern("dd/mm/yy");
    connectAndChoose(QDate(1926, 12, 10), QStringLiteral("ki"));
    ASSERT_EQ(box()->text(), QStringLiteral("Kiosco Norte"));
    ASSERT_EQ(find<QDateEdit>("EFecIni")->text(), QStringLiteral("10/12/26"));

    press(Qt::Key_F2);
    EXPECT_EQ(shown(MessageWindow::PlainMessage), QStringList{kNothingPosted});
    EXPECT_TRUE(vouchersOf(3).empty());
}

// Guards against the engine's raw conflict text when another workstation holds the day's
// invoices while this one posts (this window's connection does not wait on locks, so the
// test needs no second thread): the user is told plainly and nothing is posted.
TEST_F(PostingChecksTest, ADayAnotherWorkstationIsPostingIsToldPlainly)
{
    window->dataModule().Kalmora.params().setValue("WaitOnLocks", "False");
    data::TSQLConnection other;
    other.params().setValue("Database", company().databasePath());
    other.params().setValue("User_Name", "SYSDBA");
    other.params().setValue("Password", "masterkey");
    const driver::TransactionDesc transaction{1, driver::IsolationLevel::ReadCommitted};
    other.startTransaction(transaction);
    other.execute("update facturas set comp_id = comp_id where ptvt_id = 1 and "
                  "fact_fecha = date '2026-10-12'");
    connectAndChoose(QDate(2026, 10, 12), QStringLiteral("alm"));

    press(Qt::Key_F2);
    other.rollback(transaction);
    EXPECT_EQ(shown(MessageWindow::PlainMessage), QStringList{kPostedElsewhere});
    EXPECT_TRUE(shown(MessageWindow::ErrorBox).isEmpty());
    EXPECT_FALSE(find("Panel5")->isVisible());
    EXPECT_EQ(rowsOf("select count(*) from comprobantes where comp_fecha = date '2026-10-12'"),
              std::vector<std::string>{"0"});
}

// Guards against a posting call sent without its cash customer being swallowed: with no
// AUTO_NITCONTADO for the prefix and no configured cash customer, the server's refusal
// reaches the error box and the busy panel stays shown.
TEST_F(PostingChecksTest, WithoutAnyCashCustomerTheServersRefusalReachesTheErrorBox)
{
    execute("delete from configuracion where conf_modulo = 'FACTURACION' and conf_categoria = "
            "'FACTURAS' and conf_propiedad = 'CODIGO DEL CLIENTE PARA VENTAS DE CONTADO'");
    struct PutBack
    {
        ~PutBack()
        {
            execute("insert into configuracion values ('FACTURACION', 'FACTURAS', 'CODIGO DEL "
                    "CLIENTE PARA VENTAS DE CONTADO', '222222222222')");
        }
    } putBack;
    connectAndChoose(QDate(2026, 12, 10), QStringLiteral("ti"));
    ASSERT_EQ(box()->text(), QStringLiteral("Tienda D'Angelo"));

    press(Qt::Key_F2);
    // The call goes with four arguments: "...('10/12/2026', 'TDA', 2, 2)".
    EXPECT_EQ(shown(MessageWindow::ErrorBox),
              QStringList{QStringLiteral("SQL Server Error: Dynamic SQL Error\n-Input parameter "
                                         "mismatch for procedure CONTABIL_FACTURAS_CONTADO.")});
    EXPECT_TRUE(shown(MessageWindow::PlainMessage).isEmpty());
    EXPECT_TRUE(find("Panel5")->isVisible());
    EXPECT_TRUE(vouchersOf(2).empty());
}

// Guards against a company code typed in the company box that leads out of the server's
// datos/ folder, where a database placed beside it would open: the code is refused in the
// error box before anything is shown or opened, and nothing becomes usable.
TEST_F(PostingChecksTest, ACompanyCodeThatLeavesDatosIsRefusedInTheErrorBox)
{
    const std::string outside = company().serverEntry() + "/fuera";
    std::filesystem::create_directories(outside);
    std::filesystem::copy_file(company().databasePath(), outside + "/kalmora.fdb",
                               std::filesystem::copy_options::overwrite_existing);

    connect(QStringLiteral("../fuera"));
    EXPECT_EQ(shown(MessageWindow::ErrorBox),
              QStringList{QStringLiteral("El código de compañía «../fuera» no es válido: no "
                                         "puede contener «/», «\\», «..» ni «:».")});
    EXPECT_FALSE(find("Panel5")->isVisible());
    EXPECT_FALSE(find("EFecIni")->isEnabled());
    EXPECT_FALSE(find("SpeedButton3")->isEnabled());
    EXPECT_FALSE(box()->hasList());
    EXPECT_FALSE(window->dataModule().Kalmora.connected());
}

} // namespace
} // namespace kalmora::test
