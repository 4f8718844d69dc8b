// SPDX-License-Identifier: Apache-2.0
#include "app/application.h"

#include "core/date_format.h"
#include "core/decimal_text.h"
#include "platform/date_locale.h"
#include "platform/numeric_locale.h"
#include "grids/confirmation.h"
#include "grids/failure_report.h"
#include "app/application_title.h"
#include "app/failure_display.h"
#include "app/fonts.h"
#include "app/message_seam.h"
#include "app/pictures.h"

namespace kalmora::app {

Application::Application(int &argc, char **argv) : QApplication(argc, argv)
{
    setStyle(QStringLiteral("Windows"));
    setFont(windowFont());
    setWindowIcon(applicationIcon());
    readRegionalSettings();
    // The grids' questions (the navigator bar's delete) in the program's confirmation dialog.
    grids::setConfirmation(askConfirmation);
    grids::setFailureReport([](std::exception_ptr failure) { showFailure(failure); });
}

Application::~Application()
{
    grids::setConfirmation({});
    grids::setFailureReport({});
}

QString Application::title()
{
    return applicationTitle();
}

void Application::setTitle(const QString &title)
{
    setApplicationTitle(title);
}

void Application::readRegionalSettings()
{
    core::setCurrentDateSettings(platform::readLocaleDateSettings());
    core::setCurrentDecimalSeparator(platform::readLocaleDecimalSeparator());
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        showFailure(std::current_exception());
        return true;
    }
}

} // namespace kalmora::app
