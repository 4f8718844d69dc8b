// SPDX-License-Identifier: Apache-2.0
#include "app/main_window.h"

#include "core/date_format.h"
#include "company/data_module.h"
#include "installation/server_file.h"
#include "grids/db_grid_eh.h"
#include "grids/db_navigator.h"
#include "widgets/adv_panel.h"
#include "widgets/bevel_panel.h"
#include "widgets/date_picker.h"
#include "widgets/dock_layout.h"
#include "widgets/flat_button.h"
#include "widgets/flat_edit.h"
#include "widgets/lookup_box.h"
#include "widgets/server_list_box.h"
#include "app/application.h"
#include "app/failure_display.h"
#include "app/fonts.h"
#include "app/message_seam.h"
#include "app/pictures.h"
#include "app/rates_workflow.h"
#include "app/window_grids.h"

#include <QAction>
#include <QApplication>
#include <QCalendarWidget>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QWindow>
#include <algorithm>

namespace kalmora::app {

using widgets::BevelPanel;
using widgets::DatePicker;
using widgets::DockLayout;
using widgets::FlatButton;
using widgets::FlatEdit;
using widgets::LookupBox;
using widgets::ServerListBox;

namespace {

// The modifiers that make the window's commands stand aside.
constexpr Qt::KeyboardModifiers kCommandBlockers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel *fittedLabel(QWidget *parent, const char *name, const QString &text, int left, int top)
{
    auto *label = named(new QLabel(text, parent), name);
    label->setTextFormat(Qt::PlainText);
    label->move(left, top);
    label->adjustSize();
    return label;
}

} // namespace

Tfbrenvaldo::Tfbrenvaldo(QWidget *parent)
    : QWidget(parent, Qt::Window), module_(std::make_unique<company::DataModule>())
{
    setObjectName(QStringLiteral("fbrenvaldo"));
    createControls();
    createCommands();
    // Key preview: the window sees each key press before the focused control.
    qApp->installEventFilter(this);
    try {
        FormCreate();
    } catch (...) {
        showFailure(std::current_exception());
    }
}

Tfbrenvaldo::~Tfbrenvaldo()
{
    qApp->removeEventFilter(this);
    // The controls observe the data module's sources: free them while the module lives.
    const QObjectList children = this->children();
    for (QObject *child : children)
        if (child->isWidgetType())
            delete child;
}

void Tfbrenvaldo::createControls()
{
    setUpWindow();
    createHeaderPanel();
    createLoginGroup();
    createDayPointGroup();
    createErrorGridPanel();
    createButtonPanel();
    createBusyPanel();
    createRatesPanel();
    arrangeBands();
    setTabOrderAndFocus();
}

void Tfbrenvaldo::setUpWindow()
{
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Contabilizar ventas de contado"));
    setFont(windowFont());
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
    resize(358, 371);
}

void Tfbrenvaldo::createHeaderPanel()
{
    Panel2 = named(new BevelPanel(this), "Panel2");
    Panel2->setGeometry(0, 0, 358, 57);
    Label2 = named(new QLabel(Panel2), "Label2");
    Label2->setTextFormat(Qt::PlainText);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setText(QStringLiteral(
        "Este programa genera la contabilización de las ventas diarias de un punto de venta "
        "registradas con el NIT del cliente de contado y con el prefijo y punto de venta "
        "especificados."));
    Label2->setGeometry(16, 6, 333, 49);
}

void Tfbrenvaldo::createLoginGroup()
{
    GroupBox1 = named(new QGroupBox(QStringLiteral("Origen:"), this), "GroupBox1");
    GroupBox1->setGeometry(0, 57, 358, 105);
    Label5 = fittedLabel(GroupBox1, "Label5", QStringLiteral("Servidor : "), 16, 16);
    Label8 = fittedLabel(GroupBox1, "Label8", QStringLiteral("Usuario : "), 16, 40);
    Label9 = fittedLabel(GroupBox1, "Label9", QStringLiteral("Clave : "), 17, 64);
    Label6 = fittedLabel(GroupBox1, "Label6", QStringLiteral("Compañía:"), 17, 88);
    Servidor = named(new ServerListBox(GroupBox1), "Servidor");
    Servidor->setGeometry(76, 8, 120, 21);
    Tusua = named(new FlatEdit(GroupBox1), "Tusua");
    Tusua->setGeometry(76, 32, 97, 21);
    TClave = named(new FlatEdit(GroupBox1), "TClave");
    TClave->setMaskCharacter(QLatin1Char('*'));
    TClave->setGeometry(76, 56, 97, 21);
    Cia = named(new FlatEdit(GroupBox1), "Cia");
    Cia->setGeometry(76, 80, 45, 21);
    connect(Cia, &FlatEdit::exited, this, &Tfbrenvaldo::CiaExit);
}

void Tfbrenvaldo::createDayPointGroup()
{
    GroupBox2 = named(new QGroupBox(QStringLiteral("Parámetros "), this), "GroupBox2");
    GroupBox2->setGeometry(0, 162, 358, 74);
    Label4 = fittedLabel(GroupBox2, "Label4", QStringLiteral("Fecha:"), 8, 24);
    Label7 = fittedLabel(GroupBox2, "Label7", QStringLiteral("Punto:"), 158, 24);
    EFecIni = named(new DatePicker(GroupBox2), "EFecIni");
    EFecIni->setGeometry(48, 16, 89, 21);
    EFecIni->setDate(QDate(2003, 1, 20));
    EFecIni->setEnabled(false);
    Pto = named(new LookupBox(GroupBox2), "Pto");
    Pto->setGeometry(198, 16, 145, 21);
    Pto->setListSource(&module_->DPuntos, "PTVT_ID", "PTVT_NOM");
}

void Tfbrenvaldo::createErrorGridPanel()
{
    Panel3 = named(new BevelPanel(this), "Panel3");
    Panel3->setGeometry(0, 236, 358, 83);
    DBGridEh1 = named(new grids::DBGridEh(Panel3), "DBGridEh1");
    DBGridEh1->setGeometry(1, 1, 356, 81);
    applyErrorGridSettings(*DBGridEh1, module_->DError);
    (new DockLayout(Panel3, QMargins(1, 1, 1, 1)))->addDocked(DBGridEh1, DockLayout::Dock::Fill);
}

void Tfbrenvaldo::createButtonPanel()
{
    Panel1 = named(new BevelPanel(this), "Panel1");
    Panel1->setGeometry(0, 319, 358, 52);
    SpeedButton3 = named(new FlatButton(Panel1), "SpeedButton3");
    SpeedButton3->setFont(flatButtonFont());
    SpeedButton3->setText(QStringLiteral("F2: Ejecutar"));
    SpeedButton3->setPicture(executePicture());
    SpeedButton3->setGeometry(61, 1, 65, 50);
    SpeedButton3->setEnabled(false);
    SpeedButton2 = named(new FlatButton(Panel1), "SpeedButton2");
    SpeedButton2->setFont(flatButtonFont());
    SpeedButton2->setText(QStringLiteral("Esc: Cancelar"));
    SpeedButton2->setPicture(cancelPicture());
    SpeedButton2->setGeometry(237, 1, 65, 50);
}

void Tfbrenvaldo::createBusyPanel()
{
    Panel5 = named(new BevelPanel(this), "Panel5");
    Panel5->setBevels(BevelPanel::Bevel::Raised, BevelPanel::Bevel::Lowered);
    Panel5->setFont(busyPanelFont());
    QPalette navy = Panel5->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    Panel5->setPalette(navy);
    Panel5->setCaption(QStringLiteral("Generando informe. espere un momento..."));
    Panel5->setGeometry(8, 204, 337, 41);
    Panel5->hide();
}

void Tfbrenvaldo::createRatesPanel()
{
    AdvPanel1 = named(new widgets::AdvPanel(this), "AdvPanel1");
    AdvPanel1->setCaption(QStringLiteral("Tarifas"));
    AdvPanel1->setGeometry(24, 104, 305, 161);
    DBGridEh2 = named(new grids::DBGridEh(AdvPanel1), "DBGridEh2");
    DBGridEh2->setGeometry(1, 19, 303, 123);
    applyRatesGridSettings(*DBGridEh2, module_->DAjuste);
    DBNavigator1 = named(new grids::DBNavigator(AdvPanel1), "DBNavigator1");
    using Nav = grids::DBNavigator::Button;
    DBNavigator1->setVisibleButtons(
        {Nav::First, Nav::Prior, Nav::Next, Nav::Last, Nav::Insert, Nav::Delete, Nav::Cancel});
    DBNavigator1->setGeometry(1, 142, 303, 18);
    DBNavigator1->setDataSource(&module_->DAjuste);
    auto *ratesLayout = new DockLayout(AdvPanel1, AdvPanel1->clientMargins());
    ratesLayout->addDocked(DBNavigator1, DockLayout::Dock::Bottom);
    ratesLayout->addDocked(DBGridEh2, DockLayout::Dock::Fill);
    AdvPanel1->hide();
}

void Tfbrenvaldo::arrangeBands()
{
    auto *bands = new DockLayout(this, QMargins());
    bands->addDocked(Panel2, DockLayout::Dock::Top);
    bands->addDocked(GroupBox1, DockLayout::Dock::Top);
    bands->addDocked(Panel1, DockLayout::Dock::Bottom);
    bands->addDocked(Panel3, DockLayout::Dock::Bottom);
    bands->addDocked(GroupBox2, DockLayout::Dock::Fill);

    // Stacking, back to front.
    for (QWidget *widget : {static_cast<QWidget *>(Panel1), static_cast<QWidget *>(GroupBox2),
                            static_cast<QWidget *>(Panel2), static_cast<QWidget *>(Panel3),
                            static_cast<QWidget *>(Panel5), static_cast<QWidget *>(GroupBox1),
                            static_cast<QWidget *>(AdvPanel1)})
        widget->raise();
}

void Tfbrenvaldo::setTabOrderAndFocus()
{
    QWidget *tabOrder[] = {Servidor, Tusua, TClave, Cia, EFecIni, Pto, DBGridEh1, DBGridEh2};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);
    Servidor->setFocus();
}

void Tfbrenvaldo::createCommands()
{
    rates_ = std::make_unique<RatesWorkflow>(
        *module_, *AdvPanel1, [this] { return day(); }, commands_);
    executeAction_ = commands_.add("actionExecute", QStringLiteral("Ejecutar"),
                                   QKeySequence(Qt::Key_F2), [this] { executeCommand(); });
    ratesAction_ = commands_.add("actionRates", QStringLiteral("Tarifas"), QKeySequence(Qt::Key_F5),
                                 [this] { ratesCommand(); });
    cancelAction_ = commands_.add("actionCancel", QStringLiteral("Cancelar"),
                                  QKeySequence(Qt::Key_Escape), [this] { SpeedButton2Click(); });
    postAction_ = commands_.add("actionPost", QStringLiteral("Contabilizar"), {},
                                [this] { SpeedButton3Click(); });
    // The buttons' clicks run their commands, whose failures stop there: Qt's delivery of
    // the mouse release is not exception safe, and unwinding through it leaks the event it
    // copied.
    connect(SpeedButton3, &FlatButton::clicked, postAction_, &QAction::trigger);
    connect(SpeedButton2, &FlatButton::clicked, cancelAction_, &QAction::trigger);
}

void Tfbrenvaldo::FormCreate()
{
    for (const std::string &server : installation::loadServerList(*this))
        Servidor->addItem(QString::fromLocal8Bit(server.data(), qsizetype(server.size())));
    Servidor->setCurrentIndex(Servidor->count() > 0 ? 0 : -1);
}

void Tfbrenvaldo::showMessage(const std::string &text)
{
    showMessageWindow(MessageWindow::PlainMessage,
                      QString::fromLocal8Bit(text.data(), qsizetype(text.size())));
}

void Tfbrenvaldo::showBusy(const std::string &caption)
{
    Panel5->setCaption(QString::fromLocal8Bit(caption.data(), qsizetype(caption.size())));
    showBusy();
}

void Tfbrenvaldo::showBusy()
{
    Panel5->show();
    // The work that follows blocks the window: paint now, not when the loop next runs. A
    // child just shown is only scheduled for painting, and the window's repaint leaves
    // children alone unless they are marked, so mark the panel first.
    Panel5->update();
    repaint();
}

void Tfbrenvaldo::hideBusy()
{
    Panel5->hide();
    repaint();
}

void Tfbrenvaldo::enableDay(const core::Date &today)
{
    EFecIni->setEnabled(true);
    EFecIni->setDay(today);
}

void Tfbrenvaldo::focusDay()
{
    EFecIni->setFocus();
}

void Tfbrenvaldo::enableExecute()
{
    SpeedButton3->setEnabled(true);
}

core::Date Tfbrenvaldo::day() const
{
    return EFecIni->day();
}

std::optional<std::int64_t> Tfbrenvaldo::chosenPoint() const
{
    if (const auto *id = std::get_if<std::int64_t>(&Pto->keyValue()))
        return *id;
    return std::nullopt;
}

void Tfbrenvaldo::enableErrorGrid()
{
    DBGridEh1->setEnabled(true);
}

bool Tfbrenvaldo::ownsWindow(const QWindow *window) const
{
    if (!window)
        return false;
    if (window == windowHandle())
        return true;
    // The open drop-down list of one of this window's controls.
    const QWidget *popup = QApplication::activePopupWidget();
    if (!popup || popup->windowHandle() != window)
        return false;
    for (const QWidget *widget = popup->parentWidget(); widget; widget = widget->parentWidget())
        if (widget == this)
            return true;
    return false;
}

bool Tfbrenvaldo::listOpen() const
{
    if (Pto->listVisible())
        return true;
    // A month calendar (the date picker's or a date cell's) closes on Esc without a change;
    // the window stays.
    const QWidget *popup = QApplication::activePopupWidget();
    return popup && popup->findChild<QCalendarWidget *>();
}

bool Tfbrenvaldo::eventFilter(QObject *watched, QEvent *event)
{
    // Key presses are watched where the platform hands them to the window, once each and
    // before any control. The shortcut check comes first: it is the first sight of a key
    // press, before an open list may close on it.
    const QEvent::Type type = event->type();
    if ((type != QEvent::ShortcutOverride && type != QEvent::KeyPress) || !watched->isWindowType())
        return false;
    const bool owned = ownsWindow(static_cast<QWindow *>(watched));
    if (type == QEvent::ShortcutOverride) {
        keySighting_.reset();
        if (owned)
            keySighting_ = KeySighting{watched, listOpen()};
        return false;
    }
    // A list that closes on the shortcut check (the server list does, on Esc) is gone by the
    // time its window gets the key press: the key is still this window's.
    const bool sighted = keySighting_ && keySighting_->window == watched;
    if (!owned && !sighted)
        return false;
    const bool listHadKey = sighted ? keySighting_->listOpen : listOpen();
    keySighting_.reset();
    auto *key = static_cast<QKeyEvent *>(event);
    // An open list or calendar takes Esc and Enter for itself: they close it or choose from
    // it.
    const bool takenByList =
        listHadKey && (key->key() == Qt::Key_Escape || key->key() == Qt::Key_Return ||
                       key->key() == Qt::Key_Enter);
    return !takenByList && FormKeyDown(key->key(), key->modifiers());
}

bool Tfbrenvaldo::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & kCommandBlockers)
        return false;
    const QKeySequence pressed(key);
    for (QAction *command : {executeAction_, ratesAction_, cancelAction_}) {
        if (command->shortcut() == pressed) {
            commands_.clearFailure();
            command->trigger();
            return commands_.failed();
        }
    }
    return false;
}

void Tfbrenvaldo::executeCommand()
{
    if (rates_->panelShown()) {
        rates_->saveBeforePostingAction()->trigger();
        // Shown still (or again): the rates were not stored, and nothing is posted.
        if (rates_->panelShown())
            return;
    }
    postAction_->trigger();
}

void Tfbrenvaldo::ratesCommand()
{
    if (rates_->panelShown())
        rates_->saveAndCloseAction()->trigger();
    else
        rates_->openAction()->trigger();
}

void Tfbrenvaldo::CiaExit()
{
    connectToCompany();
}

void Tfbrenvaldo::connectToCompany()
{
    auto bytes = [](const QString &text) { return text.toLocal8Bit().toStdString(); };
    posting::connectStep(*module_,
                         {bytes(Servidor->currentText()), bytes(Tusua->text()),
                          bytes(TClave->text()), bytes(Cia->text())},
                         *this, *this, posting::waitLimitsFromEnvironment());
}

void Tfbrenvaldo::SpeedButton2Click()
{
    close();
}

void Tfbrenvaldo::SpeedButton3Click()
{
    posting::postingRun(*module_, *this, *this, *this);
}

void Tfbrenvaldo::closeEvent(QCloseEvent *event)
{
    // Should FormClose fail, the window stays open.
    event->ignore();
    FormClose();
    event->accept();
}

void Tfbrenvaldo::FormClose()
{
    module_->CRepArticulos.close();
    module_->CPuntos.close();
}

void Tfbrenvaldo::showEvent(QShowEvent *event)
{
    if (!placed_) {
        placed_ = true;
        centreOnDesktop();
    }
    QWidget::showEvent(event);
}

void Tfbrenvaldo::centreOnDesktop()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QSize desktop = screen->virtualGeometry().size();
    const QSize outside = frameGeometry().size();
    move(std::max(0, (desktop.width() - outside.width()) / 2),
         std::max(0, (desktop.height() - outside.height()) / 2));
}

void Tfbrenvaldo::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LocaleChange) {
        Application::readRegionalSettings();
        EFecIni->applyDateSettings(core::currentDateSettings());
    }
    QWidget::changeEvent(event);
}

} // namespace kalmora::app
