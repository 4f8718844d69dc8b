// SPDX-License-Identifier: Apache-2.0
#include "app/failure_display.h"

#include "core/errors.h"
#include "app/message_seam.h"

namespace kalmora::app {

void showFailure(const std::exception &failure)
{
    if (dynamic_cast<const core::EAbort *>(&failure))
        return;
    showMessageWindow(MessageWindow::ErrorBox,
                      QString::fromLocal8Bit(core::errorBoxText(failure.what())));
}

void showFailure(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception &known) {
        showFailure(known);
    } catch (...) {
        showMessageWindow(MessageWindow::ErrorBox, QStringLiteral("Unknown failure."));
    }
}

} // namespace kalmora::app
