// SPDX-License-Identifier: Apache-2.0
#include "rates/day_rates.h"

#include "core/date_format.h"
#include "core/quoting.h"

#include <algorithm>
#include <vector>

namespace kalmora::rates {

namespace {

struct DefaultRate
{
    std::int64_t percent;
    core::Decimal factor;
};

// Inserted in this order, each before the previous one.
constexpr DefaultRate kDefaultRates[] = {
    {0, {8000, 4}},
    {19, {8000, 4}},
    {5, {8000, 4}},
};

/// The distinct reasons of the refused changes, in the order they came.
std::string reasons(const std::vector<data::UpdateFailure> &failures)
{
    std::vector<std::string> distinct;
    for (const data::UpdateFailure &failure : failures)
        if (std::find(distinct.begin(), distinct.end(), failure.message) == distinct.end())
            distinct.push_back(failure.message);
    std::string text;
    for (const std::string &reason : distinct)
        text += (text.empty() ? "" : "; ") + reason;
    return text;
}

std::string notSavedMessage(int maxErrors, int refused,
                            const std::vector<data::UpdateFailure> &failures)
{
    if (maxErrors == 0)
        return "No se guardaron las tarifas: " + reasons(failures);
    const std::string changes = refused == 1 ? "1 cambio" : std::to_string(refused) + " cambios";
    return "No se guardaron " + changes +
           " de las tarifas y no se contabilizó: " + reasons(failures);
}

} // namespace

void openRates(company::DataModule &module, const core::Date &day)
{
    data::TClientDataSet &rates = module.CAjuste;
    rates.setFilter("AJCI_FECINI = " + core::quotedString(core::formatDate(day)));
    rates.setFiltered(true);
    // Every new row of the panel, the defaults and those the user adds, starts as a rate of
    // the day it shows: a row without its dates would be stored out of every day's reach.
    rates.setOnNewRecord([&module, day](data::TClientDataSet &) {
        module.CAjusteAJCI_ID->setAsInteger(0);
        module.CAjusteAJCI_FECINI->setAsDate(day);
        module.CAjusteAJCI_FECFIN->setAsDate(day);
    });
    rates.open();
    while (!rates.eof())
        rates.deleteRecord();
    for (const DefaultRate &rate : kDefaultRates) {
        rates.insert();
        module.CAjusteAJCI_PORC->setAsCurrency({rate.percent, 0});
        module.CAjusteAJCI_FACTOR->setAsCurrency(rate.factor);
        rates.post();
    }
}

void postTypedRate(company::DataModule &module)
{
    if (module.CAjuste.active())
        module.CAjuste.checkBrowseMode();
}

void saveRates(company::DataModule &module, int maxErrors)
{
    data::TClientDataSet &rates = module.CAjuste;
    const int refused = rates.applyUpdates(maxErrors);
    if (refused > 0)
        throw ERatesNotSaved(notSavedMessage(maxErrors, refused, rates.updateFailures()), refused);
    rates.close();
    rates.open();
}

void closeRates(company::DataModule &module)
{
    module.CAjuste.close();
}

} // namespace kalmora::rates
