// SPDX-License-Identifier: Apache-2.0
#include "posting/posting_run.h"

#include "core/date_format.h"
#include "core/errors.h"
#include "core/quoting.h"
#include "company/data_module.h"

namespace kalmora::posting {

namespace {

const char *const kChoosePoint = "Seleccione el punto de venta.";
const char *const kNothingPosted = "No se pudo contabilizar las facturas.";
const char *const kVoucherGenerated = "Comprobante contable correctamente generado.";
const char *const kPendingCompleted = "Se completó el comprobante contable que una "
                                      "contabilización anterior de este día había dejado "
                                      "pendiente.";
const char *const kPostedElsewhere = "Las ventas de este día y punto de venta las está "
                                     "contabilizando o ya las contabilizó otra estación de "
                                     "trabajo.";
const char *const kPostingErrors = "Se presentaron los siguientes errores en la contabilización:"
                                   "\r"
                                   "Verifique la definición de la interfaz relacionada";

/// Closes `dataSet`, gives it `text` and opens it again.
void reopen(data::TClientDataSet &dataSet, std::string text)
{
    dataSet.close();
    dataSet.setCommandText(std::move(text));
    dataSet.open();
}

/// The day argument. The company database reads the day text in the order its
/// configuration keeps, which need not be the workstation's: the database itself is asked
/// how it reads the workstation's text, and when that is not the day, the day goes in the
/// company's order with a four-digit year. Without a readable order the workstation's text
/// goes as it is, and the posting procedure reports the order as an error row.
std::string dayArgument(data::TClientDataSet &lookup, const core::Date &day)
{
    const std::string written = core::formatDate(day);
    reopen(lookup, "select conf_valor, fecha_corta(" + core::quotedString(written) +
                       ", conf_valor) from configuracion where conf_modulo = 'FACTURACION' and "
                       "conf_categoria = 'FECHAS' and conf_propiedad = 'ORDEN DE LA FECHA "
                       "CORTA'");
    if (lookup.isEmpty())
        return written;
    const core::Value read = lookup.fields(1).value();
    if (const auto *readDay = std::get_if<core::Date>(&read); readDay && *readDay == day)
        return written;
    return core::formatDateInOrder(day, lookup.fields(0).asString(),
                                   core::currentDateSettings().separator)
        .value_or(written);
}

/// The cash customer's NIT argument with its ", ": the prefix's own AUTO_NITCONTADO when it
/// is not empty, else the configured cash customer, else nothing (the server then rejects
/// the call for its missing argument).
std::string nitArgument(data::TClientDataSet &lookup, const std::string &prefix)
{
    reopen(lookup, "SELECT AUTO_NITCONTADO FROM AUTORIZACIONES WHERE PREF_PRE = " +
                       core::quotedString(prefix));
    if (!lookup.isEmpty() && !lookup.fields(0).asString().empty())
        return core::quotedString(lookup.fields(0).asString()) + ", ";

    reopen(lookup, "select conf_valor from configuracion where conf_modulo = 'FACTURACION' and "
                   "conf_categoria = 'FACTURAS' and conf_propiedad = 'CODIGO DEL CLIENTE PARA "
                   "VENTAS DE CONTADO'");
    if (lookup.recordCount() > 0)
        return core::quotedString(lookup.fields(0).asString()) + ", ";
    return {};
}

/// Undoes the voucher and fails when it is not of the chosen day and point: completing it
/// would post sales the user did not ask for. A voucher that does not exist is left to the
/// completion, which says so.
void checkVoucher(company::DataModule &module, std::int64_t voucher, const core::Date &day,
                  std::int64_t point)
{
    reopen(module.Cborrar, "select comp_fecha, ptvt_id from comprobantes where comp_id = " +
                               std::to_string(voucher));
    if (module.Cborrar.isEmpty())
        return;
    const core::Value dated = module.Cborrar.fields(0).value();
    const auto *voucherDay = std::get_if<core::Date>(&dated);
    const std::int64_t voucherPoint = module.Cborrar.fields(1).asInteger();
    if (voucherDay && *voucherDay == day && voucherPoint == point)
        return;
    module.Sdescartapend.paramByName("IDCNT").setAsInteger(voucher);
    module.Sdescartapend.execProc();
    throw core::Exception("El comprobante generado es del día " +
                          (voucherDay ? core::isoDateText(*voucherDay) : std::string("(vacío)")) +
                          " y del punto de venta " + std::to_string(voucherPoint) +
                          ", no del día " + core::isoDateText(day) + " y el punto de venta " +
                          std::to_string(point) + " elegidos: se anuló y no se contabilizó nada.");
}

/// Whether the voucher is already definitive: another workstation completed it.
bool completedElsewhere(data::TClientDataSet &lookup, std::int64_t voucher)
{
    try {
        reopen(lookup,
               "select comp_estado from comprobantes where comp_id = " + std::to_string(voucher));
        return !lookup.isEmpty() && lookup.fields(0).asString() == "D";
    } catch (const core::Exception &) {
        return false; // the completion's own failure is the one to report
    }
}

/// Completes the voucher; false when another workstation's run completed it first (it may
/// have found it pending in the moment between this run's two calls).
bool completeVoucher(company::DataModule &module, std::int64_t voucher)
{
    module.Scontapend.paramByName("IDCNT").setAsInteger(voucher);
    try {
        module.Scontapend.execProc();
        return true;
    } catch (const driver::DriverError &failure) {
        // The completion may have been committed before the connection broke, or not: say
        // so, and how to settle it, rather than a plain failure for a voucher maybe complete.
        if (driver::isConnectionLost(failure.code()))
            throw core::Exception(
                "Se perdió la conexión al completar el comprobante " + std::to_string(voucher) +
                ": no se sabe si quedó completado. Contabilice de nuevo este día y "
                "punto de venta: si quedó pendiente se completa, y si ya se completó "
                "no hay nada más que contabilizar.");
        if (driver::isConcurrentUpdate(failure.code()) ||
            completedElsewhere(module.Cborrar, voucher))
            return false;
        throw;
    }
}

/// Runs the posting call in `CRepArticulos`; false when it met another workstation's posting
/// of the same invoices, which the server then undid whole.
bool runPostingCall(company::DataModule &module, std::string call)
{
    try {
        reopen(module.CRepArticulos, std::move(call));
        return true;
    } catch (const core::EOleException &failure) {
        if (!driver::isConcurrentUpdate(failure.errorCode()))
            throw;
        return false;
    }
}

/// The plain message of an outcome; null for one that shows none.
const char *messageFor(PostingOutcome outcome)
{
    switch (outcome) {
    case PostingOutcome::NoPointChosen:
        return kChoosePoint;
    case PostingOutcome::NothingPosted:
        return kNothingPosted;
    case PostingOutcome::VoucherGenerated:
        return kVoucherGenerated;
    case PostingOutcome::PendingCompleted:
        return kPendingCompleted;
    case PostingOutcome::PostedElsewhere:
        return kPostedElsewhere;
    case PostingOutcome::Errors:
        return kPostingErrors;
    case PostingOutcome::NoVoucher:
        break;
    }
    return nullptr;
}

} // namespace

PostingResult postingRun(company::DataModule &module, BusyPanel &busy, PostingView &view,
                         core::MessageSink &messages, PostingPreview *preview)
{
    PostingResult result;
    const auto stopWithoutPoint = [&] {
        result.outcome = PostingOutcome::NoPointChosen;
        result.message = messageFor(result.outcome);
        messages.showMessage(result.message);
        return result;
    };
    // Without a point there is nothing sound to post: stop before anything is sent.
    const std::optional<std::int64_t> point = view.chosenPoint();
    if (!point)
        return stopWithoutPoint();
    // The company database reads years of one to four digits: no text names another year.
    const core::Date day = view.day();
    if (day.year < 1 || day.year > 9999)
        throw core::Exception("No se puede contabilizar el día " + core::isoDateText(day) +
                              ": la compañía lee años de 1 a 9999.");

    busy.showBusy();

    // The point by its key: two points may share a name, and a key that is no longer in the
    // list (another company connected since) must not post whichever row is current.
    if (!module.CPuntos.locate("PTVT_ID", core::Value{*point})) {
        busy.hideBusy();
        return stopWithoutPoint();
    }
    const std::string prefix = module.CPuntosPREF_PRE->asString();
    const std::string pointName = module.CPuntosPTVT_NOM->asString();
    // What the point lacks is told plainly, before the call: without it the call would go
    // with an empty argument and the server would refuse it as a syntax error.
    const auto lacking = [&](const std::string &what) {
        busy.hideBusy();
        return core::Exception("El punto de venta " + pointName + " no tiene " + what +
                               "; no se contabilizó.");
    };
    if (prefix.empty())
        throw lacking("prefijo de facturas");

    std::string call = "select * from contabil_facturas_contado(" +
                       core::quotedString(dayArgument(module.Cborrar, day)) + ", ";
    call += nitArgument(module.Cborrar, prefix);
    call += core::quotedString(prefix) + ", " + module.CPuntosPTVT_ID->asString() + ", ";

    // Cborrar stays on this result: its second column names the interface in the error list.
    reopen(module.Cborrar, "SELECT MAX(INVE_ID), MAX(INVE_NOMBRE) FROM INTERFAZ_VENTAS WHERE "
                           "TIDO_COD = 31 AND PREF_PRE = " +
                               core::quotedString(prefix));
    if (module.Cborrar.isEmpty() || module.Cborrar.fields(0).isNull())
        throw lacking("interfaz de ventas de contado (tipo 31) para su prefijo " + prefix);
    call += module.Cborrar.fields(0).asString() + ")";

    const bool called = runPostingCall(module, std::move(call));

    busy.hideBusy();

    // Without a row (or a call) the fields read as null, which reads 0.
    PostingOutcome outcome = PostingOutcome::NoVoucher;
    const std::int64_t errors = module.CRepArticulosERROR->asInteger();
    const std::int64_t voucher = module.CRepArticulosIDC->asInteger();
    if (!called) {
        outcome = PostingOutcome::PostedElsewhere;
    } else if (module.CRepArticulos.isEmpty()) {
        outcome = PostingOutcome::NothingPosted;
    } else if (errors > 0) {
        outcome = PostingOutcome::Errors;
    } else if (module.CRepArticulosVER->asString() == "O") {
        // Another posting of the day took the invoices between the procedure's check and
        // its marking; the procedure undid its own voucher.
        outcome = PostingOutcome::PostedElsewhere;
    } else if (voucher != 0) {
        // "P": the procedure handed back a voucher an earlier run built and never completed.
        const bool leftPending = module.CRepArticulosVER->asString() == "P";
        checkVoucher(module, voucher, day, *point);
        if (preview)
            preview->voucher = voucher;
        outcome = (!preview && !completeVoucher(module, voucher)) ? PostingOutcome::PostedElsewhere
                  : leftPending                                   ? PostingOutcome::PendingCompleted
                                : PostingOutcome::VoucherGenerated;
        if (!preview && outcome != PostingOutcome::PostedElsewhere)
            result.voucher = voucher;
    }

    result.outcome = outcome;
    if (const char *text = messageFor(outcome)) {
        result.message = text;
        messages.showMessage(result.message);
    }
    if (outcome == PostingOutcome::Errors) {
        fillErrorList(module, view, int(errors), module.Cborrar.fields(1).asString());
        result.errors = errorRows(module);
    }

    module.CRepArticulos.close();
    return result;
}

} // namespace kalmora::posting
