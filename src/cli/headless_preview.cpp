// SPDX-License-Identifier: Apache-2.0
#include "cli/headless_preview.h"

#include "core/errors.h"
#include "data/scoped_transaction.h"
#include "company/data_module.h"
#include "cli/headless_terminal.h"
#include "cli/voucher_listing.h"

#include <ostream>
#include <string>
#include <vector>

namespace kalmora::cli {

namespace {

/// Holds the run's messages until the outcome tells whether they are shown.
class HeldMessages final : public core::MessageSink
{
public:
    void showMessage(const std::string &text) override { held_.push_back(text); }
    void forwardTo(core::MessageSink &sink) const
    {
        for (const std::string &text : held_)
            sink.showMessage(text);
    }

private:
    std::vector<std::string> held_;
};

} // namespace

PostingPreviewResult previewPosting(company::DataModule &module, TerminalWindow &window,
                                    core::MessageSink &shown)
{
    // Rolled back on every path: nothing of the preview is stored.
    data::ScopedTransaction transaction(
        module.Kalmora, "No se puede mostrar la vista previa: la conexión no admite "
                        "transacciones y la contabilización quedaría guardada.");
    HeldMessages messages;
    posting::PostingPreview preview;
    PostingPreviewResult result;
    result.run = posting::postingRun(module, window, window, messages, &preview);

    const bool generated = result.run.outcome == posting::PostingOutcome::VoucherGenerated ||
                           result.run.outcome == posting::PostingOutcome::PendingCompleted;
    if (generated) {
        result.voucher = readVoucher(module.Cborrar, preview.voucher);
        if (!result.voucher)
            throw core::Exception("El comprobante " + std::to_string(preview.voucher) +
                                  " no existe.");
    }
    transaction.rollback();
    if (!generated)
        messages.forwardTo(shown);
    // The completion's own check, which the preview does not reach.
    if (result.voucher && !result.voucher->balances())
        throw core::Exception("El comprobante no cuadra: débitos " + result.voucher->debits +
                              ", créditos " + result.voucher->credits +
                              "; la contabilización no se podría completar.");
    return result;
}

void printPreview(const PostingPreviewResult &preview, std::ostream &out)
{
    if (!preview.voucher)
        return;
    out << "Vista previa: no se guardó nada.\n";
    if (preview.run.outcome == posting::PostingOutcome::PendingCompleted)
        out << "Se completaría el comprobante que una contabilización anterior de este día "
               "dejó pendiente.\n";
    printVoucher(*preview.voucher, false, out);
}

} // namespace kalmora::cli
