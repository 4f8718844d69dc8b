// SPDX-License-Identifier: Apache-2.0
#include "cli/headless_reverse.h"

#include "core/errors.h"
#include "data/scoped_transaction.h"
#include "company/data_module.h"
#include "cli/headless_command.h"
#include "cli/headless_options.h"
#include "cli/headless_password.h"
#include "cli/headless_terminal.h"
#include "cli/voucher_listing.h"

#include <charconv>
#include <iostream>

namespace kalmora::cli {

namespace {

const char *const kReversedElsewhere = "Otra estación de trabajo está revirtiendo o "
                                       "contabilizando este comprobante; no se revirtió nada.";

std::int64_t voucherKey(const std::string &text)
{
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || end != text.data() + text.size() || error != std::errc() || value <= 0)
        throw UsageError("--voucher \"" + text +
                         "\" no es el número interno de un comprobante (COMP_ID, un entero "
                         "positivo)");
    return value;
}

int reverse(const ReverseOptions &options)
{
    const posting::ConnectInput login{options.server, options.user, headlessPassword(),
                                      options.company};
    company::DataModule module;
    TerminalWindow window(std::cout, std::cerr, stderrIsTerminal());
    posting::connectStep(module, login, window, window, options.limits);

    data::TClientDataSet &lookup = module.Cborrar;
    // Committed below, rolled back on any other way out.
    data::ScopedTransaction transaction(
        module.Kalmora, "No se puede revertir: la conexión no admite transacciones.");
    try {
        lookup.close();
        lookup.setCommandText("select idc, numero, rechazo from revierte_contado(" +
                              std::to_string(options.voucher) + ")");
        lookup.open();
    } catch (const core::EOleException &failure) {
        // Another reversal (or a posting) holds the voucher's row: it is reversed once.
        if (!driver::isConcurrentUpdate(failure.errorCode()))
            throw;
        window.showMessage(kReversedElsewhere);
        return kReverseRefused;
    }
    if (lookup.isEmpty() || !lookup.fields(2).isNull()) {
        const std::string reason =
            lookup.isEmpty() ? std::string("No se revirtió nada.") : lookup.fields(2).asString();
        lookup.close();
        window.showMessage(reason);
        return kReverseRefused;
    }
    const std::int64_t reversing = lookup.fields(0).asInteger();
    const std::string number = lookup.fields(1).asString();
    lookup.close();
    // Read inside the reversal's transaction, printed once it is committed: a reversal that
    // does not commit shows no voucher.
    const std::optional<VoucherListing> voucher = readVoucher(lookup, reversing);
    transaction.commit();
    if (voucher)
        printVoucher(*voucher, true, std::cout);
    window.showMessage("Comprobante " + std::to_string(options.voucher) +
                       " revertido por el comprobante " + std::to_string(reversing) + " (número " +
                       number + "); sus facturas se pueden contabilizar de nuevo.");
    return kReverseDone;
}

} // namespace

ReverseOptions parseReverseOptions(const std::vector<std::string> &args)
{
    ReverseOptions options;
    LoginOptions login;
    bool voucherGiven = false;
    readOptions(args, login, [&](const std::string &name, const OptionValue &value) {
        if (name != "--voucher")
            return false;
        options.voucher = voucherKey(value());
        voucherGiven = true;
        return true;
    });
    options.help = login.help;
    options.server = login.server;
    options.company = login.company;
    options.user = login.user;
    options.limits = login.limits;
    if (!options.help && !voucherGiven)
        throw UsageError("falta --voucher");
    return options;
}

std::string reverseHelp()
{
    return "Uso: contabiliza-pos reverse --server SERVIDOR --company EMPRESA --user USUARIO\n"
           "                             --voucher N\n"
           "\n"
           "Revierte una contabilización de ventas de contado completada: en una sola\n"
           "transacción escribe un comprobante de reversión (cada línea del comprobante N\n"
           "con el débito y el crédito intercambiados, del mismo día, numerado como\n"
           "cualquier comprobante y que remite a N), marca N como revertido y libera sus\n"
           "facturas para que el día se pueda contabilizar de nuevo.\n"
           "\n"
           "  --server, --company, --user, --connect-timeout, --lock-timeout\n"
           "                      como en «contabiliza-pos post»\n"
           "  --voucher N         el comprobante a revertir, por su número interno (COMP_ID)\n"
           "  --help              muestra esta ayuda\n"
           "\n"
           "No se revierte, y no cambia nada, un comprobante que no existe, que no es una\n"
           "contabilización de ventas de contado (una reversión tampoco lo es), que sigue\n"
           "pendiente o que ya fue revertido.\n"
           "\n"
           "Estado de salida:\n"
           "  0   comprobante revertido; se muestra el comprobante de reversión\n"
           "  1   no se revirtió: se dice por qué\n"
           "  3   falla; su mensaje va a la salida de errores, como en el cuadro de error\n"
           "  64  uso incorrecto\n";
}

int runHeadlessReverse(int argc, char **argv)
{
    return runHeadlessCommand(argc, argv, "reverse", [](const std::vector<std::string> &args) {
        const ReverseOptions options = parseReverseOptions(args);
        if (options.help) {
            std::cout << reverseHelp();
            return 0;
        }
        return reverse(options);
    });
}

} // namespace kalmora::cli
