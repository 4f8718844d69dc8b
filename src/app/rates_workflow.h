// SPDX-License-Identifier: Apache-2.0
#pragma once
// The rates panel's workflow: opening the day's rates in the panel, saving and closing
// them, and saving them before a posting, each a named action of the window. The rates
// themselves are those of rates/day_rates.h; this decides when the panel shows them.

#include "core/value.h"

#include <functional>

class QAction;
class QWidget;

namespace kalmora::data {
class DataModule;
} // namespace kalmora::data

namespace kalmora::app {

class CommandActions;

class RatesWorkflow
{
public:
    /// `panel` shows `module`'s `CAjuste`; `day` is the day the panel opens. The actions are
    /// made with `commands`.
    RatesWorkflow(data::DataModule &module, QWidget &panel, std::function<data::Date()> day,
                  CommandActions &commands);

    bool panelShown() const;

    /// "actionOpenRates": the day's rates with their default rows, then the panel shown.
    QAction *openAction() const { return open_; }
    /// "actionSaveAndCloseRates": the rates saved (the first refused change undoing the
    /// save, the panel staying), then the panel hidden and the rates closed.
    QAction *saveAndCloseAction() const { return saveAndClose_; }
    /// "actionSaveRatesBeforePosting": the panel hidden and the rates saved, each change
    /// that can be; when one was refused the panel is shown again with what is pending.
    QAction *saveBeforePostingAction() const { return saveBeforePosting_; }

private:
    void openDay();
    void saveAndClose();
    void saveBeforePosting();
    /// The typing still in the rates grid's editor joins its row, while the panel is shown:
    /// a text the field refuses ends the step with the panel and the typing as they are.
    void writeTyping();

    data::DataModule &module_;
    QWidget &panel_;
    std::function<data::Date()> day_;
    QAction *open_ = nullptr;
    QAction *saveAndClose_ = nullptr;
    QAction *saveBeforePosting_ = nullptr;
};

} // namespace kalmora::app
