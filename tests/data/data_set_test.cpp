// SPDX-License-Identifier: Apache-2.0
// Data sets over the demo company: opening through providers and sources, field binding,
// reading, locate, filters by day, editing rules, the stored-procedure call, and what
// crosses the provider boundary.
#include "core/errors.h"
#include "core/quoting.h"
#include "company_fixture.h"

#include <algorithm>
#include <functional>
#include <gmock/gmock.h>

using namespace kalmora;
using namespace kalmora::core;
using namespace kalmora::data;
using kalmora::test::CompanyTest;
using ::testing::ElementsAre;

namespace {

struct Failure
{
    std::string kind;
    std::string message;
    friend bool operator==(const Failure &, const Failure &) = default;
    friend std::ostream &operator<<(std::ostream &os, const Failure &f)
    {
        return os << f.kind << " \"" << f.message << "\"";
    }
};

Failure failureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const core::EOleException &e) {
        return {"EOleException", e.message()};
    } catch (const core::EConvertError &e) {
        return {"EConvertError", e.message()};
    } catch (const core::EDatabaseError &e) {
        return {"EDatabaseError", e.message()};
    } catch (const core::Exception &e) {
        return {"Exception", e.message()};
    }
    return {"none", ""};
}

/// The AJCI_ID of every row the data set shows, sorted (the server returns the rows in no
/// fixed order).
std::vector<std::int64_t> shownIds(TClientDataSet &rates)
{
    std::vector<std::int64_t> ids;
    for (std::size_t row = 0; row < std::size_t(rates.recordCount()); ++row)
        ids.push_back(std::get<std::int64_t>(rates.fields(0).valueAt(row)));
    std::sort(ids.begin(), ids.end());
    return ids;
}

class DataSetTest : public CompanyTest
{
};

} // namespace

// Opening a table data set sends the table select and nothing else, reads every row, and
// closes the source again; opening it again fetches nothing and keeps the current row.
TEST_F(DataSetTest, OpenFetchesOnceThroughTheTableSelect)
{
    TClientDataSet &points = dm->CPuntos;
    points.open();
    EXPECT_THAT(recorder.steps, ElementsAre(" select * from \"PUNTO_VENTA\""));
    EXPECT_FALSE(dm->TPuntos.active());
    EXPECT_EQ(points.recordCount(), 4);
    EXPECT_TRUE(points.bof());
    EXPECT_FALSE(points.eof());

    points.next();
    points.open();
    EXPECT_EQ(recorder.steps.size(), 1u);
    EXPECT_EQ(dm->CPuntosPTVT_ID->asInteger(), 2);
    EXPECT_EQ(points.fields(2).asString(), "Tienda D'Angelo");
    EXPECT_EQ(&points.fieldByName("pref_pre"), dm->CPuntosPREF_PRE);
    EXPECT_EQ(dm->CPuntosPREF_PRE->name(), "CPuntosPREF_PRE");

    // The last point has no person in charge and no till: null reads as "" and 0.
    points.last();
    EXPECT_EQ(dm->CPuntosPTVT_NOM->asString(), "Feria Artesanal");
    EXPECT_EQ(dm->CPuntosPTVT_RESP->asString(), "");
    EXPECT_EQ(dm->CPuntosCAJA_ID->asString(), "");
    EXPECT_EQ(dm->CPuntosCAJA_ID->asInteger(), 0);

    points.close();
    EXPECT_TRUE(points.eof());
    EXPECT_TRUE(points.isEmpty());
    EXPECT_EQ(recorder.steps.size(), 1u);
}

// A closed data set answers the end and empty tests without failing; everything else fails
// with its name in front.
TEST_F(DataSetTest, ClosedDataSetFailuresCarryItsName)
{
    TClientDataSet &points = dm->CPuntos;
    const Failure closed{"EDatabaseError",
                         "CPuntos: Cannot perform this operation on a closed dataset"};
    EXPECT_EQ(failureOf([&] { points.recordCount(); }), closed);
    EXPECT_EQ(failureOf([&] { points.locate("PTVT_NOM", Value{std::string("x")}); }), closed);
    EXPECT_EQ(failureOf([&] { points.insert(); }), closed);
    EXPECT_EQ(failureOf([&] { points.applyUpdates(0); }), closed);
    EXPECT_EQ(failureOf([&] { points.fieldByName("NADA"); }),
              (Failure{"EDatabaseError", "CPuntos: Field 'NADA' not found"}));
    EXPECT_EQ(failureOf([&] { dm->Cborrar.fields(0); }),
              (Failure{"Exception", "List index out of bounds (0)"}));
    EXPECT_TRUE(recorder.steps.empty());
}

// Persistent fields bind by column name: a missing column or a column of another type class
// fails the open with the field's display name and the data set's name, and leaves it
// closed; a narrower text column shrinks the field; extra columns are fine.
TEST_F(DataSetTest, PersistentFieldsBindOrFailTheOpen)
{
    TClientDataSet &errors = dm->CError;
    const struct
    {
        const char *text;
        Failure expected;
    } cases[] = {
        {"select 'a' as erro_cadena, 'b' as interfaz from rdb$database",
         {"EDatabaseError", "CError: Field 'Descripción' not found"}},
        {"select 1 as erro_codigo, 'b' as erro_cadena, 'c' as interfaz from rdb$database",
         {"EDatabaseError",
          "CError: Type mismatch for field 'Descripción', expecting: String actual: Integer"}},
    };
    for (const auto &c : cases) {
        errors.setCommandText(c.text);
        EXPECT_EQ(failureOf([&] { errors.open(); }), c.expected) << c.text;
        EXPECT_FALSE(errors.active());
        EXPECT_TRUE(errors.isEmpty());
    }

    errors.setCommandText("select cast('corto' as varchar(10)) as erro_codigo, "
                          "cast('veinticinco caracteres..' as varchar(30)) as erro_cadena, "
                          "cast('x' as varchar(60)) as interfaz, 7 as sobra from rdb$database");
    errors.open();
    EXPECT_EQ(dm->CErrorERRO_CODIGO->size(), 10);
    EXPECT_EQ(dm->CErrorERRO_CADENA->size(), 20);
    EXPECT_EQ(dm->CErrorERRO_CADENA->asString(), "veinticinco caracteres..");
    EXPECT_EQ(errors.fieldCount(), 3);
}

// Failures raised while a provider works reach the caller as EOleException without trailing
// full stops or blanks; those of the shared query carry its name. The source is closed after
// every fetch, failed or not.
TEST_F(DataSetTest, ProviderBoundaryFailures)
{
    TClientDataSet &scratch = dm->Cborrar;
    EXPECT_EQ(failureOf([&] { scratch.open(); }),
              (Failure{"EOleException", "SQLQuery1: No SQL statement available"}));

    scratch.setCommandText("update PUNTO_VENTA set PTVT_COLOR = PTVT_COLOR where 1 = 0");
    EXPECT_EQ(failureOf([&] { scratch.open(); }),
              (Failure{"EOleException", "SQLQuery1: Cursor not returned from Query"}));

    dm->CPuntos.setCommandText("select * from PUNTO_VENTA");
    EXPECT_EQ(failureOf([&] { dm->CPuntos.open(); }),
              (Failure{"EOleException", "CommandText changes are not allowed"}));

    scratch.setCommandText("select * from NO_HAY_TABLA");
    const Failure server = failureOf([&] { scratch.open(); });
    EXPECT_EQ(server.kind, "EOleException");
    EXPECT_THAT(server.message, ::testing::HasSubstr("NO_HAY_TABLA"));
    ASSERT_FALSE(server.message.empty());
    EXPECT_NE(server.message.back(), '.');
    EXPECT_GT(static_cast<unsigned char>(server.message.back()), 32);
    EXPECT_FALSE(dm->SQLQuery1.active());
    EXPECT_FALSE(scratch.active());

    TClientDataSet orphan("CHuerfano", dm.get());
    orphan.setProviderName("PNinguno");
    EXPECT_EQ(failureOf([&] { orphan.open(); }),
              (Failure{"EDatabaseError", "CHuerfano: Missing data provider or data packet"}));
}

// The statement reaches the server without its leading blanks and line breaks; the rest,
// trailing ones included, is sent unchanged.
TEST_F(DataSetTest, LeadingBlanksAreRemoved)
{
    dm->Cborrar.setCommandText("\r\n \t SELECT PTVT_NOM FROM PUNTO_VENTA WHERE PTVT_ID = 3  \r\n");
    dm->Cborrar.open();
    EXPECT_THAT(recorder.steps,
                ElementsAre("SELECT PTVT_NOM FROM PUNTO_VENTA WHERE PTVT_ID = 3  \r\n"));
    EXPECT_EQ(dm->Cborrar.fields(0).asString(), "Kiosco Norte");
}

// A data set without persistent fields gets one field per column of each result, in column
// order, and loses them on close.
TEST_F(DataSetTest, ScratchFieldsFollowEachResult)
{
    TClientDataSet &scratch = dm->Cborrar;
    scratch.setCommandText("SELECT MAX(INVE_ID), MAX(INVE_NOMBRE) FROM INTERFAZ_VENTAS "
                           "WHERE TIDO_COD = 31 AND PREF_PRE = " +
                           core::quotedString("K'N"));
    scratch.open();
    ASSERT_EQ(scratch.fieldCount(), 2);
    EXPECT_EQ(scratch.fields(0).asString(), "3");
    EXPECT_EQ(scratch.fields(0).asInteger(), 3);
    EXPECT_EQ(scratch.fields(1).asString(), "Contado Kiosco Norte");

    scratch.close();
    EXPECT_EQ(scratch.fieldCount(), 0);
    scratch.setCommandText("SELECT AUTO_NITCONTADO FROM AUTORIZACIONES WHERE PREF_PRE = 'TDA'");
    scratch.open();
    EXPECT_EQ(scratch.recordCount(), 1);
    EXPECT_EQ(scratch.fields(0).asString(), "");
    EXPECT_EQ(scratch.fieldByName("auto_nitcontado").fieldName(), "AUTO_NITCONTADO");
    EXPECT_EQ(failureOf([&] { scratch.fields(1); }),
              (Failure{"Exception", "List index out of bounds (1)"}));
}

// Locate with no options is exact and case-sensitive; no match keeps the current row.
TEST_F(DataSetTest, LocateIsExactAndKeepsTheRowOnNoMatch)
{
    TClientDataSet &points = dm->CPuntos;
    points.open();
    points.next(); // on Tienda D'Angelo
    const struct
    {
        const char *field;
        Value value;
        bool found;
        int row;
    } cases[] = {
        {"PTVT_NOM", Value{std::string("Kiosco Norte")}, true, 2},
        {"PTVT_NOM", Value{std::string("kiosco norte")}, false, 2},
        {"PTVT_NOM", Value{std::string("Kiosco")}, false, 2},
        {"PTVT_NOM", Value{std::string("")}, false, 2},
        {"ptvt_id", Value{std::int64_t{1}}, true, 0},
        {"PTVT_ID", Value{std::string("2")}, true, 1},
        {"CAJA_ID", Value{}, true, 3},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(points.locate(c.field, c.value), c.found) << c.field;
        EXPECT_EQ(points.recNo(), c.row) << c.field;
    }
    EXPECT_TRUE(points.locate("PTVT_NOM", Value{std::string("kiosco")}, LocateOptions{true, true}));
    EXPECT_EQ(failureOf([&] { points.locate("NADA", Value{}); }),
              (Failure{"EDatabaseError", "CPuntos: Field 'NADA' not found"}));
    EXPECT_EQ(recorder.steps.size(), 1u); // searching sends nothing
}

// A filter on the day reads the date in the user's short date pattern, so the same text
// selects another day under a day-first and a month-first pattern; a day with no rows is at
// its end at once.
TEST_F(DataSetTest, FilterByDayFollowsTheShortDatePattern)
{
    setRates({"1, DATE '2026-12-10', DATE '2026-12-10', 0, 0.8",
              "2, DATE '2026-12-10', DATE '2026-12-10', 19, 0.8",
              "3, DATE '2026-10-12', DATE '2026-10-12', 5, 0.8",
              "4, DATE '2026-11-01', DATE '2026-11-01', 5, 0.8"});
    const struct
    {
        const char *pattern;
        Date day;
        std::vector<std::int64_t> ids;
    } cases[] = {
        {"dd/mm/yyyy", {2026, 12, 10}, {1, 2}},
        {"mm/dd/yyyy", {2026, 10, 12}, {3}},
        {"m/d/yy", {2026, 11, 1}, {4}},
        {"dd/mm/yyyy", {2026, 1, 1}, {}},
    };
    for (const auto &c : cases) {
        setCurrentDateSettings(test::datePattern(c.pattern));
        dm->CAjuste.close();
        dm->CAjuste.setFilter("AJCI_FECINI = " + core::quotedString(core::formatDate(c.day)));
        dm->CAjuste.setFiltered(true);
        dm->CAjuste.open();
        EXPECT_EQ(shownIds(dm->CAjuste), c.ids) << c.pattern << " " << dm->CAjuste.filter();
        EXPECT_EQ(dm->CAjuste.eof(), c.ids.empty());
        EXPECT_EQ(dm->CAjuste.isEmpty(), c.ids.empty());
    }
    // The same text under the other pattern is the other day.
    setCurrentDateSettings(test::datePattern("dd/mm/yyyy"));
    dm->CAjuste.setFilter("AJCI_FECINI = '10/12/2026'");
    EXPECT_EQ(shownIds(dm->CAjuste), (std::vector<std::int64_t>{1, 2}));
    setCurrentDateSettings(test::datePattern("mm/dd/yyyy"));
    dm->CAjuste.setFilter("AJCI_FECINI = '10/12/2026'");
    EXPECT_EQ(shownIds(dm->CAjuste), (std::vector<std::int64_t>{3}));
}

// A filter text whose date cannot be read fails the open that applies it, naming the text,
// and the data set stays closed.
TEST_F(DataSetTest, UnreadableFilterDateFailsTheOpen)
{
    dm->CAjuste.setFilter("AJCI_FECINI = '31/31/2026'");
    dm->CAjuste.setFiltered(true);
    EXPECT_EQ(failureOf([&] { dm->CAjuste.open(); }),
              (Failure{"EConvertError", "'31/31/2026' is not a valid date"}));
    EXPECT_FALSE(dm->CAjuste.active());
}

// The rates panel's open: deleting while not at the end removes exactly the rows of the
// filtered day; three inserts, each before the row posted last, show 5, 19, 0 from the top.
// Nothing reaches the server but the table select.
TEST_F(DataSetTest, DeleteLoopOverTheDayThenDefaultRows)
{
    setRates({"1, DATE '2026-12-10', DATE '2026-12-10', 0, 0.8",
              "2, DATE '2026-12-11', DATE '2026-12-11', 0, 0.8",
              "3, DATE '2026-12-10', DATE '2026-12-10', 19, 0.8"});
    TClientDataSet &rates = dm->CAjuste;
    rates.setFilter("AJCI_FECINI = '10/12/2026'");
    rates.setFiltered(true);
    rates.open();
    int deleted = 0;
    while (!rates.eof()) {
        rates.deleteRecord();
        ++deleted;
    }
    EXPECT_EQ(deleted, 2);
    EXPECT_TRUE(rates.isEmpty());

    for (const auto &[porc, factor] : {std::pair{Decimal{0, 0}, Decimal{8, 1}},
                                       {Decimal{19, 0}, Decimal{8, 1}},
                                       {Decimal{5, 0}, Decimal{8, 1}}}) {
        rates.insert();
        dm->CAjusteAJCI_ID->setAsInteger(0);
        dm->CAjusteAJCI_FECINI->setAsDate(Date{2026, 12, 10});
        dm->CAjusteAJCI_FECFIN->setAsDate(Date{2026, 12, 10});
        dm->CAjusteAJCI_PORC->setAsCurrency(porc);
        dm->CAjusteAJCI_FACTOR->setAsCurrency(factor);
        rates.post();
    }
    std::vector<std::string> shown;
    for (std::size_t row = 0; row < 3; ++row)
        shown.push_back(dm->CAjusteAJCI_PORC->textAt(row) + " " +
                        dm->CAjusteAJCI_FACTOR->textAt(row) + " " +
                        dm->CAjusteAJCI_FECINI->textAt(row));
    EXPECT_THAT(shown, ElementsAre("5 0.8 10/12/2026", "19 0.8 10/12/2026", "0 0.8 10/12/2026"));
    EXPECT_EQ(dm->CAjusteAJCI_PORC->valueAt(1), (Value{Decimal{190000, 4}}));
    EXPECT_EQ(rates.changeCount(), 5);

    rates.setFiltered(false);
    EXPECT_EQ(rates.recordCount(), 4); // the other day's row was never touched
    EXPECT_EQ(recorder.steps.size(), 1u);
}

// Editing rules: a required field left null keeps the row in insert state; state failures
// carry the data set's name; deleting a row being inserted only cancels it.
TEST_F(DataSetTest, EditingRules)
{
    setRates({"1, DATE '2026-12-10', DATE '2026-12-10', 0, 0.8"});
    TClientDataSet &rates = dm->CAjuste;
    rates.open();
    EXPECT_EQ(failureOf([&] { dm->CAjusteAJCI_PORC->setAsString("3"); }),
              (Failure{"EDatabaseError", "CAjuste: Dataset not in edit or insert mode"}));
    EXPECT_EQ(failureOf([&] { rates.post(); }),
              (Failure{"EDatabaseError", "CAjuste: Dataset not in edit or insert mode"}));

    rates.insert();
    // A new rate row gets the key that asks the database for one; cleared, it is missing.
    EXPECT_EQ(dm->CAjusteAJCI_ID->asInteger(), 0);
    dm->CAjusteAJCI_ID->setValue(Value{});
    dm->CAjusteAJCI_PORC->setAsString("3");
    EXPECT_EQ(failureOf([&] { rates.post(); }),
              (Failure{"EDatabaseError", "Field 'AJCI_ID' must have a value"}));
    EXPECT_EQ(rates.state(), DataSetState::dsInsert);
    EXPECT_EQ(rates.recordCount(), 2);
    rates.deleteRecord();
    EXPECT_EQ(rates.state(), DataSetState::dsBrowse);
    EXPECT_EQ(rates.recordCount(), 1);
    EXPECT_EQ(rates.changeCount(), 0);

    rates.deleteRecord();
    EXPECT_TRUE(rates.eof());
    EXPECT_EQ(
        failureOf([&] { rates.deleteRecord(); }),
        (Failure{"EDatabaseError", "CAjuste: Cannot perform this operation on an empty dataset"}));
}

// An empty data set stays at its beginning and end while a new row is only being inserted
// (there is nothing to move to or delete yet), whether the row is then cancelled or posted;
// once posted the row is a row like any other.
TEST_F(DataSetTest, NewRowInAnEmptyDataSetIsNoRowUntilPosted)
{
    setRates({});
    TClientDataSet &rates = dm->CAjuste;
    rates.open();
    for (const bool post : {false, true}) {
        SCOPED_TRACE(post ? "posted" : "cancelled");
        rates.insert();
        EXPECT_EQ(rates.recordCount(), 1);
        EXPECT_TRUE(rates.bof());
        EXPECT_TRUE(rates.eof());
        if (post) {
            dm->CAjusteAJCI_ID->setAsInteger(7);
            rates.post();
        } else {
            rates.cancel();
        }
        EXPECT_EQ(rates.recordCount(), post ? 1 : 0);
        EXPECT_EQ(rates.bof(), !post);
        EXPECT_EQ(rates.eof(), !post);
    }
    // Inserting among rows leaves both ends.
    rates.first();
    rates.insert();
    EXPECT_FALSE(rates.bof());
    EXPECT_FALSE(rates.eof());
}

// Controls hear the data set through its data source: opened and closed, rows moved, values
// changed, edit state entered and left.
TEST_F(DataSetTest, DataSourceTellsWhatHappened)
{
    struct Log : DataSetObserver
    {
        std::vector<std::string> events;
        void activeChanged() override { events.push_back("active"); }
        void recordMoved() override { events.push_back("moved"); }
        void dataChanged() override { events.push_back("data"); }
        void stateChanged() override { events.push_back("state"); }
    } log;
    setRates({"1, DATE '2026-12-10', DATE '2026-12-10', 0, 0.8",
              "2, DATE '2026-12-10', DATE '2026-12-10', 5, 0.8"});
    dm->DAjuste.addObserver(&log);
    TClientDataSet &rates = dm->CAjuste;
    rates.open();
    rates.next();
    rates.edit();
    dm->CAjusteAJCI_PORC->setAsString("6");
    rates.post();
    rates.close();
    dm->DAjuste.removeObserver(&log);
    EXPECT_THAT(log.events,
                ElementsAre("active", "moved", "state", "data", "state", "data", "active"));
    EXPECT_EQ(rates.changeCount(), 0); // closing dropped the pending change
}

// The procedure call binds IDCNT with the type the procedure declares and runs in the
// implicit mode, so its work is committed when it returns.
TEST_F(DataSetTest, StoredProcedureCallBindsTheDeclaredType)
{
    run({"insert into COMPROBANTES (COMP_ID, COMP_FECHA, COMP_ORIGEN) "
         "values (9001, DATE '2026-12-10', 'prueba')"});
    TSQLStoredProc &complete = dm->Scontapend;
    complete.paramByName("idcnt").setAsInteger(9001);
    complete.execProc();
    ASSERT_EQ(recorder.sent.size(), 1u);
    EXPECT_EQ(recorder.sent[0].text, "CONTABILIZA_PENDIENTE");
    ASSERT_EQ(recorder.sent[0].params.size(), 1u);
    EXPECT_EQ(recorder.sent[0].params[0].type.type, ColumnType::Integer);
    EXPECT_EQ(recorder.sent[0].params[0].value, Value{std::int64_t{9001}});
    EXPECT_THAT(rows("select trim(COMP_ESTADO) from COMPROBANTES where COMP_ID = 9001"),
                ElementsAre("D"));

    complete.paramByName("IDCNT").setAsInteger(987654);
    const Failure missing = failureOf([&] { complete.execProc(); });
    EXPECT_THAT(missing.message, ::testing::HasSubstr("El comprobante 987654 no existe"));
    EXPECT_EQ(failureOf([&] { complete.paramByName("IDC"); }),
              (Failure{"EDatabaseError", "Scontapend: Parameter 'IDC' not found"}));
}
