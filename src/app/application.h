// SPDX-License-Identifier: Apache-2.0
#pragma once
// The application object: the classic look, the window fonts, the date settings and the
// decimal separator of the locale, the application title, the failure display for every event
// handler, and the confirmation dialog for the grids' questions.

#include <QApplication>
#include <QString>

namespace kalmora::app {

class Application final : public QApplication
{
    Q_OBJECT
public:
    /// Initialises the application: the "Windows" style, the window font as the default
    /// font, the application icon, the regional settings read from the locale, and the
    /// confirmation dialog (message_seam.h) as the grids' way of asking.
    Application(int &argc, char **argv);
    ~Application() override;
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    /// The application title: the caption of the message windows.
    static QString title();
    static void setTitle(const QString &title);

    /// Reads the user's regional settings from the locale that the environment names now:
    /// the date settings and the decimal separator, which every date and decimal cell then
    /// shows, accepts and reads back with.
    static void readRegionalSettings();

    /// Dispatches every event of the program. A failure escaping a handler is shown by the
    /// failure display and the event counts as handled; the event loop goes on.
    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace kalmora::app
