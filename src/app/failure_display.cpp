#include "app/failure_display.h"

#include "app/message_seam.h"
#include "data/errors.h"

namespace kalmora::app {

QString errorBoxText(const QString &message)
{
    if (!message.isEmpty() && message.back().unicode() > QLatin1Char('.').unicode())
        return message + QLatin1Char('.');
    return message;
}

void showFailure(const std::exception &failure)
{
    if (dynamic_cast<const EAbort *>(&failure))
        return;
    showMessageWindow(MessageWindow::ErrorBox,
                      errorBoxText(QString::fromLocal8Bit(failure.what())));
}

void showFailure(std::exception_ptr failure)
{
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception &known) {
        showFailure(known);
    } catch (...) {
        showMessageWindow(MessageWindow::ErrorBox, errorBoxText(QStringLiteral("Unknown failure")));
    }
}

} // namespace kalmora::app
