// SPDX-License-Identifier: Apache-2.0
#include "cli/headless_options.h"

#include "core/day_range.h"
#include "core/errors.h"
#include "posting/connect_step.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <limits>

namespace kalmora::cli {

namespace {

std::optional<core::Date> isoDay(const std::string &text)
{
    // Digits only: from_chars would take a leading minus sign as part of the year.
    const auto digits = [&](std::size_t from, std::size_t count, int &value) {
        const char *first = text.data() + from;
        if (!std::all_of(first, first + count, [](char c) { return c >= '0' && c <= '9'; }))
            return false;
        const auto [end, error] = std::from_chars(first, first + count, value);
        return error == std::errc() && end == first + count;
    };
    int year = 0, month = 0, day = 0;
    // The database's days run from the year 1 to 9999.
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !digits(0, 4, year) ||
        !digits(5, 2, month) || !digits(8, 2, day) || year < 1)
        return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year(year),
                                           std::chrono::month(unsigned(month)),
                                           std::chrono::day(unsigned(day))};
    if (!date.ok())
        return std::nullopt;
    return core::Date{year, month, day};
}

/// A PTVT_ID: a whole number that the column (INTEGER) can hold; a larger one could only
/// fail later, inside the data module, as a failure instead of a usage error.
std::int64_t pointKey(const std::string &text)
{
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || end != text.data() + text.size() ||
        (error != std::errc() && error != std::errc::result_out_of_range))
        throw UsageError("--point-id \"" + text + "\" no es un número entero");
    if (error == std::errc::result_out_of_range)
        throw UsageError("--point-id \"" + text + "\" está fuera del rango de PTVT_ID, de " +
                         std::to_string(std::numeric_limits<std::int32_t>::min()) + " a " +
                         std::to_string(std::numeric_limits<std::int32_t>::max()));
    return value;
}

} // namespace

void readOptions(const std::vector<std::string> &args, LoginOptions &login,
                 const std::function<bool(const std::string &name, const OptionValue &value)> &own)
{
    bool serverGiven = false;
    // A limit that is not whole seconds, from the environment or an option, is a usage error.
    const auto seconds = [](const std::string &name, const std::string &text) {
        try {
            return posting::waitSeconds(name, text);
        } catch (const core::Exception &badLimit) {
            throw UsageError(badLimit.what());
        }
    };
    try {
        login.limits = posting::waitLimitsFromEnvironment();
    } catch (const core::Exception &badLimit) {
        throw UsageError(badLimit.what());
    }
    std::vector<std::string> given;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> inlineValue;
        if (const std::size_t equals = name.find('=');
            name.starts_with("--") && equals != std::string::npos) {
            inlineValue = name.substr(equals + 1);
            name.resize(equals);
        }
        const OptionValue value = [&]() -> std::string {
            if (inlineValue)
                return *inlineValue;
            if (i + 1 >= args.size())
                throw UsageError("falta el valor de " + name);
            return args[++i];
        };
        // Given twice, an option says two things; taking the last would hide the first.
        if (std::find(given.begin(), given.end(), name) != given.end())
            throw UsageError("la opción " + name + " está repetida");
        given.push_back(name);
        if (name == "--help" || name == "-h") {
            login.help = true;
        } else if (name == "--server") {
            login.server = value();
            serverGiven = true;
        } else if (name == "--company") {
            login.company = value();
        } else if (name == "--user") {
            login.user = value();
        } else if (name == "--connect-timeout") {
            login.limits.connectSeconds = seconds(name, value());
        } else if (name == "--lock-timeout") {
            login.limits.lockSeconds = seconds(name, value());
        } else if (!own(name, value)) {
            throw UsageError("argumento desconocido: " + args[i]);
        }
    }
    if (login.help)
        return;
    if (!serverGiven)
        throw UsageError("falta --server");
    if (login.company.empty())
        throw UsageError("falta --company");
    if (const std::optional<std::string> problem = posting::companyCodeProblem(login.company))
        throw UsageError(*problem);
    if (login.user.empty())
        throw UsageError("falta --user");
}

PostOptions parsePostOptions(const std::vector<std::string> &args)
{
    PostOptions options;
    LoginOptions login;
    const auto dayOption = [](const std::string &text) { return dayOptionValue(text); };
    readOptions(args, login, [&](const std::string &name, const OptionValue &value) {
        if (name == "--preview") { // headless_preview.h
            options.preview = true;
        } else if (name == "--date") {
            options.day = dayOption(value());
        } else if (name == "--from") {
            options.from = dayOption(value());
        } else if (name == "--to") {
            options.to = dayOption(value());
        } else if (name == "--all-points") {
            options.allPoints = true;
        } else if (name == "--format") {
            const std::string format = value();
            if (format == "text")
                options.format = PostFormat::Text;
            else if (format == "json")
                options.format = PostFormat::Json;
            else
                throw UsageError("--format \"" + format + "\": text o json");
        } else if (name == "--point") {
            options.point = value();
        } else if (name == "--point-id") {
            options.pointId = pointKey(value());
        } else {
            return false;
        }
        return true;
    });
    options.help = login.help;
    options.server = login.server;
    options.company = login.company;
    options.user = login.user;
    options.limits = login.limits;
    if (options.help)
        return options;
    if (options.allPoints && (options.point || options.pointId))
        throw UsageError("--all-points no va con --point ni --point-id");
    if (!options.allPoints && !options.point && !options.pointId)
        throw UsageError("falta el punto de venta: --point, --point-id o --all-points");
    if (options.day && (options.from || options.to))
        throw UsageError("--date no va con --from ni --to");
    if (options.from.has_value() != options.to.has_value())
        throw UsageError(options.from ? "falta --to" : "falta --from");
    if (options.from)
        checkDayRange(*options.from, *options.to);
    return options;
}

core::Date dayOptionValue(const std::string &text)
{
    const std::optional<core::Date> day = isoDay(text);
    if (!day)
        throw UsageError("la fecha \"" + text +
                         "\" no es un día válido AAAA-MM-DD, del 0001-01-01 al 9999-12-31");
    return *day;
}

std::int64_t pointIdOptionValue(const std::string &text)
{
    return pointKey(text);
}

void checkDayRange(const core::Date &from, const core::Date &to)
{
    const std::size_t days = core::daysBetween(from, to).size();
    if (days == 0)
        throw UsageError("--to es anterior a --from");
    if (days > std::size_t(kMaxPostDays))
        throw UsageError("de --from a --to van " + std::to_string(days) + " días; como máximo " +
                         std::to_string(kMaxPostDays));
}

std::string postHelp()
{
    return "Uso: contabiliza-pos post --server SERVIDOR --company EMPRESA --user USUARIO\n"
           "                          [--date AAAA-MM-DD | --from AAAA-MM-DD --to AAAA-MM-DD]\n"
           "                          (--point NOMBRE | --point-id N | --all-points)\n"
           "                          [--preview] [--format text|json]\n"
           "\n"
           "Contabiliza las ventas de contado de un día y un punto de venta, como el botón\n"
           "\"F2: Ejecutar\" de la ventana, sin abrirla ni necesitar una pantalla.\n"
           "\n"
           "  --server SERVIDOR   la entrada de la lista de servidores: lo que va delante de\n"
           "                      \"/datos/\" en la ruta de la base de datos (una carpeta local,\n"
           "                      o \"equipo/puerto:/carpeta\" para un servidor)\n"
           "  --company EMPRESA   el código de la empresa: su carpeta bajo \"datos/\", sin\n"
           "                      «/», «\\», «..» ni «:»\n"
           "  --user USUARIO      el usuario de la base de datos\n"
           "  --date AAAA-MM-DD   el día a contabilizar (por omisión, hoy); se envía como\n"
           "                      en la ventana: con la fecha corta de la configuración\n"
           "                      regional si la compañía la lee como ese día, si no en el\n"
           "                      orden de fecha de la compañía y con el año en cuatro cifras\n"
           "  --from AAAA-MM-DD --to AAAA-MM-DD\n"
           "                      cada día de ese rango, ambos incluidos (un año como\n"
           "                      máximo), en lugar de --date\n"
           "  --point NOMBRE      el punto de venta, por su nombre exacto\n"
           "  --point-id N        el punto de venta, por su PTVT_ID; necesario cuando varios\n"
           "                      puntos tienen el mismo nombre\n"
           "  --all-points        todos los puntos de venta de la compañía\n"
           "  --preview           vista previa: contabiliza en una transacción que se\n"
           "                      deshace y muestra el comprobante que se generaría (cuenta,\n"
           "                      tasa, débito, crédito y detalle de cada línea, facturas y\n"
           "                      totales) o los errores; no guarda nada\n"
           "  --format json       una línea por día y punto de venta, cada una un objeto JSON:\n"
           "                      day, point, point_name, outcome, message, voucher (COMP_ID),\n"
           "                      number (COMP_NUMERO), errors (description, value,\n"
           "                      interface) y preview\n"
           "  --connect-timeout S segundos que se espera a conectar con la base de datos\n"
           "                      (por omisión 10, o KALMORA_CONNECT_TIMEOUT)\n"
           "  --lock-timeout S    segundos que se espera por filas que otra estación tiene\n"
           "                      ocupadas (por omisión 30, o KALMORA_LOCK_TIMEOUT)\n"
           "  --help              muestra esta ayuda\n"
           "\n"
           "La contraseña se toma de la variable de entorno KALMORA_PASSWORD o, sin ella, se\n"
           "pide en la terminal sin mostrarla; nunca va en la línea de órdenes.\n"
           "\n"
           "Escribe en la salida los mensajes que mostraría la ventana y, tras una\n"
           "contabilización con errores, una línea por error: descripción, valor e interfaz,\n"
           "separados por tabuladores.\n"
           "\n"
           "Con --all-points o --from y --to, cada día y punto de venta se contabiliza por su\n"
           "cuenta, en orden de día y de PTVT_ID, y uno que falla no detiene los demás: una\n"
           "línea de resumen por cada uno (día, punto de venta, mensaje y comprobante), bajo\n"
           "ella sus errores, cada uno tras un tabulador, y el estado de salida es el peor.\n"
           "\n"
           "Estado de salida:\n"
           "  0   comprobante contable generado (o completado el que una contabilización\n"
           "      anterior de ese día dejó pendiente)\n"
           "  1   no se contabilizó nada: no había qué, u otra estación de trabajo está\n"
           "      contabilizando o ya contabilizó ese día y punto de venta\n"
           "  2   la contabilización informó errores\n"
           "  3   falla; su mensaje va a la salida de errores, como en el cuadro de error\n"
           "      (con --all-points, --from o --format json, la de un día y punto va a su\n"
           "      línea y los demás se contabilizan igual)\n"
           "  64  uso incorrecto\n";
}

} // namespace kalmora::cli
