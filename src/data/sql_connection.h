// SPDX-License-Identifier: Apache-2.0
#pragma once
// The database connection component (`Kalmora` on the main window): the driver settings,
// the parameter list, connecting and disconnecting, connect on demand for the sources of
// the data-set layer, the transactions of saves, and the quote character.
//
// Driver names: `LibraryName` "dbexpint.dll" with `GetDriverFunc` "getSQLDriverINTERBASE"
// select the built-in Firebird driver (driver_library.h). `VendorLib` names the Firebird
// client library that the driver loads at connect time: "GDS32.DLL" (any case) stands for
// "libfbclient.so.2"; any other name is loaded as given.
//
// Outside a save every statement runs in the driver's implicit mode: its work is committed
// when it has finished (a query's once its cursor has been read to the end or closed).

#include "driver/driver.h"
#include "driver/driver_error.h"
#include "data/connection_params.h"
#include "data/wait_cursor.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kalmora::data {

enum class ConnectionState { Closed, Connecting, Open, Executing, Disconnecting };

class SendObserver;

/// A source of the data-set layer that holds a server statement on the connection. The
/// connection closes every registered client before it disconnects.
class ConnectionClient
{
public:
    virtual ~ConnectionClient() = default;
    /// Closes the source and releases its server statement.
    virtual void connectionClosing() = 0;
};

/// A statement parameter: the type it is sent with and its value (std::monostate = null).
struct Param
{
    core::ColumnDesc type;
    core::Value value;
};

class TSQLConnection
{
public:
    /// A closed connection with the design-time settings: DriverName "Interbase",
    /// GetDriverFunc "getSQLDriverINTERBASE", LibraryName "dbexpint.dll", VendorLib
    /// "GDS32.DLL", and the design-time parameter lines (designParams()). Only tests change
    /// the driver settings (tests/support/connection_probe.h).
    TSQLConnection();
    /// Disconnects.
    ~TSQLConnection();
    TSQLConnection(const TSQLConnection &) = delete;
    TSQLConnection &operator=(const TSQLConnection &) = delete;

    /// The design-time parameter list. Database and Password are empty: no database or
    /// secret ships with the program, so anything that needs the connection before the
    /// connect step fails with "Missing Database property".
    static Params designParams();

    Params &params() { return params_; }
    const Params &params() const { return params_; }

    /// True while open (or executing).
    bool connected() const;
    /// Connects or disconnects; setting the present value does nothing, so parameters
    /// changed while connected take effect at the next connect.
    void setConnected(bool value);

    /// The hourglass seam used while connecting (may be null). Not owned.
    void setWaitCursor(WaitCursor *cursor) { waitCursor_ = cursor; }
    WaitCursor *waitCursor() const { return waitCursor_; }

    /// What sees the work the data-set layer sends over this connection (statement_sender.h);
    /// null for none. Not owned.
    void setSendObserver(SendObserver *observer) { sendObserver_ = observer; }
    SendObserver *sendObserver() const { return sendObserver_; }

    /// Sources closed by disconnect. Not owned; a client removes itself before it dies.
    void addClient(ConnectionClient *client);
    void removeClient(ConnectionClient *client);

    // ---- For the layers above. Each of these connects on demand with the current
    // parameters. Driver failures are thrown as DriverError with the composed message.

    /// Connects when closed.
    void open();
    /// A new command on the connection. After a disconnect the command and its cursors
    /// fail with InvalidHandle.
    std::unique_ptr<driver::DriverCommand> createCommand();
    /// Prepares and executes a statement; returns the rows affected.
    std::int64_t execute(const std::string &text, const std::vector<Param> &params = {});
    /// Prepares and executes a statement that returns rows; the cursor stays valid after
    /// the command is gone. A statement without a result gives nullptr.
    std::unique_ptr<driver::DriverCursor> openQuery(const std::string &text,
                                                    const std::vector<Param> &params = {});
    /// The declared parameters of a stored procedure, read once per connection.
    std::vector<driver::ProcedureParam> procedureParams(const std::string &name);
    /// The quoted form of an object name, as the driver writes it.
    std::string quotedName(const std::string &name);
    /// The quote character read when the connection opened; empty while closed.
    const std::string &quoteChar() const { return quoteChar_; }

    // ---- Transactions of saves.

    /// The isolation level of the parameter "<DriverName> TransIsolation": "repeatableread"
    /// and "dirtyread" (any case) choose those levels, anything else read committed.
    driver::IsolationLevel transIsolation() const;
    /// A transaction started through this connection and not yet ended.
    bool inTransaction() const { return transactionsStarted_ > 0; }
    /// Connects on demand; a connection that still is not open fails with
    /// "<name>: Cannot perform this operation on a closed connection". Does nothing when the
    /// driver supports no transactions; a "not supported" answer is no failure.
    void startTransaction(const driver::TransactionDesc &transaction);
    /// Fail with "There is no active transaction" when none was started.
    void commit(const driver::TransactionDesc &transaction);
    void rollback(const driver::TransactionDesc &transaction);

private:
    // Reads and changes what only tests look at: the driver settings, the state, the count
    // of save transactions, and the driver's last server text.
    friend class ConnectionProbe;

    void connect();
    void disconnect();
    void checkSettings() const;
    void passOptions(driver::DriverConnection &connection) const;
    [[noreturn]] void fail(const driver::DriverError &error);
    driver::DriverConnection &driverConnection();
    void endTransaction(const driver::TransactionDesc &transaction, bool commit);

    std::string name_ = "Kalmora"; // put in front of the failures raised with the connection
    std::string driverName_ = "Interbase";
    std::string getDriverFunc_ = "getSQLDriverINTERBASE";
    std::string libraryName_ = "dbexpint.dll";
    std::string vendorLib_ = "GDS32.DLL";
    Params params_;

    ConnectionState state_ = ConnectionState::Closed;
    WaitCursor *waitCursor_ = nullptr;
    SendObserver *sendObserver_ = nullptr;
    std::vector<ConnectionClient *> clients_;
    std::unique_ptr<driver::Driver> driver_;
    std::unique_ptr<driver::DriverConnection> connection_;
    driver::DriverMetaData *metaData_ = nullptr;
    int transactionsStarted_ = 0;
    std::string quoteChar_;
    bool transactionsSupported_ = false;
    driver::FailureHistory failures_;
};

} // namespace kalmora::data
