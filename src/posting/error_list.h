// SPDX-License-Identifier: Apache-2.0
#pragma once
// The error list: after a failed posting, the error rows that the posting procedure wrote
// into ERRORES are read back into `CError` (shown in the error grid `DBGridEh1`), each with
// the name of the sales interface that was used.

#include <string>
#include <vector>

namespace kalmora::company {
class DataModule;
} // namespace kalmora::company

namespace kalmora::posting {

/// One row of the error list: what is wrong, the value it is about, the interface used.
struct ErrorRow
{
    std::string description; ///< ERRO_CODIGO
    std::string value;       ///< ERRO_CADENA
    std::string interface;   ///< INTERFAZ
};

/// The error grid as the error list needs it.
class ErrorGrid
{
public:
    virtual ~ErrorGrid() = default;
    /// Enables the error grid `DBGridEh1` (disabled until the first failed posting).
    virtual void enableErrorGrid() = 0;
};

/// The statement that lists the newest error rows: every row of errores whose erro_item is at
/// least the highest erro_item of document type 31 with erro_iddoc 0, less `reachBack`, with
/// `interfaceName` (quoted) as its INTERFAZ column.
std::string errorListCommand(int reachBack, const std::string &interfaceName);

/// Enables the grid, closes `CError`, gives it errorListCommand() and opens it. A failure
/// while opening leaves the grid enabled and `CError` closed.
void fillErrorList(company::DataModule &module, ErrorGrid &grid, int reachBack,
                   const std::string &interfaceName);

/// The rows `CError` shows, in its order, read by their field names; its current row stays.
std::vector<ErrorRow> errorRows(company::DataModule &module);

} // namespace kalmora::posting
