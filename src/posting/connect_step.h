// SPDX-License-Identifier: Apache-2.0
#pragma once
// The connect step (`CiaExit`, run when the company field loses the focus): points the
// connection `Kalmora` at the company's database, connects with the typed login, reloads the
// point-of-sale list and makes the day and the execute button usable.
//
// Nothing is caught: a failure ends the step where it happens and leaves what was done so
// far (the busy panel stays shown with its connecting caption; a failed connect leaves the
// day and the execute button as they were and the point-of-sale list with its former rows;
// a failed reload leaves the day enabled and the list closed and empty).

#include "core/date_format.h"
#include "data/wait_cursor.h"
#include "posting/busy_panel.h"

#include <optional>
#include <string>
#include <string_view>

namespace kalmora::company {
class DataModule;
} // namespace kalmora::company

namespace kalmora::posting {

/// The controls that the connect step changes, besides the busy panel.
class ConnectView
{
public:
    virtual ~ConnectView() = default;
    /// Enables the date picker `EFecIni` and sets its day to `today`.
    virtual void enableDay(const core::Date &today) = 0;
    /// Moves the focus to `EFecIni`.
    virtual void focusDay() = 0;
    /// Enables the execute button `SpeedButton3`.
    virtual void enableExecute() = 0;
    /// The hourglass to show while the connection connects (null: none).
    virtual data::WaitCursor *hourglass() = 0;
};

/// The texts as typed, bytes of the locale's code page, untrimmed.
struct ConnectInput
{
    std::string server;   // the server list's current text (`Servidor`)
    std::string user;     // `Tusua`
    std::string password; // `TClave`
    std::string company;  // `Cia`
};

/// How long the connection waits, so that nothing waits for ever: a server that does not
/// answer, and rows that another workstation holds (its transaction still open).
struct WaitLimits
{
    int connectSeconds = 10; // the attachment to the database
    int lockSeconds = 30;    // each statement meeting rows another transaction holds
};

/// A limit as written: whole seconds, at least 1; anything else is a failure whose text names
/// the option or variable `name` that held it.
int waitSeconds(const std::string &name, std::string_view text);

/// The limits, changed by KALMORA_CONNECT_TIMEOUT and KALMORA_LOCK_TIMEOUT (whole seconds,
/// at least 1) where those are set; a value that is not such a number is a failure that
/// names the variable.
WaitLimits waitLimitsFromEnvironment();

/// The database path of a company: the server text, "/datos/", the code, "/kalmora.fdb".
std::string companyDatabase(const std::string &server, const std::string &company);

/// Why `company` cannot be a company code, or nullopt when it can: a code names one folder
/// under the server's datos/, so "/", "\", ".." and ":" (which would reach another folder,
/// drive or server) are refused. The text is what the user is told.
std::optional<std::string> companyCodeProblem(const std::string &company);

/// The system date, without a time of day.
core::Date today();

/// Runs the connect step on `module`. Returns false, having done nothing at all, when the
/// company, the user or the password is empty (a text of spaces is not empty); true when the
/// step ran to its end. A company code with a problem (companyCodeProblem) fails with that
/// text before anything is shown, closed or opened. The connection waits within `limits`.
/// Failures propagate.
bool connectStep(company::DataModule &module, const ConnectInput &input, BusyPanel &busy,
                 ConnectView &view, const WaitLimits &limits = {});

} // namespace kalmora::posting
