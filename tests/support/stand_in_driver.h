// SPDX-License-Identifier: Apache-2.0
#pragma once
// A stand-in driver library for the tests: the program's own Firebird driver, through which
// everything reaches the real database, except the faults a test switches on. A connection
// uses it by its library and entry point names, as it would any driver library.

#include "data/sql_connection.h"

#include <string>

namespace kalmora::test {

/// The faults the stand-in shows, for every connection that uses it; cleared by the test.
struct StandInFaults
{
    /// A rollback fails as a lost connection would, and undoes nothing: the transaction
    /// stays active with its changes.
    bool rollbackFails = false;
    /// The call of this stored procedure (name as stored) fails before it reaches the server,
    /// as a lost connection would; empty for none.
    std::string procedureFails;
    /// The procedure of that name runs, then the connection breaks before its answer.
    std::string procedureFailsAfterRunning;
};
StandInFaults &standInFaults();

/// The server text of the faults: a connection lost.
extern const char *const kLostConnection;

/// Makes `connection` load the stand-in instead of the Firebird driver library.
void useStandInDriver(data::TSQLConnection &connection);

} // namespace kalmora::test
