// SPDX-License-Identifier: Apache-2.0
#include "posting/connect_step.h"

#include "core/errors.h"
#include "company/data_module.h"

#include <charconv>
#include <cstdlib>
#include <ctime>

namespace kalmora::posting {

namespace {

/// Puts the view's hourglass on the connection for one connect and gives back the one it had.
class HourglassOnConnection
{
public:
    HourglassOnConnection(data::TSQLConnection &connection, data::WaitCursor *cursor)
        : connection_(connection), previous_(connection.waitCursor())
    {
        connection_.setWaitCursor(cursor);
    }
    ~HourglassOnConnection() { connection_.setWaitCursor(previous_); }
    HourglassOnConnection(const HourglassOnConnection &) = delete;
    HourglassOnConnection &operator=(const HourglassOnConnection &) = delete;

private:
    data::TSQLConnection &connection_;
    data::WaitCursor *previous_;
};

} // namespace

std::string companyDatabase(const std::string &server, const std::string &company)
{
    return server + "/datos/" + company + "/kalmora.fdb";
}

std::optional<std::string> companyCodeProblem(const std::string &company)
{
    for (const char *reach : {"/", "\\", "..", ":"})
        if (company.find(reach) != std::string::npos)
            return "El código de compañía «" + company +
                   "» no es válido: no puede contener «/», «\\», «..» ni «:».";
    return std::nullopt;
}

core::Date today()
{
    // One thread: the shared buffer of std::localtime is safe here.
    const std::time_t now = std::time(nullptr);
    const std::tm *local = std::localtime(&now);
    return core::Date{local->tm_year + 1900, local->tm_mon + 1, local->tm_mday};
}

int waitSeconds(const std::string &name, std::string_view text)
{
    int number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || number < 1)
        throw core::Exception(name + " \"" + std::string(text) +
                              "\" no es un número entero de segundos mayor que 0");
    return number;
}

WaitLimits waitLimitsFromEnvironment()
{
    WaitLimits limits;
    const auto read = [](const char *name, int &seconds) {
        if (const char *text = std::getenv(name))
            seconds = waitSeconds(name, text);
    };
    read("KALMORA_CONNECT_TIMEOUT", limits.connectSeconds);
    read("KALMORA_LOCK_TIMEOUT", limits.lockSeconds);
    return limits;
}

bool connectStep(company::DataModule &module, const ConnectInput &input, BusyPanel &busy,
                 ConnectView &view, const WaitLimits &limits)
{
    if (input.company.empty() || input.user.empty() || input.password.empty())
        return false;
    // Before anything else: the code must not lead the connection out of datos/.
    if (const std::optional<std::string> problem = companyCodeProblem(input.company))
        throw core::Exception(*problem);

    busy.showBusy("Conectando a la base de datos " + input.company + " ...");

    data::TSQLConnection &connection = module.Kalmora;
    connection.setConnected(false);
    connection.params().setValue("Database", companyDatabase(input.server, input.company));
    connection.params().setValue("User_Name", input.user);
    connection.params().setValue("password", input.password);
    connection.params().setValue("Connection Timeout", std::to_string(limits.connectSeconds));
    connection.params().setValue("Lock Timeout", std::to_string(limits.lockSeconds));
    {
        HourglassOnConnection hourglass(connection, view.hourglass());
        connection.setConnected(true);
    }

    view.enableDay(today());

    module.CPuntos.close();
    module.CPuntos.open();

    busy.hideBusy();
    view.focusDay();
    view.enableExecute();
    return true;
}

} // namespace kalmora::posting
