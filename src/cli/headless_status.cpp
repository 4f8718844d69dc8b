// SPDX-License-Identifier: Apache-2.0
#include "cli/headless_status.h"

#include "company/data_module.h"
#include "posting/month_status.h"
#include "cli/headless_options.h"
#include "cli/headless_password.h"
#include "cli/headless_terminal.h"
#include "cli/point_choice.h"
#include "cli/status_report.h"

#include <cstring>
#include <iostream>
#include <langinfo.h>

namespace kalmora::cli {

namespace {

/// Whether the locale's character set is UTF-8 (the command has set the locale).
bool utf8Locale()
{
    const char *codeset = ::nl_langinfo(CODESET);
    return codeset && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
}

int status(const StatusOptions &options)
{
    const posting::ConnectInput login{options.server, options.user, headlessPassword(),
                                      options.company};
    company::DataModule module;
    TerminalWindow window(std::cout, std::cerr, stderrIsTerminal());
    posting::connectStep(module, login, window, window, options.limits);
    std::optional<std::int64_t> point;
    if (options.point || options.pointId)
        point = chosenPoint(module, options.point, options.pointId);

    const posting::MonthStatus month =
        posting::readMonthStatus(module.Kalmora, options.from, options.to, point);
    switch (options.format) {
    case StatusFormat::Text:
        printStatusText(month, utf8Locale(), std::cout);
        break;
    case StatusFormat::Json:
        printStatusJson(month, std::cout);
        break;
    case StatusFormat::Csv:
        printStatusCsv(month, std::cout);
        break;
    }
    return statusExit(month);
}

} // namespace

StatusOptions parseStatusOptions(const std::vector<std::string> &args)
{
    StatusOptions options;
    LoginOptions login;
    std::optional<core::Date> from, to;
    readOptions(args, login, [&](const std::string &name, const OptionValue &value) {
        if (name == "--from") {
            from = dayOptionValue(value());
        } else if (name == "--to") {
            to = dayOptionValue(value());
        } else if (name == "--point") {
            options.point = value();
        } else if (name == "--point-id") {
            options.pointId = pointIdOptionValue(value());
        } else if (name == "--format") {
            const std::string format = value();
            if (format == "text")
                options.format = StatusFormat::Text;
            else if (format == "json")
                options.format = StatusFormat::Json;
            else if (format == "csv")
                options.format = StatusFormat::Csv;
            else
                throw UsageError("--format \"" + format + "\": text, json o csv");
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
    if (!from || !to)
        throw UsageError(from ? "falta --to" : "falta --from");
    checkDayRange(*from, *to);
    options.from = *from;
    options.to = *to;
    return options;
}

std::string statusHelp()
{
    return "Uso: contabiliza-pos status --server SERVIDOR --company EMPRESA --user USUARIO\n"
           "                            --from AAAA-MM-DD --to AAAA-MM-DD\n"
           "                            [--point NOMBRE | --point-id N] [--format text|json|csv]\n"
           "\n"
           "Muestra, sin cambiar nada, el estado de la contabilización de cada día y punto de\n"
           "venta del rango: las facturas de contado (el prefijo y el cliente de contado del\n"
           "punto, como los elige la contabilización), cuántas están contabilizadas, los\n"
           "comprobantes del día y punto, y si cada comprobante completado cuadra y su línea\n"
           "de caja suma lo mismo que las facturas marcadas con él. Lee en una sola\n"
           "transacción de solo lectura, que no bloquea ninguna contabilización.\n"
           "\n"
           "  --server, --company, --user, --connect-timeout, --lock-timeout\n"
           "                      como en «contabiliza-pos post»\n"
           "  --from AAAA-MM-DD --to AAAA-MM-DD\n"
           "                      el rango de días, ambos incluidos (un año como máximo)\n"
           "  --point NOMBRE      solo ese punto de venta, por su nombre exacto\n"
           "  --point-id N        solo ese punto de venta, por su PTVT_ID\n"
           "                      (sin --point ni --point-id, todos los puntos de venta)\n"
           "  --format text       una cuadrícula del mes (una línea por punto de venta, una\n"
           "                      columna por día), luego una línea por cada día y punto que\n"
           "                      no está contabilizado ni sin ventas, con sus cifras, y un\n"
           "                      resumen (por omisión)\n"
           "  --format json       un objeto JSON por línea para cada día y punto de venta\n"
           "                      (day, point, point_name, state, invoices, amount, posted,\n"
           "                      posted_amount, to_post, to_post_amount, vouchers, problems),\n"
           "                      y al final un objeto summary\n"
           "  --format csv        una fila por día y punto de venta, con encabezado (RFC 4180)\n"
           "  --help              muestra esta ayuda\n"
           "\n"
           "Estados: ✓ contabilizado (posted), ○ por contabilizar (to_post), … pendiente\n"
           "(pending: un comprobante sin completar), ↺ revertido (reversed: sus facturas no se\n"
           "contabilizaron de nuevo), ✗ inconsistente (inconsistent: se dice qué comprobante\n"
           "y qué cifras), · sin ventas (nothing). Sin una configuración regional UTF-8, la\n"
           "cuadrícula usa + o p r X y .\n"
           "\n"
           "Estado de salida:\n"
           "  0   cada día y punto de venta está contabilizado o no tiene ventas de contado\n"
           "  1   hay algo por contabilizar, pendiente o revertido\n"
           "  2   hay una inconsistencia\n"
           "  3   falla; su mensaje va a la salida de errores\n"
           "  64  uso incorrecto\n";
}

int runHeadlessStatus(int argc, char **argv)
{
    return runHeadlessCommand(argc, argv, "status", [](const std::vector<std::string> &args) {
        const StatusOptions options = parseStatusOptions(args);
        if (options.help) {
            std::cout << statusHelp();
            return 0;
        }
        return status(options);
    });
}

} // namespace kalmora::cli
