#include "posting/posting_run.h"

#include "company/data_module.h"
#include "core/date_format.h"
#include "core/quoting.h"

namespace kalmora::posting {

namespace {

const char *const kChoosePoint = "Seleccione el punto de venta.";
const char *const kNothingPosted = "No se pudo contabilizar las facturas.";
const char *const kVoucherGenerated = "Comprobante contable correctamente generado.";
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

/// The cash customer's NIT argument with its ", ": the prefix's own AUTO_NITCONTADO when it
/// is not empty, else the configured cash customer, else nothing (the server then rejects
/// the call for its missing argument).
std::string nitArgument(data::TClientDataSet &lookup, const std::string &prefix)
{
    reopen(lookup, "SELECT AUTO_NITCONTADO FROM AUTORIZACIONES WHERE PREF_PRE = " +
                       data::quotedString(prefix));
    if (!lookup.isEmpty() && !lookup.fields(0).asString().empty())
        return data::quotedString(lookup.fields(0).asString()) + ", ";

    reopen(lookup, "select conf_valor from configuracion where conf_modulo = 'FACTURACION' and "
                   "conf_categoria = 'FACTURAS' and conf_propiedad = 'CODIGO DEL CLIENTE PARA "
                   "VENTAS DE CONTADO'");
    if (lookup.recordCount() > 0)
        return data::quotedString(lookup.fields(0).asString()) + ", ";
    return {};
}

} // namespace

PostingOutcome postingRun(data::DataModule &module, BusyPanel &busy, PostingView &view,
                          MessageSink &messages)
{
    // Without a point there is nothing sound to post: stop before anything is sent.
    const std::optional<std::int64_t> point = view.chosenPoint();
    if (!point) {
        messages.showMessage(kChoosePoint);
        return PostingOutcome::NoPointChosen;
    }

    busy.showBusy();

    // The point by its key: two points may share a name, and a key that is no longer in the
    // list (another company connected since) must not post whichever row is current.
    if (!module.CPuntos.locate("PTVT_ID", data::Value{*point})) {
        busy.hideBusy();
        messages.showMessage(kChoosePoint);
        return PostingOutcome::NoPointChosen;
    }
    const std::string prefix = module.CPuntosPREF_PRE->asString();

    std::string call = "select * from contabil_facturas_contado(" +
                       data::quotedString(data::formatDate(view.day())) + ", ";
    call += nitArgument(module.Cborrar, prefix);
    call += data::quotedString(prefix) + ", " + module.CPuntosPTVT_ID->asString() + ", ";

    // Cborrar stays on this result: its second column names the interface in the error list.
    reopen(module.Cborrar, "SELECT MAX(INVE_ID), MAX(INVE_NOMBRE) FROM INTERFAZ_VENTAS WHERE "
                           "TIDO_COD = 31 AND PREF_PRE = " +
                               data::quotedString(prefix));
    if (!module.Cborrar.isEmpty())
        call += module.Cborrar.fields(0).asString() + ")";

    reopen(module.CRepArticulos, call);

    busy.hideBusy();

    PostingOutcome outcome;
    if (module.CRepArticulos.isEmpty()) {
        messages.showMessage(kNothingPosted);
        outcome = PostingOutcome::NothingPosted;
    } else if (const std::int64_t errors = module.CRepArticulosERROR->asInteger(); errors <= 0) {
        const std::int64_t voucher = module.CRepArticulosIDC->asInteger();
        if (voucher != 0) {
            module.Scontapend.paramByName("IDCNT").setAsInteger(voucher);
            module.Scontapend.execProc();
            messages.showMessage(kVoucherGenerated);
            outcome = PostingOutcome::VoucherGenerated;
        } else {
            outcome = PostingOutcome::NoVoucher;
        }
    } else {
        messages.showMessage(kPostingErrors);
        fillErrorList(module, view, int(errors), module.Cborrar.fields(1).asString());
        outcome = PostingOutcome::Errors;
    }

    module.CRepArticulos.close();
    return outcome;
}

} // namespace kalmora::posting
