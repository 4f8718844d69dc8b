// SPDX-License-Identifier: Apache-2.0
#pragma once
// The main window: the server, user, password and company fields, the day and point of sale,
// the error grid, the two flat buttons, the busy panel and the rates panel; the keyboard
// commands F2, F5 and Esc as named actions; the start-up reading of the server list; and the
// closing steps.

#include "core/message_sink.h"
#include "posting/busy_panel.h"
#include "posting/connect_step.h"
#include "posting/posting_run.h"
#include "widgets/hourglass.h"
#include "app/command_actions.h"

#include <QWidget>
#include <memory>
#include <optional>
#include <string>

class QAction;
class QGroupBox;
class QLabel;
class QWindow;

namespace kalmora::company {
class DataModule;
} // namespace kalmora::company

namespace kalmora::grids {
class DBGridEh;
class DBNavigator;
} // namespace kalmora::grids

namespace kalmora::widgets {
class AdvPanel;
class BevelPanel;
class DatePicker;
class FlatButton;
class FlatEdit;
class LookupBox;
class ServerListBox;
} // namespace kalmora::widgets

namespace kalmora::app {

class RatesWorkflow;

/// The main window. It owns the data module (the connection `Kalmora` and every data
/// component) and is the view of the connect step and the posting run: the busy panel, the
/// day, the chosen point, the execute button, the error grid and the messages.
class Tfbrenvaldo final : public QWidget,
                          public core::MessageSink,
                          public posting::BusyPanel,
                          public posting::ConnectView,
                          public posting::PostingView
{
    Q_OBJECT
public:
    /// Builds every control with its designed properties, then runs FormCreate, whose
    /// failure is shown in the error box without stopping the creation.
    explicit Tfbrenvaldo(QWidget *parent = nullptr);
    ~Tfbrenvaldo() override;
    Tfbrenvaldo(const Tfbrenvaldo &) = delete;
    Tfbrenvaldo &operator=(const Tfbrenvaldo &) = delete;

    /// The window's data components, `Kalmora` and the rest.
    company::DataModule &dataModule() { return *module_; }

    /// The plain message dialog (MessageSink).
    void showMessage(const std::string &text) override;

    /// Shows the busy panel with `caption` (bytes of the locale's code page) and repaints the
    /// whole window at once, so that the panel is seen before the window blocks.
    void showBusy(const std::string &caption) override;
    /// The same, keeping the panel's caption.
    void showBusy() override;
    /// Hides the busy panel and repaints the window.
    void hideBusy() override;

    // ConnectView
    void enableDay(const core::Date &today) override;
    void focusDay() override;
    void enableExecute() override;
    data::WaitCursor *hourglass() override { return &hourglass_; }

    // PostingView
    /// The day of `EFecIni`.
    core::Date day() const override;
    /// The PTVT_ID chosen in `Pto`.
    std::optional<std::int64_t> chosenPoint() const override;
    void enableErrorGrid() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    /// Builds the controls area by area. The creation order is kept: it is each parent's
    /// child order, which the stacking starts from.
    void createControls();
    void setUpWindow();
    void createHeaderPanel();
    void createLoginGroup();
    void createDayPointGroup();
    void createErrorGridPanel();
    void createButtonPanel();
    void createBusyPanel();
    void createRatesPanel();
    /// Docks the bands and sets the stacking of the window's direct children.
    void arrangeBands();
    void setTabOrderAndFocus();
    /// Whether key presses for `window` are this window's: its own, or an open list's.
    bool ownsWindow(const QWindow *window) const;
    /// Whether a drop-down that takes Esc and Enter for itself is open: the point-of-sale
    /// list, or a month calendar (the date picker's, or a date cell's in the rates grid).
    bool listOpen() const;
    void FormCreate();
    /// The window's commands, each a named action; a failure of one ends it and is shown in
    /// the error box. "actionExecute" (F2) saves the rates first when their panel is shown
    /// ("actionSaveRatesBeforePosting") and runs the posting run ("actionPost", also the
    /// execute button) unless they were not saved; "actionRates" (F5) opens the rates
    /// ("actionOpenRates") or saves and closes them ("actionSaveAndCloseRates");
    /// "actionCancel" (Esc, also the cancel button) closes the window.
    void createCommands();
    /// Runs before the focused control sees the key: triggers the command whose key it is,
    /// unless a modifier is held. Returns whether the command failed, which ends the key.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void executeCommand();
    void ratesCommand();
    void FormClose();
    void CiaExit();
    void SpeedButton2Click();
    void SpeedButton3Click();
    /// Left and top centred on the desktop that all monitors span, each 0 when negative.
    void centreOnDesktop();

    /// The connect step on the typed login, the chosen server and company.
    void connectToCompany();

    // Made before the controls, which observe its data sources; the destructor frees the
    // controls first.
    std::unique_ptr<company::DataModule> module_;
    widgets::Hourglass hourglass_;
    CommandActions commands_{*this};
    std::unique_ptr<RatesWorkflow> rates_;
    QAction *executeAction_ = nullptr;
    QAction *ratesAction_ = nullptr;
    QAction *cancelAction_ = nullptr;
    QAction *postAction_ = nullptr;
    bool placed_ = false;
    /// The key press being delivered, as first seen (its shortcut check): the window of
    /// this window's own that it came to, and whether a list was open then.
    struct KeySighting
    {
        const QObject *window = nullptr;
        bool listOpen = false;
    };
    std::optional<KeySighting> keySighting_;

    widgets::BevelPanel *Panel2 = nullptr;       // top band holding the program's description
    QLabel *Label2 = nullptr;                    // the description text in Panel2
    QGroupBox *GroupBox1 = nullptr;              // "Origen:": server and login fields
    QLabel *Label5 = nullptr;                    // caption "Servidor : "
    QLabel *Label8 = nullptr;                    // caption "Usuario : "
    QLabel *Label9 = nullptr;                    // caption "Clave : "
    QLabel *Label6 = nullptr;                    // caption "Compañía:"
    widgets::ServerListBox *Servidor = nullptr;  // the server list read from SERVIDORES.cfg
    widgets::FlatEdit *Tusua = nullptr;          // the user name
    widgets::FlatEdit *TClave = nullptr;         // the password, shown masked with '*'
    widgets::FlatEdit *Cia = nullptr;            // the company code; leaving it connects
    QGroupBox *GroupBox2 = nullptr;              // "Parámetros ": the day and the point of sale
    QLabel *Label4 = nullptr;                    // caption "Fecha:"
    QLabel *Label7 = nullptr;                    // caption "Punto:"
    widgets::DatePicker *EFecIni = nullptr;      // the day to post; enabled once connected
    widgets::LookupBox *Pto = nullptr;           // the point of sale, listed from DPuntos
    widgets::BevelPanel *Panel3 = nullptr;       // band holding the error grid
    grids::DBGridEh *DBGridEh1 = nullptr;        // the error grid over DError
    widgets::BevelPanel *Panel1 = nullptr;       // bottom band holding the two buttons
    widgets::FlatButton *SpeedButton3 = nullptr; // execute button "F2: Ejecutar"
    widgets::FlatButton *SpeedButton2 = nullptr; // cancel button "Esc: Cancelar": closes
    widgets::BevelPanel *Panel5 = nullptr;       // busy panel shown while connecting and posting
    widgets::AdvPanel *AdvPanel1 = nullptr;      // "Tarifas": the rates panel, toggled by F5
    grids::DBGridEh *DBGridEh2 = nullptr;        // rates grid in AdvPanel1, bound to DAjuste
    grids::DBNavigator *DBNavigator1 = nullptr;  // rates navigator, bound to DAjuste
};

} // namespace kalmora::app
