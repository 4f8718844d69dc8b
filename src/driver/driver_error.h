// SPDX-License-Identifier: Apache-2.0
#pragma once
// Driver result codes, their texts, and how a failure's message is composed from a result
// code and the server's text.

#include "core/errors.h"

#include <string>

namespace kalmora::driver {

/// Result codes of the driver. Every driver call either succeeds (0) or throws a DriverError
/// carrying one of these codes (or a server error code, below) and, where there is one, the
/// server's text.
namespace ResultCode {
constexpr int Success = 0;
constexpr int Warning = 1;
constexpr int NoMemory = 2;
/// A parameter bound with a type the driver cannot send, or a column it cannot read.
constexpr int InvalidFieldType = 3;
/// A call on an object in the wrong state: a command not prepared, a cursor already
/// closed, a connection not connected.
constexpr int InvalidHandle = 4;
/// The driver does not offer the operation or option; callers treat it as no failure where
/// the connection says so (transactions, options).
constexpr int NotSupported = 5;
constexpr int InvalidTime = 6;
constexpr int InvalidTranslation = 7;
/// A parameter or column position past the last one.
constexpr int OutOfRange = 8;
constexpr int InvalidParameter = 9;
constexpr int EndOfData = 10;
/// Executing with a parameter position left unbound.
constexpr int ParameterNotSet = 11;
constexpr int InvalidUserOrPassword = 12;
/// A decimal with more digits than the client can carry exactly (18).
constexpr int InvalidPrecision = 13;
constexpr int InvalidLength = 14;
constexpr int InvalidIsolationLevel = 15;
/// Commit or rollback of a transaction id that is not the active one.
constexpr int InvalidTransactionId = 16;
constexpr int DuplicateTransactionId = 17;
/// Begin while a transaction is already active (the driver runs one at a time).
constexpr int TransactionActive = 19;
constexpr int MultipleTransactionsNotEnabled = 20;
/// The database could not be attached: the server's text says why (wrong password, no
/// such file, no server).
constexpr int ConnectionFailed = 21;
/// The client library loaded but gave no usable master or provider interface.
constexpr int DriverInitFailed = 22;
constexpr int OptimisticLockFailed = 23;
constexpr int InvalidRef = 24;
constexpr int NoTableFound = 25;
constexpr int NoMoreData = 64;
constexpr int SqlError = 65;
} // namespace ResultCode
// Server failures of statements, transactions, fetches and blob reads carry the server's
// primary error number (an ISC code such as 335544665, always above 100) as their result
// code, so their message is the server's text alone.

/// Server error numbers that a caller acts on.
namespace ServerCode {
/// Another transaction holds or has changed the rows a statement updates: the primary
/// numbers of "deadlock" (a wait that ended on a concurrent update), "lock conflict on no
/// wait transaction" and "update conflicts with concurrent update".
constexpr int Deadlock = 335544336;
constexpr int LockConflict = 335544345;
constexpr int UpdateConflict = 335544451;
/// "lock time-out on wait transaction": a wait for another transaction's rows that reached
/// the connection's lock timeout.
constexpr int LockTimeout = 335544878;
/// The connection to the server broke: "Unable to complete network request", a read or a
/// write on the connection that failed, "connection lost to database".
constexpr int NetworkError = 335544721;
constexpr int NetworkReadError = 335544726;
constexpr int NetworkWriteError = 335544727;
constexpr int ConnectionLost = 335544741;
} // namespace ServerCode

/// Whether `code` says that the connection broke, so that what the server did with the
/// statement under way is not known.
constexpr bool isConnectionLost(int code)
{
    return code == ServerCode::NetworkError || code == ServerCode::NetworkReadError ||
           code == ServerCode::NetworkWriteError || code == ServerCode::ConnectionLost;
}

/// Whether `code` says that a concurrent transaction changed or holds the same rows.
constexpr bool isConcurrentUpdate(int code)
{
    return code == ServerCode::Deadlock || code == ServerCode::LockConflict ||
           code == ServerCode::UpdateConflict || code == ServerCode::LockTimeout;
}

/// The text of a result code from 1 to 100 ("[0x0015]: Connection failed"); empty for a
/// code the table does not list (18, 26 to 63, 66 to 100) and for any other code.
std::string resultCodeText(int code);

/// The message of a driver failure: "dbExpress Error: <code text>" for a listed code,
/// "SQL Server Error: <text>" for a non-empty server text, both joined by CR LF when both
/// exist. With neither: `previous` when it is not empty, else
/// "dbExpress Error: Unknown Error Code '<code>'".
std::string composeDriverMessage(int code, const std::string &serverText,
                                 const std::string &previous = {});

/// A failure reported by the driver: a result code plus the server's text. Its message is
/// composed as above without a previous failure; a component that keeps its previous
/// failure recomposes it with FailureHistory.
class DriverError : public core::EDatabaseError
{
public:
    DriverError(int code, std::string serverText);
    /// The same failure with a message composed elsewhere (FailureHistory).
    DriverError(int code, std::string serverText, const std::string &message);
    int code() const { return code_; }
    const std::string &serverText() const { return serverText_; }

private:
    int code_;
    std::string serverText_;
};

/// The previous failure of one component (the connection, a query), for the rule that a
/// failure with neither a code text nor a server text repeats the previous message.
class FailureHistory
{
public:
    /// Composes the message of `error` and remembers it as this component's last failure.
    std::string compose(int code, const std::string &serverText);
    /// `error` again with its message composed against this component's previous failure.
    DriverError recompose(const DriverError &error);
    const std::string &last() const { return last_; }

private:
    std::string last_;
};

} // namespace kalmora::driver
