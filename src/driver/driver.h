// SPDX-License-Identifier: Apache-2.0
#pragma once
// The database driver as the connection and the data-set layer see it: a driver object
// gives connections; a connection gives commands, a metadata object and transactions; a
// command runs one statement and may give a forward-only cursor. Every operation either
// succeeds or throws DriverError (driver_error.h) with a result code and the server's text.
//
// Texts (statements, parameters, values, names) are bytes of the 8-bit code page, passed
// to and from the server unchanged.

#include "core/value.h"
#include "driver/driver_error.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace kalmora::driver {

enum class IsolationLevel { ReadCommitted, RepeatableRead, DirtyRead };

/// One transaction of a connection: an id chosen by the caller and its isolation level.
struct TransactionDesc
{
    std::uint32_t id = 1;
    IsolationLevel isolation = IsolationLevel::ReadCommitted;
    /// Reads only: the server refuses any change in it, and it takes no lock.
    bool readOnly = false;
};

/// Options a connection takes before connect, in the order the connection passes them.
enum class ConnectionOption {
    HostName,            // text
    RoleName,            // text (trimmed by the caller)
    WaitOnLocks,         // bool: a statement meeting a locked row waits instead of failing
    CommitRetain,        // bool
    AutoCommit,          // bool
    BlockingMode,        // bool
    ServerCharSet,       // text: the character set of the attachment
    TransIsolation,      // IsolationLevel: the level of the implicit transactions
    SqlDialect,          // integer
    OsAuthentication,    // bool
    ServerPort,          // text
    MultipleTransaction, // bool
    TrimChar,            // bool
    CustomString,        // text
    ConnectionTimeout,   // integer, seconds
    LockTimeout,         // integer, seconds: how long a waiting statement waits (0: no limit)
    BlobSize,            // integer: -1 reads blobs whole, n >= 0 reads at most n KB
};
using OptionValue = std::variant<bool, std::int64_t, std::string, IsolationLevel>;

/// A declared parameter of a stored procedure, in declaration order (inputs first).
struct ProcedureParam
{
    core::ColumnDesc desc;
    bool output = false;
};

/// The type a value is naturally sent with: integers as LargeInt, decimals with the
/// precision and scale of their own digits (0.8000 is precision 4, scale 4), text as
/// String of its length, dates and times as themselves, doubles as Float. A null gives
/// String of width 0 (the server's own parameter type is used for a typeless null).
core::ColumnDesc parameterTypeOf(const core::Value &value);

/// A forward-only cursor over a statement's result.
class DriverCursor
{
public:
    virtual ~DriverCursor() = default;
    /// The result columns, read once when the cursor opened.
    virtual const std::vector<core::ColumnDesc> &columns() const = 0;
    /// Moves to the next row; false past the last one. Reaching the end of a statement run
    /// outside an explicit transaction commits its work.
    virtual bool next() = 0;
    /// The value of column `index` (from 0) of the current row; a null is std::monostate.
    /// The reference stays valid until the next call of next(). Blobs are read whole (or up
    /// to the connection's BlobSize).
    virtual const core::Value &value(std::size_t index) = 0;
    virtual bool isNull(std::size_t index) const = 0;
    /// Ends the statement: outside an explicit transaction its work is committed. A cursor
    /// destroyed before it reached the end or was closed rolls that work back.
    virtual void close() = 0;
};

/// One statement on a connection. After a disconnect its calls (and its cursor's) fail with
/// InvalidHandle.
class DriverCommand
{
public:
    virtual ~DriverCommand() = default;
    /// Prepares a statement text with positional "?" parameters.
    virtual void prepare(const std::string &text) = 0;
    /// Prepares a call of the stored procedure `name` (unquoted, as stored) with one "?"
    /// for each declared input parameter, bound later by position.
    virtual void prepareProcedure(const std::string &name) = 0;
    /// The number of "?" parameters of the prepared statement.
    virtual std::size_t parameterCount() const = 0;
    /// Binds parameter `index` (from 0) with a type (integer kinds, Date, Time, Timestamp,
    /// Decimal with precision and scale, String/FixedChar, Float) and a value or null. A
    /// value is sent as its own kind (a Decimal with its own scale, so 0.8 stays exact) and
    /// the server converts it to the parameter's declared type; the type decides a null's
    /// type and CHAR against VARCHAR text. Fails with OutOfRange past the last parameter.
    virtual void setParameter(std::size_t index, const core::ColumnDesc &type,
                              const core::Value &value) = 0;
    /// Executes the statement with the bound parameters. Returns the cursor over its
    /// result, or nullptr for a statement without one. Outside an explicit transaction a
    /// statement without a cursor is committed before this returns. The cursor stays valid
    /// after the command is gone. Fails with ParameterNotSet while a parameter is unbound.
    virtual std::unique_ptr<DriverCursor> execute() = 0;
    /// Rows inserted, updated or deleted by the last execute.
    virtual std::int64_t rowsAffected() const = 0;
};

/// What a connection tells about the database and its names.
class DriverMetaData
{
public:
    virtual ~DriverMetaData() = default;
    /// The quote character for object names ("\"").
    virtual std::string quoteChar() const = 0;
    /// `name` between quote characters, inner quote characters doubled.
    virtual std::string quotedName(const std::string &name) const = 0;
    virtual bool supportsTransactions() const = 0;
    /// The declared parameters of a stored procedure (name as stored), read from the
    /// server the first time a name is asked and kept. Unknown procedure: empty.
    virtual const std::vector<ProcedureParam> &procedureParams(const std::string &name) = 0;
};

/// A connection to one database.
class DriverConnection
{
public:
    virtual ~DriverConnection() = default;
    virtual void setOption(ConnectionOption option, const OptionValue &value) = 0;
    /// Attaches the database. A refusal throws code ConnectionFailed with the server text.
    virtual void connect(const std::string &database, const std::string &user,
                         const std::string &password) = 0;
    /// Rolls back an active transaction and detaches. Does nothing when not connected.
    virtual void disconnect() = 0;
    /// Statements run inside the explicit transaction while one is active; outside it each
    /// statement runs in an implicit transaction committed when the statement finishes.
    virtual void beginTransaction(const TransactionDesc &transaction) = 0;
    virtual void commit(const TransactionDesc &transaction) = 0;
    virtual void rollback(const TransactionDesc &transaction) = 0;
    virtual bool inTransaction() const = 0;
    virtual std::unique_ptr<DriverCommand> createCommand() = 0;
    /// Owned by the connection; valid while it is connected.
    virtual DriverMetaData &metaData() = 0;
    /// The server text of the last failure of this connection or its objects.
    virtual std::string lastErrorText() const = 0;
};

/// A driver over one client library.
class Driver
{
public:
    virtual ~Driver() = default;
    virtual std::unique_ptr<DriverConnection> createConnection() = 0;
};

/// The entry point of a driver library: given the client library's name and the error
/// resource file, the driver object, or nullptr when the client library cannot be loaded.
using DriverEntryPoint = std::unique_ptr<Driver> (*)(const std::string &vendorLib,
                                                     const std::string &errorResourceFile);

} // namespace kalmora::driver
