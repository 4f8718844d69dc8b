// SPDX-License-Identifier: Apache-2.0
#pragma once
// What the objects of one Firebird connection share: the client's interfaces, the
// attachment, the options, the transactions alive on it, the cache of procedure parameters
// and the text of the last failure. Commands and cursors hold the session, so a disconnect
// while they live leaves them failing cleanly instead of dangling.

#include "driver/driver.h"
#include "driver/fb_handles.h"

#include <firebird/Interface.h>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace kalmora::driver {

class FbSession;

/// Reads the declared parameters of procedure `name` on `session`.
using ProcedureReader = std::vector<ProcedureParam> (*)(FbSession &session,
                                                        const std::string &name);

/// An object holding client interfaces that depend on the attachment (statements, result
/// sets). The client must not be called on them once the attachment is gone, so the
/// session has them let go of their interfaces first.
class FbDependent
{
public:
    virtual ~FbDependent() = default;
    /// Closes and releases every interface that depends on the attachment; later calls
    /// on the object fail with InvalidHandle.
    virtual void releaseHandles() noexcept = 0;
};

/// The options the attachment and its transactions are made with.
struct FbOptions
{
    std::string role;
    std::string charSet; // empty: none given, texts pass as bytes
    bool waitOnLocks = true;
    IsolationLevel isolation = IsolationLevel::ReadCommitted;
    int dialect = 3;
    int blobSizeKb = -1; // -1: whole blobs
    int timeoutSeconds = 0;
    int lockTimeoutSeconds = 0; // with waitOnLocks: 0 waits without a limit
};

/// One transaction, rolled back when its owner lets it go without committing (failures
/// included) and when the session detaches first.
class FbTransaction
{
public:
    FbTransaction(FbSession &session, Firebird::ITransaction *transaction);
    ~FbTransaction();
    FbTransaction(const FbTransaction &) = delete;
    FbTransaction &operator=(const FbTransaction &) = delete;

    /// The transaction; throws InvalidHandle once it has ended.
    Firebird::ITransaction *get() const;
    bool active() const { return static_cast<bool>(transaction_); }
    /// Throw Firebird::FbException on a server failure; the transaction then stays active.
    void commit();
    void rollback();
    /// Rolls back ignoring failures (cleanup paths).
    void abandon() noexcept;

private:
    FbSession &session_;
    FbRef<Firebird::ITransaction> transaction_;
};

class FbSession : public std::enable_shared_from_this<FbSession>
{
public:
    /// `readProcedure` reads a procedure's parameters the first time they are asked for.
    FbSession(Firebird::IMaster *master, ProcedureReader readProcedure);
    ~FbSession();
    FbSession(const FbSession &) = delete;
    FbSession &operator=(const FbSession &) = delete;

    Firebird::IMaster *master() const { return master_; }
    Firebird::IUtil *util() const { return util_; }
    /// The status the calls of this session report into (one thread at a time), cleared:
    /// a status wrapper made over it must not see what an earlier failure left there.
    Firebird::IStatus *status() const;
    FbOptions &options() { return options_; }

    bool attached() const { return static_cast<bool>(attachment_); }
    /// The attachment; throws InvalidHandle when not connected.
    Firebird::IAttachment *attachment() const;
    /// Throws Firebird::FbException when the server refuses.
    void attach(Firebird::IProvider *provider, const std::string &database, const std::string &user,
                const std::string &password);
    /// Has every dependent let go of its interfaces, rolls back every live transaction,
    /// then detaches; never throws.
    void detach() noexcept;
    void enlist(FbDependent *dependent) { dependents_.insert(dependent); }
    void delist(FbDependent *dependent) { dependents_.erase(dependent); }

    /// A new transaction at `isolation`, with the session's lock wait setting.
    std::unique_ptr<FbTransaction> startTransaction(IsolationLevel isolation,
                                                    bool readOnly = false);
    /// The explicit transaction of the connection, or nullptr.
    FbTransaction *explicitTransaction() const { return explicit_.get(); }
    std::unique_ptr<FbTransaction> &explicitSlot() { return explicit_; }

    /// The declared parameters of a procedure, read once and kept.
    const std::vector<ProcedureParam> &procedureParams(const std::string &name);

    /// Our failure for a client exception: the texts copied out of its status, the result
    /// code `code`, or the server's primary error number when `code` is 0.
    DriverError error(const Firebird::FbException &exception, int code = 0);
    /// Our failure for a condition the driver itself detects.
    DriverError error(int code, std::string text = {});
    const std::string &lastErrorText() const { return lastErrorText_; }

    /// Runs `f`, turning a client exception into DriverError.
    template <typename F> decltype(auto) guard(F &&f, int code = 0)
    {
        try {
            return f();
        } catch (const Firebird::FbException &e) {
            throw error(e, code);
        }
    }

private:
    friend class FbTransaction;

    Firebird::IMaster *master_;
    Firebird::IUtil *util_;
    FbDisposable<Firebird::IStatus> status_;
    FbOptions options_;
    FbRef<Firebird::IAttachment> attachment_;
    std::set<FbTransaction *> transactions_;
    std::set<FbDependent *> dependents_;
    std::unique_ptr<FbTransaction> explicit_;
    ProcedureReader readProcedure_;
    std::map<std::string, std::vector<ProcedureParam>> procedures_;
    std::string lastErrorText_;
};

} // namespace kalmora::driver
