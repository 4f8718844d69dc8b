// SPDX-License-Identifier: Apache-2.0
#pragma once
// The day's closing-adjustment rates, held in `CAjuste` over AJUSTE_CIERRE: opening a day
// with its three default rows, and saving what the user made of them. Nothing reaches the
// database before a save; a save stores every pending change or reports which it could not.

#include "core/errors.h"
#include "core/value.h"
#include "company/data_module.h"

#include <string>

namespace kalmora::rates {

/// A save that left changes unstored. The message says how many and why (the database's
/// reason for each refused change); the unstored changes stay pending in `CAjuste`.
class ERatesNotSaved : public core::EDatabaseError
{
public:
    ERatesNotSaved(const std::string &message, int refused)
        : core::EDatabaseError(message), refused_(refused)
    {
    }
    int refused() const { return refused_; }

private:
    int refused_;
};

/// Filters `CAjuste` on `day` ("AJCI_FECINI = '<day as the user writes dates>'"), opens it,
/// deletes the day's rows and inserts the default rows (0, 19 and 5 percent, factor 0.8,
/// from and to `day`), each before the one inserted just before: from the top they read 5,
/// 19, 0. Every change is pending. A row added afterwards (in the grid or with the
/// navigator bar) starts from and to `day` as well, with AJCI_ID 0.
void openRates(company::DataModule &module, const core::Date &day);

/// Ends the edit of the row being typed in `CAjuste`, with what is still in the grid's editor:
/// a text its field refuses raises here. Nothing when `CAjuste` is closed or not editing.
void postTypedRate(company::DataModule &module);

/// Sends the pending changes of `CAjuste` in one transaction. With `maxErrors` 0 the first
/// refused change undoes the save; with -1 the others are stored. When every change was
/// stored, `CAjuste` is fetched again so that it holds the rows as stored (with their keys)
/// and a later open deletes exactly those. Otherwise raises ERatesNotSaved.
void saveRates(company::DataModule &module, int maxErrors);

/// Closes `CAjuste`; whatever is still pending is dropped.
void closeRates(company::DataModule &module);

} // namespace kalmora::rates
