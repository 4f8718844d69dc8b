// SPDX-License-Identifier: Apache-2.0
#pragma once
// The posting run (`SpeedButton3Click`, also F2): posts the cash sales of the chosen day and
// point of sale. Lookups in `Cborrar` gather the arguments of contabil_facturas_contado,
// `CRepArticulos` runs the call, and its first row decides: complete the pending voucher
// through `Scontapend` and say so, say that nothing could be posted, or show the errors the
// database recorded (error_list.h).
//
// Only the day is ever posted: the day text is one the company database reads as that day,
// and a voucher that is not of the chosen day and point is undone (`Sdescartapend`) instead
// of completed. A voucher an earlier run left pending is completed by the next run of its day
// and point. A day another workstation is posting at the same moment is told as such.
//
// Nothing else is caught: a failure ends the run at that step and leaves what was done (the
// busy panel stays shown when it comes before the posting call has returned).

#include "core/message_sink.h"
#include "core/value.h"
#include "posting/busy_panel.h"
#include "posting/error_list.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kalmora::company {
class DataModule;
}

namespace kalmora::posting {

/// The controls the posting run reads and changes, besides the busy panel and the messages.
class PostingView : public ErrorGrid
{
public:
    /// The day to post (`EFecIni`).
    virtual core::Date day() const = 0;
    /// The PTVT_ID of the point chosen in `Pto`; nullopt while none is chosen.
    virtual std::optional<std::int64_t> chosenPoint() const = 0;
};

enum class PostingOutcome {
    NoPointChosen,    ///< nothing sent: "Seleccione el punto de venta." was shown
    NothingPosted,    ///< the call returned no row: "No se pudo contabilizar las facturas."
    VoucherGenerated, ///< completed: "Comprobante contable correctamente generado."
    /// A voucher an earlier run of the day and point left pending, completed: "Se completó el
    /// comprobante contable que una contabilización anterior de este día había dejado
    /// pendiente."
    PendingCompleted,
    /// Another workstation's posting of the day and point held or took the invoices, or
    /// completed the voucher first: "Las ventas de este día y punto de venta las está
    /// contabilizando o ya las contabilizó otra estación de trabajo."
    PostedElsewhere,
    NoVoucher, ///< ERROR and IDC both 0: nothing shown
    Errors,    ///< the call reported errors; `CError` holds the error list
};

/// What a run came to, as values a report renders: the same message the run showed and the
/// rows of the error list it filled.
struct PostingResult
{
    PostingOutcome outcome = PostingOutcome::NoVoucher;
    /// The message shown, as shown (its lines separated by "\r"); empty when none was.
    std::string message;
    /// The error list of an outcome Errors, as `CError` holds it; empty otherwise.
    std::vector<ErrorRow> errors;
    /// COMP_ID of the voucher completed (VoucherGenerated or PendingCompleted; never in a
    /// preview).
    std::optional<std::int64_t> voucher;
};

/// A run that is to be rolled back: it leaves its voucher pending instead of completing it,
/// so that no voucher number is drawn, and hands the voucher over. Its outcome is the one
/// the completion would have given (VoucherGenerated or PendingCompleted) and its message
/// is shown as for that outcome.
struct PostingPreview
{
    std::int64_t voucher = 0; ///< COMP_ID of the voucher left pending; 0 for none
};

/// Runs the posting run on `module`, whose `CPuntos` the connect step has loaded. The day is
/// written with the current short date pattern (core/date_format.h) when the company reads
/// that text as the day; otherwise in the order the company configures, with a four-digit
/// year. A day whose year four digits cannot hold is refused before anything is sent. The
/// chosen point is found in `CPuntos` by its PTVT_ID; with none chosen, or one that is no
/// longer in the list, the run stops before anything reaches the server. A posting call or
/// completion that meets another workstation's posting of the same rows ends in
/// PostedElsewhere. A voucher that is not of the chosen day and point is undone and the run
/// fails saying so. Other failures propagate. `preview`, when given, makes the run stop
/// short of completing the voucher (see PostingPreview). The message goes to `messages` and
/// the error list to `CError` and the grid as the run goes; the result holds both again.
PostingResult postingRun(company::DataModule &module, BusyPanel &busy, PostingView &view,
                         core::MessageSink &messages, PostingPreview *preview = nullptr);

} // namespace kalmora::posting
