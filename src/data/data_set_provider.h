// SPDX-License-Identifier: Apache-2.0
#pragma once
// Providers: a data set's way to its source. On open a provider runs its source's statement,
// copies every row into a packet and closes the source again; on apply updates it turns
// the delta into one statement per row inside a transaction of its own. Failures leave a
// provider as an `EOleException` whose message has its trailing full stops and blanks
// removed.

#include "data/memory_table.h"
#include "data/sql_source.h"

#include <string>
#include <vector>

namespace kalmora::data {

enum ProviderOption : unsigned {
    poAllowCommandText = 1u << 0,
    poAllowMultiRecordUpdates = 1u << 1,
    poReadOnly = 1u << 2,
};

/// A fetched result: column descriptions with their save flags, and the rows.
struct DataPacket
{
    std::vector<TableColumn> columns;
    ColumnStore rows;
};

enum class ReconcileResponse { rrSkip, rrAbort };

/// One row of a save's failure log.
struct UpdateFailure
{
    std::size_t row = 0; // position in the delta
    RecordId record = 0;
    ReconcileResponse response = ReconcileResponse::rrSkip;
    std::string message;
    int errorCode = 0;
};

struct ApplyResult
{
    int errorCount = 0;
    /// The records whose change stands in the database (or in a transaction the provider
    /// did not start). Empty when the save was rolled back.
    std::vector<RecordId> applied;
    std::vector<UpdateFailure> failures;
};

class TDataSetProvider
{
public:
    TDataSetProvider(std::string name, TSQLSource &source, unsigned options = 0);

    const std::string &name() const { return name_; }
    TSQLSource &dataSet() const { return source_; }

    /// Every row of the source's result. A non-empty `commandText` becomes the source's
    /// statement first ("CommandText changes are not allowed" without poAllowCommandText).
    DataPacket getRecords(const std::string &commandText);
    /// Closes the source if the provider opened it; nothing reaches the server.
    void reset();

    /// Saves `delta` in one transaction with the tolerance `maxErrors` (-1: none).
    ApplyResult applyUpdates(const Delta &delta, int maxErrors);

private:
    std::string name_;
    TSQLSource &source_;
    unsigned options_;
    bool openedSource_ = false;
};

/// The message with every trailing full stop and character of code 32 or less removed.
std::string withoutTrailingStops(const std::string &message);

} // namespace kalmora::data
