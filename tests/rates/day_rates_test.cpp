// SPDX-License-Identifier: Apache-2.0
// The day's rates against a real company: what an open leaves pending, what a save stores,
// and what the user is told when a save cannot store everything.
#include "data/company_fixture.h"
#include "rates/day_rates.h"

#include <gmock/gmock.h>

using namespace kalmora;
using kalmora::test::CompanyTest;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

constexpr core::Date kDay{2026, 12, 10};

const char *const kDayRates = "select AJCI_FECINI, AJCI_FECFIN, AJCI_PORC, AJCI_FACTOR "
                              "from AJUSTE_CIERRE where AJCI_FECINI = DATE '2026-12-10' "
                              "order by AJCI_PORC";
const char *const kOtherDays = "select AJCI_ID, AJCI_FECINI, AJCI_PORC, AJCI_FACTOR "
                               "from AJUSTE_CIERRE where AJCI_FECINI <> DATE '2026-12-10' "
                               "order by AJCI_ID";

class DayRatesTest : public CompanyTest
{
protected:
    void SetUp() override
    {
        CompanyTest::SetUp();
        setRates({"1, DATE '2026-12-10', DATE '2026-12-10', 0, 0.6",
                  "2, DATE '2026-12-10', DATE '2026-12-10', 19, 0.75",
                  "3, DATE '2026-12-09', DATE '2026-12-09', 5, 0.7",
                  "4, DATE '2026-12-11', DATE '2026-12-11', 19, 0.9"});
        otherDays = rows(kOtherDays);
    }

    /// AJCI_PORC of the rows of CAjuste, from the top.
    std::vector<std::string> shownPercents()
    {
        std::vector<std::string> percents;
        data::TClientDataSet &rates = dm->CAjuste;
        for (rates.first(); !rates.eof(); rates.next())
            percents.push_back(dm->CAjusteAJCI_PORC->asString());
        return percents;
    }

    std::vector<std::string> otherDays;
};

const std::vector<std::string> kDefaults = {"2026-12-10|2026-12-10|0.0000|0.8000",
                                            "2026-12-10|2026-12-10|5.0000|0.8000",
                                            "2026-12-10|2026-12-10|19.0000|0.8000"};

// Guards against defaults in the wrong order, the day's rows kept beside them, or anything
// reaching the database before a save.
TEST_F(DayRatesTest, OpeningShowsTheThreeDefaultsAndStoresNothing)
{
    rates::openRates(*dm, kDay);
    EXPECT_THAT(shownPercents(), ElementsAre("5", "19", "0"));
    EXPECT_EQ(dm->CAjuste.filter(), "AJCI_FECINI = '10/12/2026'");
    EXPECT_THAT(rows(kDayRates), ElementsAre("2026-12-10|2026-12-10|0.0000|0.6000",
                                             "2026-12-10|2026-12-10|19.0000|0.7500"));
}

// Guards against a save that duplicates or fails on the rows of an earlier save: each save
// replaces the day's rows with what the panel holds, however often the day is opened and
// saved, whether the data set was closed in between (F5) or stayed open (F2).
TEST_F(DayRatesTest, EverySaveReplacesTheDayWithTheDefaults)
{
    for (int maxErrors : {0, -1}) {
        for (int round = 0; round < 3; ++round) {
            rates::openRates(*dm, kDay);
            ASSERT_NO_THROW(rates::saveRates(*dm, maxErrors)) << maxErrors << " " << round;
            EXPECT_THAT(rows(kDayRates), ::testing::ElementsAreArray(kDefaults))
                << maxErrors << " " << round;
            if (maxErrors == 0)
                rates::closeRates(*dm);
        }
        EXPECT_EQ(rows(kOtherDays), otherDays);
    }
    // Once saved, the data set holds the rows as stored, keys and all.
    EXPECT_EQ(dm->CAjuste.changeCount(), 0);
    for (dm->CAjuste.first(); !dm->CAjuste.eof(); dm->CAjuste.next())
        EXPECT_GT(dm->CAjusteAJCI_ID->asInteger(), 4);
}

// Guards against a row added by the user that can never be saved for want of a key, against
// one stored without its dates (out of every day's reach), and against an untouched added row
// being stored.
TEST_F(DayRatesTest, AnAddedRowIsStoredWithAKeyOfTheDatabase)
{
    rates::openRates(*dm, kDay);
    data::TClientDataSet &rates = dm->CAjuste;
    rates.insert();
    dm->CAjusteAJCI_PORC->setAsString("8");
    dm->CAjusteAJCI_FACTOR->setAsString("0.5");
    rates.append(); // posts the row above; this one stays untouched
    ASSERT_NO_THROW(rates::saveRates(*dm, 0));
    EXPECT_THAT(rows("select AJCI_FECFIN, AJCI_PORC, AJCI_FACTOR from AJUSTE_CIERRE where "
                     "AJCI_FECINI = DATE '2026-12-10' and AJCI_PORC = 8"),
                ElementsAre("2026-12-10|8.0000|0.5000"));
    EXPECT_EQ(rows(kDayRates).size(), 4u);
}

// Guards against a refused change losing the user's rates in silence: with F5's save
// nothing is stored, the reason is told, and every change stays pending for a new try.
TEST_F(DayRatesTest, ARefusedChangeUndoesTheWholeSaveAndKeepsItPending)
{
    rates::openRates(*dm, kDay);
    const int pending = dm->CAjuste.changeCount();
    run({"update AJUSTE_CIERRE set AJCI_FACTOR = 0.65 where AJCI_ID = 1"});
    const std::vector<std::string> before = rows(kDayRates);

    try {
        rates::saveRates(*dm, 0);
        FAIL() << "the save went through";
    } catch (const rates::ERatesNotSaved &failure) {
        EXPECT_STREQ(failure.what(), "No se guardaron las tarifas: Record not found or "
                                     "changed by another user");
        EXPECT_EQ(failure.refused(), 1);
    }
    EXPECT_EQ(rows(kDayRates), before);
    EXPECT_TRUE(dm->CAjuste.active());
    EXPECT_EQ(dm->CAjuste.changeCount(), pending);
    EXPECT_THAT(shownPercents(), ElementsAre("5", "19", "0"));

    // Put right behind the user's back, the same changes now save.
    run({"update AJUSTE_CIERRE set AJCI_FACTOR = 0.6 where AJCI_ID = 1"});
    ASSERT_NO_THROW(rates::saveRates(*dm, 0));
    EXPECT_THAT(rows(kDayRates), ::testing::ElementsAreArray(kDefaults));
}

// Guards against F2's save skipping refused changes in silence: the others are stored, the
// count and reason are told, and the refused ones stay pending.
TEST_F(DayRatesTest, BeforePostingRefusedChangesAreCountedAndKeptPending)
{
    rates::openRates(*dm, kDay);
    run({"delete from AJUSTE_CIERRE where AJCI_ID in (1, 2)"});
    try {
        rates::saveRates(*dm, -1);
        FAIL() << "the save went through";
    } catch (const rates::ERatesNotSaved &failure) {
        EXPECT_STREQ(failure.what(), "No se guardaron 2 cambios de las tarifas y no se "
                                     "contabilizó: Record not found or changed by another "
                                     "user");
        EXPECT_EQ(failure.refused(), 2);
    }
    EXPECT_THAT(rows(kDayRates), ::testing::ElementsAreArray(kDefaults));
    EXPECT_EQ(dm->CAjuste.changeCount(), 2);
}

} // namespace
