// SPDX-License-Identifier: Apache-2.0
// The connect step, the posting run and the error list against fresh demo companies (the
// embedded engine): what the user sees in the window and what reaches the database.
#include "core/errors.h"
#include "data/company_fixture.h"
#include "posting/connect_step.h"
#include "posting/error_list.h"
#include "posting/posting_run.h"
#include "recording_window.h"
#include "support/joined_rows.h"
#include "support/stand_in_driver.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <gmock/gmock.h>
#include <memory>

namespace kalmora::test {
namespace {

using ::testing::Contains;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

const char *const kGenerated = "Comprobante contable correctamente generado.";
const char *const kNothingPosted = "No se pudo contabilizar las facturas.";
const char *const kPendingCompleted = "Se completó el comprobante contable que una "
                                      "contabilización anterior de este día había dejado "
                                      "pendiente.";
const char *const kPostedElsewhere = "Las ventas de este día y punto de venta las está "
                                     "contabilizando o ya las contabilizó otra estación de "
                                     "trabajo.";

/// The rows of `select` on a connection of their own (so only committed work shows), each
/// row its values joined by "|".
std::vector<std::string> rowsOf(const std::string &database, const std::string &select)
{
    data::TSQLConnection connection;
    connection.params().setValue("Database", database);
    connection.params().setValue("User_Name", "SYSDBA");
    connection.params().setValue("Password", "masterkey");
    return joinedRows(*connection.openQuery(select), valueText);
}

void runOn(const std::string &database, const std::string &statement)
{
    data::TSQLConnection connection;
    connection.params().setValue("Database", database);
    connection.params().setValue("User_Name", "SYSDBA");
    connection.params().setValue("Password", "masterkey");
    connection.execute(statement);
}

/// The rows a data set shows, each its values as text joined by "|".
std::vector<std::string> shownRows(data::TClientDataSet &dataSet)
{
    std::vector<std::string> rows;
    for (std::size_t row = 0; row < std::size_t(dataSet.recordCount()); ++row) {
        std::string text;
        for (int c = 0; c < dataSet.fieldCount(); ++c)
            text += (c ? "|" : "") + dataSet.fields(c).textAt(row);
        rows.push_back(text);
    }
    return rows;
}

std::vector<std::string> sentTexts(const StatementRecorder &recorder)
{
    std::vector<std::string> texts;
    for (const StatementRecorder::Sent &sent : recorder.sent)
        texts.push_back(sent.text);
    return texts;
}

std::string dayMonthYear(const core::Date &day)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", day.day, day.month, day.year);
    return text;
}

/// Clears the stand-in driver's faults when the test ends, however it ends.
// What a run says when the connection broke while it completed voucher 1.
const char *const kCompletionUnknown =
    "Se perdió la conexión al completar el comprobante 1: no se sabe si quedó completado. "
    "Contabilice de nuevo este día y punto de venta: si quedó pendiente se completa, y si ya se "
    "completó no hay nada más que contabilizar.";

struct ClearStandInFaults
{
    ~ClearStandInFaults() { standInFaults() = {}; }
};

class PostingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        core::setCurrentDateSettings(datePattern("dd/mm/yyyy"));
        company_ = std::make_unique<CompanyDatabase>(CompanyOptions{.invoices = 5, .days = 2});
    }
    void TearDown() override { dm.Kalmora.setSendObserver(nullptr); }

    posting::ConnectInput login() const
    {
        return {company_->serverEntry(), "SYSDBA", "masterkey", company_->code()};
    }
    const std::string &database() const { return company_->databasePath(); }

    /// Connects as the user would, chooses the newest demo day and `point`, and starts
    /// recording what is sent from then on.
    void connectAndChoose(std::optional<std::int64_t> point)
    {
        ASSERT_TRUE(posting::connectStep(dm, login(), window, window));
        const std::vector<std::string> newest =
            rowsOf(database(), "select max(fact_fecha) from facturas");
        day = core::Date{std::stoi(newest.at(0).substr(0, 4)), std::stoi(newest.at(0).substr(5, 2)),
                         std::stoi(newest.at(0).substr(8, 2))};
        window.chooseDay(day);
        window.choosePoint(point);
        window.events.clear();
        dm.Kalmora.setSendObserver(&recorder);
        recorder.clear();
    }

    posting::PostingOutcome post()
    {
        return posting::postingRun(dm, window, window, window).outcome;
    }

    /// A fresh company in place of the present one, its two newest days pinned
    /// (CompanyDatabase::pinTwoNewestDays).
    void replaceCompany(const std::string &dateOrder)
    {
        dm.Kalmora.setConnected(false);
        company_ = std::make_unique<CompanyDatabase>(
            CompanyOptions{.invoices = 5, .days = 2, .dateOrder = dateOrder});
        company_->pinTwoNewestDays();
    }

    std::unique_ptr<CompanyDatabase> company_;
    company::DataModule dm;
    RecordingWindow window;
    StatementRecorder recorder;
    core::Date day;
};

// ---- Connect step

// Guards against a connect with half a login: nothing may show, connect or change.
TEST_F(PostingTest, ConnectWithAnEmptyUserPasswordOrCompanyDoesNothing)
{
    const posting::ConnectInput full = login();
    for (const auto &[label, input] : std::vector<std::pair<std::string, posting::ConnectInput>>{
             {"user", {full.server, "", full.password, full.company}},
             {"password", {full.server, full.user, "", full.company}},
             {"company", {full.server, full.user, full.password, ""}}}) {
        SCOPED_TRACE(label);
        EXPECT_FALSE(posting::connectStep(dm, input, window, window));
        EXPECT_THAT(window.events, IsEmpty());
        EXPECT_FALSE(dm.Kalmora.connected());
        EXPECT_EQ(dm.Kalmora.params().value("Database"), "");
        EXPECT_FALSE(dm.CPuntos.active());
    }
}

// Guards against a connect step that skips or reorders its steps, or does not reload the
// point-of-sale list when it runs again.
TEST_F(PostingTest, ConnectShowsTheBusyPanelConnectsAndReloadsThePoints)
{
    ASSERT_TRUE(posting::connectStep(dm, login(), window, window));
    EXPECT_EQ(window.busyCaption, "Conectando a la base de datos DEMO ...");
    EXPECT_THAT(window.events, ElementsAre("busy", "hourglass", "arrow", "day", "hide busy",
                                           "focus day", "execute"));
    EXPECT_EQ(dm.Kalmora.params().value("Database"), database());
    EXPECT_EQ(window.day(), posting::today());
    EXPECT_TRUE(window.dayEnabled);
    EXPECT_TRUE(window.executeEnabled);
    EXPECT_EQ(dm.CPuntos.recordCount(), 4);

    runOn(database(), "insert into punto_venta (ptvt_id, bode_cod, ptvt_nom, pref_pre) "
                      "values (9, '01', 'Nuevo', 'PPAL')");
    window.chooseDay(core::Date{2003, 1, 20});
    ASSERT_TRUE(posting::connectStep(dm, login(), window, window));
    EXPECT_EQ(dm.CPuntos.recordCount(), 5);
    EXPECT_EQ(window.day(), posting::today());
}

// Guards against a failed connect that hides its panel, enables controls or loses the
// list it had: the failure ends the step where it happens.
TEST_F(PostingTest, AFailedConnectKeepsThePanelTheControlsAndTheFormerList)
{
    ASSERT_TRUE(posting::connectStep(dm, login(), window, window));
    window.events.clear();
    posting::ConnectInput missing = login();
    missing.company = "NOPE";

    EXPECT_THROW(posting::connectStep(dm, missing, window, window), core::EDatabaseError);
    EXPECT_TRUE(window.busyShown);
    EXPECT_EQ(window.busyCaption, "Conectando a la base de datos NOPE ...");
    EXPECT_THAT(window.events, ElementsAre("busy", "hourglass", "arrow"));
    EXPECT_FALSE(window.hourglassShown);
    EXPECT_FALSE(dm.Kalmora.connected());
    EXPECT_EQ(dm.CPuntos.recordCount(), 4);
}

// ---- Posting run

// Guards against statement texts that differ from what the server is sent, a prefix that
// breaks out of its quotes, and the wrong source of the cash customer's NIT.
TEST_F(PostingTest, TheLookupsAndThePostingCallAreSentAsBuilt)
{
    struct Case
    {
        std::int64_t point;
        std::vector<std::string> texts; // every statement sent, in order
    };
    const char *autoNit = "SELECT AUTO_NITCONTADO FROM AUTORIZACIONES WHERE PREF_PRE = ";
    const char *configNit =
        "select conf_valor from configuracion where conf_modulo = 'FACTURACION' and "
        "conf_categoria = 'FACTURAS' and conf_propiedad = 'CODIGO DEL CLIENTE PARA VENTAS DE "
        "CONTADO'";
    const char *interfaz = "SELECT MAX(INVE_ID), MAX(INVE_NOMBRE) FROM INTERFAZ_VENTAS WHERE "
                           "TIDO_COD = 31 AND PREF_PRE = ";
    const char *voucher = "select comp_fecha, ptvt_id from comprobantes where comp_id = ";
    connectAndChoose(std::nullopt);
    // How the company reads the day as the workstation writes it.
    const std::string dayOrder =
        "select conf_valor, fecha_corta('" + dayMonthYear(day) +
        "', conf_valor) from configuracion where conf_modulo = 'FACTURACION' and "
        "conf_categoria = 'FECHAS' and conf_propiedad = 'ORDEN DE LA FECHA CORTA'";
    const std::string call =
        "select * from contabil_facturas_contado('" + dayMonthYear(day) + "', ";
    const std::vector<Case> cases{
        // The prefix K'N has its own cash customer.
        {3,
         {dayOrder, autoNit + std::string("'K''N'"), interfaz + std::string("'K''N'"),
          call + "'222222222222', 'K''N', 3, 3)", voucher + std::string("1"),
          "CONTABILIZA_PENDIENTE"}},
        // TDA's AUTO_NITCONTADO is empty: the configured cash customer is used.
        {2,
         {dayOrder, autoNit + std::string("'TDA'"), configNit, interfaz + std::string("'TDA'"),
          call + "'222222222222', 'TDA', 2, 2)", voucher + std::string("2"),
          "CONTABILIZA_PENDIENTE"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.point);
        recorder.clear();
        window.choosePoint(c.point);
        EXPECT_EQ(post(), posting::PostingOutcome::VoucherGenerated);
        EXPECT_EQ(sentTexts(recorder), c.texts);
    }
}

// Guards against a voucher that is left pending, unbalanced or without its invoices, and
// against posting the same invoices twice.
TEST_F(PostingTest, ARunGeneratesABalancedVoucherAndASecondRunPostsNothing)
{
    connectAndChoose(1);

    EXPECT_EQ(post(), posting::PostingOutcome::VoucherGenerated);
    EXPECT_THAT(window.messages, ElementsAre("Comprobante contable correctamente generado."));
    EXPECT_THAT(window.events, ElementsAre("busy", "hide busy", "message"));
    EXPECT_FALSE(dm.CRepArticulos.active());
    const std::vector<std::string> vouchers =
        rowsOf(database(), "select comp_id, trim(comp_estado), comp_numero is not null, ptvt_id, "
                           "comp_fecha from comprobantes");
    ASSERT_EQ(vouchers.size(), 1u);
    const std::string id = vouchers[0].substr(0, vouchers[0].find('|'));
    char isoDay[16];
    std::snprintf(isoDay, sizeof isoDay, "%04d-%02d-%02d", day.year, day.month, day.day);
    EXPECT_EQ(vouchers[0], id + "|D|1|1|" + isoDay);
    EXPECT_EQ(rowsOf(database(), "select sum(cmde_debito) = sum(cmde_credito), sum(cmde_debito) > "
                                 "0 from comprobantes_det where comp_id = " +
                                     id),
              std::vector<std::string>{"1|1"});
    // Every cash invoice of the day and point is marked with the voucher, no other.
    EXPECT_EQ(rowsOf(database(),
                     "select count(*) from facturas where ptvt_id = 1 and fact_fecha = '" +
                         std::string(isoDay) + "' and terc_nit = '900000001' and comp_id is null"),
              std::vector<std::string>{"0"});
    EXPECT_EQ(rowsOf(database(), "select count(*) from facturas where comp_id = " + id +
                                     " and (ptvt_id <> 1 or fact_fecha <> '" + isoDay + "')"),
              std::vector<std::string>{"0"});

    window.messages.clear();
    EXPECT_EQ(post(), posting::PostingOutcome::NothingPosted);
    EXPECT_THAT(window.messages, ElementsAre("No se pudo contabilizar las facturas."));
    EXPECT_FALSE(window.busyShown);
    EXPECT_EQ(rowsOf(database(), "select count(*) from comprobantes"),
              std::vector<std::string>{"1"});
}

// Guards against a failed posting whose message, error list or interface name is wrong,
// and against a list that reaches back past the newest failure.
TEST_F(PostingTest, AnInterfaceWithoutAccountsListsItsErrorsWithTheInterfaceName)
{
    connectAndChoose(4);
    const std::string errorList =
        "select erro_codigo,erro_cadena,'Contado Feria D''Artesanos' as Interfaz from errores "
        "where erro_item >= (select (max(erro_item) -5) from errores where erro_tipodoc = 31 "
        "and erro_iddoc = 0)";

    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        window.messages.clear();
        window.events.clear();
        recorder.clear();
        EXPECT_EQ(post(), posting::PostingOutcome::Errors);
        EXPECT_THAT(window.messages,
                    ElementsAre("Se presentaron los siguientes errores en la contabilización:\r"
                                "Verifique la definición de la interfaz relacionada"));
        EXPECT_THAT(window.events, ElementsAre("busy", "hide busy", "message", "error grid"));
        EXPECT_EQ(sentTexts(recorder).back(), errorList);
        const std::vector<std::string> shown = shownRows(dm.CError);
        ASSERT_EQ(shown.size(), 6u);
        EXPECT_THAT(shown, Each(EndsWith("|Contado Feria D'Artesanos")));
        EXPECT_THAT(shown, ::testing::Contains("Ventas de contado|" + dayMonthYear(day) +
                                               "|Contado Feria D'Artesanos"));
        EXPECT_THAT(shown, ::testing::Contains(::testing::StartsWith("Falta cuenta de caja|")));
    }
    EXPECT_TRUE(window.errorGridEnabled);
    EXPECT_TRUE(dm.CError.active());
    EXPECT_EQ(rowsOf(database(), "select count(*) from comprobantes"),
              std::vector<std::string>{"0"});
}

// Guards against posting whichever point happens to be current when none is chosen, or
// when the chosen one is not in the list: nothing may reach the server.
TEST_F(PostingTest, WithoutAChosenPointNothingIsSent)
{
    for (const std::optional<std::int64_t> point : {std::optional<std::int64_t>{}, {99}}) {
        SCOPED_TRACE(point.value_or(0));
        connectAndChoose(point);
        window.messages.clear();
        EXPECT_EQ(post(), posting::PostingOutcome::NoPointChosen);
        EXPECT_THAT(window.messages, ElementsAre("Seleccione el punto de venta."));
        EXPECT_FALSE(window.busyShown);
        EXPECT_THAT(recorder.sent, IsEmpty());
    }
    EXPECT_EQ(rowsOf(database(), "select count(*) from comprobantes"),
              std::vector<std::string>{"0"});
}

// Guards against finding the chosen point by its name: of two points with one name, the
// chosen one (the second in the list) is posted.
TEST_F(PostingTest, OfTwoPointsWithOneNameTheChosenOneIsPosted)
{
    runOn(database(), "update punto_venta set ptvt_nom = 'Almacén Principal' where ptvt_id = 2");
    connectAndChoose(2);

    EXPECT_EQ(post(), posting::PostingOutcome::VoucherGenerated);
    EXPECT_THAT(sentTexts(recorder),
                ::testing::Contains(::testing::EndsWith("'222222222222', 'TDA', 2, 2)")));
    EXPECT_EQ(rowsOf(database(), "select ptvt_id, pref_pre from comprobantes"),
              std::vector<std::string>{"2|TDA"});
}

// Guards against a failure that is swallowed or reported as an outcome: a call the server
// rejects ends the run with the busy panel still shown and no message.
TEST_F(PostingTest, ACallTheServerRejectsEndsTheRunWithThePanelShown)
{
    runOn(database(), "create or alter procedure contabil_facturas_contado (fecha varchar(100), "
                      "nit varchar(100), prefijo varchar(100), punto integer, interfaz integer) "
                      "returns (ver char(1), idc integer, error integer) as begin "
                      "exception e_comprobante 'rechazado'; suspend; end");
    connectAndChoose(1);

    EXPECT_THROW(post(), core::EOleException);
    EXPECT_TRUE(window.busyShown);
    EXPECT_THAT(window.messages, IsEmpty());
    EXPECT_THAT(sentTexts(recorder).back(), EndsWith("'900000001', 'PPAL', 1, 1)"));
}

// ---- Posting only the chosen day, once

// Guards against posting another day than the chosen one when the company reads the day
// text in another order than the workstation writes it ("12/10/26" is a real day both
// ways), or when a two-digit year names another century: the day goes as a text the
// company reads as that very day, and a company whose order matches the workstation's gets
// the workstation's own text.
TEST_F(PostingTest, TheChosenDayIsPostedWhateverOrderTheCompanyReadsDaysIn)
{
    struct Case
    {
        const char *pattern; // the workstation's short date
        const char *order;   // the company's date order
        core::Date day;
        std::string sent; // the day text of the call
        const char *message;
        std::vector<std::string> vouchers; // "day|state"
    };
    const std::vector<Case> cases{
        {"m/d/yy", "DMY", {2026, 12, 10}, "10/12/2026", kGenerated, {"2026-12-10|D"}},
        {"dd/mm/yy", "MDY", {2026, 12, 10}, "12/10/2026", kGenerated, {"2026-12-10|D"}},
        {"m/d/yy", "YMD", {2026, 12, 10}, "2026/12/10", kGenerated, {"2026-12-10|D"}},
        {"dd/mm/yy", "DMY", {1926, 12, 10}, "10/12/1926", kNothingPosted, {}},
        {"dd/mm/yy", "DMY", {2026, 12, 10}, "10/12/26", kGenerated, {"2026-12-10|D"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " " + c.order + " " + c.sent);
        replaceCompany(c.order);
        core::setCurrentDateSettings(datePattern(c.pattern));
        connectAndChoose(1);
        window.chooseDay(c.day);
        window.messages.clear();

        post();
        EXPECT_THAT(
            sentTexts(recorder),
            Contains(StartsWith("select * from contabil_facturas_contado('" + c.sent + "', ")));
        EXPECT_THAT(window.messages, ElementsAre(c.message));
        EXPECT_EQ(rowsOf(database(), "select comp_fecha, comp_estado from comprobantes"),
                  c.vouchers);
        EXPECT_EQ(rowsOf(database(), "select count(*) from facturas where comp_id is not null "
                                     "and fact_fecha <> '2026-12-10'"),
                  std::vector<std::string>{"0"});
    }
}

// Guards against completing a voucher that the database built for another day or point than
// the one asked for (a database that reads the day otherwise than the program expects): it
// is undone, its invoices are free to post again, and the run fails saying so.
TEST_F(PostingTest, AVoucherOfAnotherDayOrPointIsUndoneInsteadOfCompleted)
{
    struct Case
    {
        const char *name;
        const char *change; // what the database does to the voucher it inserts
        const char *failure;
    };
    const std::vector<Case> cases{
        {"another day", "new.comp_fecha = dateadd(1 day to new.comp_fecha);",
         "El comprobante generado es del día 2026-12-11 y del punto de venta 1, no del día "
         "2026-12-10 y el punto de venta 1 elegidos: se anuló y no se contabilizó nada."},
        {"another point", "new.ptvt_id = 2;",
         "El comprobante generado es del día 2026-12-10 y del punto de venta 2, no del día "
         "2026-12-10 y el punto de venta 1 elegidos: se anuló y no se contabilizó nada."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        replaceCompany("DMY");
        runOn(database(), std::string("create trigger COMPROBANTES_OTRO for comprobantes active "
                                      "before insert position 1 as begin ") +
                              c.change + " end");
        connectAndChoose(1);
        window.chooseDay(core::Date{2026, 12, 10});
        window.messages.clear();

        try {
            post();
            FAIL() << "the voucher was completed";
        } catch (const core::Exception &failure) {
            EXPECT_EQ(failure.message(), c.failure);
        }
        EXPECT_THAT(window.messages, IsEmpty());
        EXPECT_THAT(sentTexts(recorder), Not(Contains("CONTABILIZA_PENDIENTE")));
        EXPECT_THAT(sentTexts(recorder), Contains("DESCARTA_PENDIENTE"));
        EXPECT_EQ(rowsOf(database(), "select count(*) from comprobantes"),
                  std::vector<std::string>{"0"});
        EXPECT_EQ(rowsOf(database(), "select count(*) from facturas where comp_id is not null"),
                  std::vector<std::string>{"0"});
    }
}

// Guards against a completion that the server committed, reported as a plain failure when
// the connection broke before its answer: the user is told that the outcome is not known
// and how to settle it, and running the day again settles it (nothing left to post).
TEST_F(PostingTest, AConnectionLostAfterTheCompletionRanSaysTheOutcomeIsUnknown)
{
    useStandInDriver(dm.Kalmora);
    const ClearStandInFaults clearFaults;
    standInFaults().procedureFailsAfterRunning = "CONTABILIZA_PENDIENTE";
    connectAndChoose(1);
    try {
        post();
        FAIL() << "no failure";
    } catch (const core::Exception &failure) {
        EXPECT_STREQ(failure.what(), kCompletionUnknown);
    }
    EXPECT_EQ(rowsOf(database(), "select comp_estado, comp_numero from comprobantes"),
              std::vector<std::string>{"D|1"});
    standInFaults() = {};
    EXPECT_EQ(post(), posting::PostingOutcome::NothingPosted);
}

// Guards against a voucher left pending for good: a connection lost between the posting
// call and its completion leaves the day's voucher pending with all its invoices; the next
// run of that day and point completes it and says so, and a run after that finds nothing
// left to post.
TEST_F(PostingTest, AVoucherLeftPendingIsCompletedByTheNextRunOfItsDay)
{
    useStandInDriver(dm.Kalmora);
    const ClearStandInFaults clearFaults;
    standInFaults().procedureFails = "CONTABILIZA_PENDIENTE";
    connectAndChoose(1);
    try {
        post();
        FAIL() << "the completion went through";
    } catch (const core::Exception &failure) {
        EXPECT_STREQ(failure.what(), kCompletionUnknown);
    }
    EXPECT_THAT(window.messages, IsEmpty());
    ASSERT_EQ(rowsOf(database(), "select comp_estado, comp_numero from comprobantes"),
              std::vector<std::string>{"P|null"});

    standInFaults().procedureFails.clear();
    recorder.clear();
    EXPECT_EQ(post(), posting::PostingOutcome::PendingCompleted);
    EXPECT_THAT(window.messages, ElementsAre(kPendingCompleted));
    EXPECT_THAT(sentTexts(recorder), Contains("CONTABILIZA_PENDIENTE"));
    EXPECT_EQ(rowsOf(database(), "select comp_estado, comp_numero from comprobantes"),
              std::vector<std::string>{"D|1"});
    char isoDay[16];
    std::snprintf(isoDay, sizeof isoDay, "%04d-%02d-%02d", day.year, day.month, day.day);
    EXPECT_EQ(rowsOf(database(), "select count(*) from facturas where ptvt_id = 1 and "
                                 "fact_fecha = '" +
                                     std::string(isoDay) +
                                     "' and terc_nit = '900000001' and comp_id is null"),
              std::vector<std::string>{"0"});

    window.messages.clear();
    EXPECT_EQ(post(), posting::PostingOutcome::NothingPosted);
    EXPECT_THAT(window.messages, ElementsAre(kNothingPosted));
    EXPECT_EQ(rowsOf(database(), "select count(*) from comprobantes"),
              std::vector<std::string>{"1"});
}

// Guards against the engine's raw conflict text when another workstation posts the same day
// and point at the same moment: the posting call meets the day's invoices held by the other
// workstation (this connection does not wait on locks, so the test needs no second thread),
// the user is told plainly, nothing is posted, and the day posts once the other is done.
TEST_F(PostingTest, ADayAnotherWorkstationIsPostingIsToldAsSuch)
{
    dm.Kalmora.params().setValue("WaitOnLocks", "False");
    connectAndChoose(1);
    data::TSQLConnection other;
    other.params().setValue("Database", database());
    other.params().setValue("User_Name", "SYSDBA");
    other.params().setValue("Password", "masterkey");
    const driver::TransactionDesc transaction{1, driver::IsolationLevel::ReadCommitted};
    other.startTransaction(transaction);
    other.execute("update facturas set comp_id = comp_id where ptvt_id = 1");

    EXPECT_EQ(post(), posting::PostingOutcome::PostedElsewhere);
    EXPECT_THAT(window.messages, ElementsAre(kPostedElsewhere));
    EXPECT_THAT(window.events, ElementsAre("busy", "hide busy", "message"));
    EXPECT_FALSE(dm.CRepArticulos.active());
    other.rollback(transaction);
    EXPECT_EQ(rowsOf(database(), "select count(*) from comprobantes"),
              std::vector<std::string>{"0"});

    window.messages.clear();
    EXPECT_EQ(post(), posting::PostingOutcome::VoucherGenerated);
    EXPECT_THAT(window.messages, ElementsAre(kGenerated));
}

// Guards against "nothing could be posted" when another workstation's posting took the day's
// invoices between this posting's check and its marking (stood in for by a trigger that
// marks them as the voucher is made): the user is told the day was posted elsewhere, and
// this posting leaves no voucher.
TEST_F(PostingTest, InvoicesTakenByAnotherPostingMeanwhileAreToldAsSuch)
{
    runOn(database(), "create trigger FACTURAS_TOMADAS for comprobantes active before insert "
                      "position 1 as begin update facturas set comp_id = 0 where comp_id is "
                      "null and ptvt_id = new.ptvt_id and fact_fecha = new.comp_fecha; end");
    connectAndChoose(1);

    EXPECT_EQ(post(), posting::PostingOutcome::PostedElsewhere);
    EXPECT_THAT(window.messages, ElementsAre(kPostedElsewhere));
    EXPECT_EQ(rowsOf(database(), "select count(*) from comprobantes"),
              std::vector<std::string>{"0"});
}

// Guards against a raw failure when another workstation's run completes this run's voucher
// in the moment between its two calls (that run found it pending): the voucher is completed
// once, and this run says the day was posted elsewhere.
TEST_F(PostingTest, AVoucherCompletedElsewhereBetweenTheTwoCallsIsToldAsSuch)
{
    struct CompleteElsewhere : data::SendObserver
    {
        std::string database;
        void statementSent(const std::string &text, const std::vector<data::Param> &params) override
        {
            if (text == "CONTABILIZA_PENDIENTE")
                runOn(database,
                      "execute procedure contabiliza_pendiente " + valueText(params.at(0).value));
        }
    } elsewhere;
    elsewhere.database = database();
    connectAndChoose(1);
    dm.Kalmora.setSendObserver(&elsewhere);

    EXPECT_EQ(post(), posting::PostingOutcome::PostedElsewhere);
    EXPECT_THAT(window.messages, ElementsAre(kPostedElsewhere));
    EXPECT_EQ(rowsOf(database(), "select comp_estado, comp_numero from comprobantes"),
              std::vector<std::string>{"D|1"});
}

// Guards against completing, or telling the user anything of, a posting that answers "S"
// without a voucher (IDC 0).
TEST_F(PostingTest, AnAnswerWithoutAVoucherShowsNothingAndCompletesNothing)
{
    runOn(database(), "create or alter procedure contabil_facturas_contado (fecha varchar(100), "
                      "nit varchar(100), prefijo varchar(100), punto integer, interfaz integer) "
                      "returns (ver char(1), idc integer, error integer) as begin ver = 'S'; "
                      "idc = 0; error = 0; suspend; end");
    connectAndChoose(1);

    EXPECT_EQ(post(), posting::PostingOutcome::NoVoucher);
    EXPECT_THAT(window.messages, IsEmpty());
    EXPECT_THAT(window.events, ElementsAre("busy", "hide busy"));
    EXPECT_THAT(sentTexts(recorder), Contains(StartsWith("select * from contabil_facturas")));
    EXPECT_THAT(sentTexts(recorder), Not(Contains("CONTABILIZA_PENDIENTE")));
    EXPECT_FALSE(dm.CRepArticulos.active());
}

// ---- Company codes

// Guards against a company code that leads the connection out of the server's datos/ folder
// (a database placed beside it would open): the step refuses the code before it shows,
// closes or opens anything, and the connection stays on the company it had.
TEST_F(PostingTest, ACompanyCodeThatLeavesDatosIsRefusedBeforeAnythingOpens)
{
    std::filesystem::create_directory(company_->serverEntry() + "/fuera");
    std::filesystem::copy_file(database(), company_->serverEntry() + "/fuera/kalmora.fdb");
    ASSERT_TRUE(posting::connectStep(dm, login(), window, window));
    window.events.clear();

    for (const std::string code : {"../fuera", "..", "DEMO/..", "..\\fuera", "c:DEMO", "a/b"}) {
        SCOPED_TRACE(code);
        posting::ConnectInput input = login();
        input.company = code;
        try {
            posting::connectStep(dm, input, window, window);
            FAIL() << "connected";
        } catch (const core::Exception &failure) {
            EXPECT_EQ(failure.message(), "El código de compañía «" + code +
                                             "» no es válido: no puede contener «/», «\\», "
                                             "«..» ni «:».");
        }
        EXPECT_THAT(window.events, IsEmpty());
        EXPECT_TRUE(dm.Kalmora.connected());
        EXPECT_EQ(dm.Kalmora.params().value("Database"), database());
    }
}

// Guards against a point without its prefix or without its cash-sales interface sending a
// call with an empty argument, which the server refused as a raw syntax error: the failure
// says what the point lacks, and no posting call is sent.
TEST_F(PostingTest, APointLackingItsPrefixOrInterfaceIsToldWhatItLacks)
{
    runOn(database(), "update punto_venta set pref_pre = null where ptvt_id = 2");
    runOn(database(), "delete from interfaz_ventas where tido_cod = 31 and pref_pre = 'K''N'");
    struct Case
    {
        std::int64_t point;
        const char *says;
    };
    for (const Case c :
         {Case{2, "El punto de venta Tienda D'Angelo no tiene prefijo de facturas; no se "
                  "contabilizó."},
          Case{3, "El punto de venta Kiosco Norte no tiene interfaz de ventas de contado (tipo "
                  "31) para su prefijo K'N; no se contabilizó."}}) {
        SCOPED_TRACE(c.point);
        if (!dm.Kalmora.connected())
            connectAndChoose(c.point);
        else
            window.choosePoint(c.point);
        recorder.clear();
        try {
            post();
            ADD_FAILURE() << "posted";
        } catch (const core::Exception &failure) {
            EXPECT_STREQ(failure.what(), c.says);
        }
        EXPECT_THAT(sentTexts(recorder), Not(Contains(StartsWith("select * from contabil"))));
    }
}

} // namespace
} // namespace kalmora::test
