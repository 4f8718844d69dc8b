// SPDX-License-Identifier: Apache-2.0
#include "app/rates_workflow.h"

#include "rates/day_rates.h"
#include "app/command_actions.h"

#include <QWidget>

namespace kalmora::app {

RatesWorkflow::RatesWorkflow(company::DataModule &module, QWidget &panel,
                             std::function<core::Date()> day, CommandActions &commands)
    : module_(module), panel_(panel), day_(std::move(day))
{
    open_ =
        commands.add("actionOpenRates", QStringLiteral("Abrir tarifas"), {}, [this] { openDay(); });
    saveAndClose_ =
        commands.add("actionSaveAndCloseRates", QStringLiteral("Guardar y cerrar tarifas"), {},
                     [this] { saveAndClose(); });
    saveBeforePosting_ = commands.add("actionSaveRatesBeforePosting",
                                      QStringLiteral("Guardar tarifas y contabilizar"), {},
                                      [this] { saveBeforePosting(); });
}

bool RatesWorkflow::panelShown() const
{
    return !panel_.isHidden();
}

void RatesWorkflow::openDay()
{
    rates::openRates(module_, day_());
    panel_.show();
}

void RatesWorkflow::writeTyping()
{
    rates::postTypedRate(module_);
}

void RatesWorkflow::saveAndClose()
{
    writeTyping();
    rates::saveRates(module_, 0);
    panel_.hide();
    rates::closeRates(module_);
}

void RatesWorkflow::saveBeforePosting()
{
    writeTyping();
    panel_.hide();
    try {
        rates::saveRates(module_, -1);
    } catch (...) {
        // Not posted: the rates are shown again with what is still pending, so the user can
        // correct them instead of posting with rates that were not stored.
        panel_.show();
        throw;
    }
}

} // namespace kalmora::app
