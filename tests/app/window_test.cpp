// SPDX-License-Identifier: Apache-2.0
// The main window as the user meets it: every control in its place with its caption, the
// bands following the window's size, the stacking of the floating panels, the start-up
// states and tab order, the server list read at creation, the keyboard commands and closing.
#include "core/date_format.h"
#include "core/errors.h"
#include "platform/scoped_env.h"
#include "widgets/adv_panel.h"
#include "widgets/bevel_panel.h"
#include "widgets/flat_button.h"
#include "app/main_window.h"
#include "app/message_seam.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using kalmora::app::MessageRecorder;
using kalmora::app::MessageWindow;
using kalmora::app::ShownMessage;
using kalmora::app::Tfbrenvaldo;
using kalmora::test::ScopedEnv;

constexpr const char *kRegistryKey = "[HKEY_LOCAL_MACHINE\\Software\\QZT\\Kalmora2018]\r\n";

class MainWindow : public testing::Test
{
protected:
    MainWindow() { kalmora::core::setCurrentDateSettings({}); }

    /// The installation folder holds a server file with `servers`; the registry names it.
    void installWithServers(const QByteArray &servers)
    {
        QDir(folder.path()).mkdir(QStringLiteral("install"));
        write(QStringLiteral("install/SERVIDORES.cfg"), servers);
        registry(QByteArray("\"Directorio\"=\"") +
                 folder.filePath(QStringLiteral("install")).toLocal8Bit() + "\"\r\n");
    }
    /// The registry file with `values` in the program's key (no key when null).
    void registry(const QByteArray &values, bool withKey = true)
    {
        write(QStringLiteral("hklm.reg"),
              QByteArray("Windows Registry Editor Version 5.00\r\n\r\n") +
                  (withKey ? QByteArray(kRegistryKey) + values : QByteArray()));
    }
    void write(const QString &name, const QByteArray &bytes)
    {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    /// Creates the window (running its creation handler) without showing it.
    Tfbrenvaldo &create()
    {
        window = std::make_unique<Tfbrenvaldo>();
        return *window;
    }
    /// Creates, shows and activates the window, as the program does; its closes are counted.
    Tfbrenvaldo &open()
    {
        create();
        window->installEventFilter(&closes);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return *window;
    }

    template <typename T = QWidget> T *find(const char *name)
    {
        T *widget = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString focusName() const
    {
        QWidget *focused = QApplication::focusWidget();
        return focused ? focused->objectName() : QStringLiteral("(none)");
    }
    /// A key press as the keyboard delivers it: to the window's focused control, or to an
    /// open drop-down list.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window->windowHandle(), key, modifiers);
    }
    /// How many posting runs the user was shown: without a chosen point the run's only
    /// answer is asking for one.
    int postingRuns() const
    {
        int runs = 0;
        for (const ShownMessage &shown : recorder.shown())
            runs += shown.window == MessageWindow::PlainMessage &&
                    shown.text == QStringLiteral("Seleccione el punto de venta.");
        return runs;
    }
    std::vector<ShownMessage> errorBoxes() const
    {
        std::vector<ShownMessage> boxes;
        for (const ShownMessage &shown : recorder.shown())
            if (shown.window == MessageWindow::ErrorBox)
                boxes.push_back(shown);
        return boxes;
    }

    /// Counts the close events the windows get: each is a run of their closing steps.
    struct CloseCounter : QObject
    {
        int count = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            count += event->type() == QEvent::Close;
            return false;
        }
    };

    QTemporaryDir folder;
    ScopedEnv registryFile{"KALMORA_HKLM",
                           folder.filePath(QStringLiteral("hklm.reg")).toLocal8Bit().toStdString()};
    MessageRecorder recorder;
    CloseCounter closes;
    std::unique_ptr<Tfbrenvaldo> window;
};

struct Placement
{
    const char *name;
    const char *parent;
    QRect geometry;
};

// The designed layout of a client area of 358 x 371.
const Placement kDesignedPlaces[] = {
    {"Panel2", "fbrenvaldo", {0, 0, 358, 57}},
    {"Label2", "Panel2", {16, 6, 333, 49}},
    {"GroupBox1", "fbrenvaldo", {0, 57, 358, 105}},
    {"Servidor", "GroupBox1", {76, 8, 120, 21}},
    {"Tusua", "GroupBox1", {76, 32, 97, 21}},
    {"TClave", "GroupBox1", {76, 56, 97, 21}},
    {"Cia", "GroupBox1", {76, 80, 45, 21}},
    {"GroupBox2", "fbrenvaldo", {0, 162, 358, 74}},
    {"EFecIni", "GroupBox2", {48, 16, 89, 21}},
    {"Pto", "GroupBox2", {198, 16, 145, 21}},
    {"Panel3", "fbrenvaldo", {0, 236, 358, 83}},
    {"DBGridEh1", "Panel3", {1, 1, 356, 81}},
    {"Panel1", "fbrenvaldo", {0, 319, 358, 52}},
    {"SpeedButton3", "Panel1", {61, 1, 65, 50}},
    {"SpeedButton2", "Panel1", {237, 1, 65, 50}},
    {"Panel5", "fbrenvaldo", {8, 204, 337, 41}},
    {"AdvPanel1", "fbrenvaldo", {24, 104, 305, 161}},
    {"DBGridEh2", "AdvPanel1", {1, 19, 303, 123}},
    {"DBNavigator1", "AdvPanel1", {1, 142, 303, 18}},
};

// Guards against a control misplaced, mis-sized or under the wrong parent, in the designed
// client area and once the layout has run on the shown window.
TEST_F(MainWindow, EveryControlSitsWhereItWasDesigned)
{
    installWithServers("srv\r\n");
    open();
    ASSERT_EQ(window->size(), QSize(358, 371));
    for (const QString &panel : {QStringLiteral("AdvPanel1"), QStringLiteral("Panel5")})
        window->findChild<QWidget *>(panel)->show(); // lay out the floating panels' children
    QApplication::processEvents();
    for (const Placement &place : kDesignedPlaces) {
        QWidget *widget = find(place.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromLatin1(place.parent))
            << place.name;
        EXPECT_EQ(widget->geometry(), place.geometry) << place.name;
    }

    // The navigator's seven buttons share its 303 pixels; the others lie beyond its edge.
    int x = 0;
    const std::pair<const char *, int> buttons[] = {
        {"nbFirst", 43},  {"nbPrior", 44},  {"nbNext", 43},  {"nbLast", 43},
        {"nbInsert", 43}, {"nbDelete", 44}, {"nbCancel", 43}};
    for (const auto &[name, width] : buttons) {
        EXPECT_EQ(find(name)->geometry(), QRect(x, 0, width, 18)) << name;
        EXPECT_TRUE(find(name)->isVisible()) << name;
        x += width;
    }
    for (const char *hidden : {"nbEdit", "nbPost", "nbRefresh"})
        EXPECT_FALSE(find(hidden)->isVisible()) << hidden;

    // Labels fit their one-line text at their designed places.
    struct LabelPlace
    {
        const char *name;
        const char *parent;
        QPoint at;
        const char *text;
    };
    const LabelPlace labels[] = {
        {"Label5", "GroupBox1", {16, 16}, "Servidor : "},
        {"Label8", "GroupBox1", {16, 40}, "Usuario : "},
        {"Label9", "GroupBox1", {17, 64}, "Clave : "},
        {"Label6", "GroupBox1", {17, 88}, "Compañía:"},
        {"Label4", "GroupBox2", {8, 24}, "Fecha:"},
        {"Label7", "GroupBox2", {158, 24}, "Punto:"},
    };
    for (const LabelPlace &label : labels) {
        auto *widget = find<QLabel>(label.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromLatin1(label.parent));
        EXPECT_EQ(widget->pos(), label.at) << label.name;
        EXPECT_EQ(widget->text(), QString::fromUtf8(label.text));
        // Fitted: the whole text shows, with no more than a pixel of rounding to spare.
        const QFontMetrics metrics(widget->font());
        EXPECT_GE(widget->width(), metrics.horizontalAdvance(widget->text())) << label.name;
        EXPECT_LE(widget->width(), metrics.horizontalAdvance(widget->text()) + 1) << label.name;
        EXPECT_GE(widget->height(), metrics.height()) << label.name;
        EXPECT_LE(widget->height(), metrics.height() + 1) << label.name;
    }
}

// Guards against a wrong caption, title or font: these texts are the program's own.
TEST_F(MainWindow, CaptionsAndFontsAreTheDesignedOnes)
{
    installWithServers("srv\r\n");
    create();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Contabilizar ventas de contado"));
    EXPECT_EQ(find<QLabel>("Label2")->text(),
              QStringLiteral("Este programa genera la contabilización de las ventas diarias de "
                             "un punto de venta registradas con el NIT del cliente de contado "
                             "y con el prefijo y punto de venta especificados."));
    EXPECT_TRUE(find<QLabel>("Label2")->wordWrap());
    EXPECT_EQ(find<QGroupBox>("GroupBox1")->title(), QStringLiteral("Origen:"));
    EXPECT_EQ(find<QGroupBox>("GroupBox2")->title(), QStringLiteral("Parámetros "));
    EXPECT_EQ(find<QAbstractButton>("SpeedButton3")->text(), QStringLiteral("F2: Ejecutar"));
    EXPECT_EQ(find<QAbstractButton>("SpeedButton2")->text(), QStringLiteral("Esc: Cancelar"));
    EXPECT_EQ(find<kalmora::widgets::BevelPanel>("Panel5")->caption(),
              QStringLiteral("Generando informe. espere un momento..."));
    EXPECT_EQ(find<kalmora::widgets::AdvPanel>("AdvPanel1")->caption(), QStringLiteral("Tarifas"));

    struct Font
    {
        const char *name;
        const char *family;
        int pixels;
    };
    const Font fonts[] = {
        {"fbrenvaldo", "Liberation Sans", 11},
        {"Servidor", "Liberation Sans", 11},
        {"Label2", "Liberation Sans", 11},
        {"SpeedButton3", "Liberation Sans Narrow", 11},
        {"SpeedButton2", "Liberation Sans Narrow", 11},
        {"Panel5", "Liberation Sans", 13},
    };
    for (const Font &font : fonts) {
        QWidget *widget = std::string(font.name) == "fbrenvaldo" ? window.get() : find(font.name);
        const QFontInfo info(widget->font());
        EXPECT_EQ(info.family(), QString::fromLatin1(font.family)) << font.name;
        EXPECT_EQ(info.pixelSize(), font.pixels) << font.name;
    }
    EXPECT_EQ(find("Panel5")->palette().color(QPalette::WindowText), QColor(0, 0, 128));
}

// Guards against pictures compiled in wrongly (order of the colour bytes, rows, size): the
// icon the window carries is the icon the package installs, and the buttons show their
// pictures, whose background is see-through.
TEST_F(MainWindow, IconAndButtonPicturesAreTheDrawnOnes)
{
    installWithServers("srv\r\n");
    create();
    const QImage installed(QStringLiteral(KALMORA_APP_ICON));
    ASSERT_EQ(installed.size(), QSize(64, 64));
    // Both as the screen gets them: a pixmap holds its colours premultiplied by alpha.
    const auto asShown = [](const QPixmap &pixmap) {
        return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    };
    EXPECT_EQ(asShown(QApplication::windowIcon().pixmap(64, 64)),
              asShown(QPixmap::fromImage(installed)));
    struct Drawn
    {
        const char *button;
        QPoint inside; // a point of the drawing
    };
    for (const Drawn &drawn : {Drawn{"SpeedButton3", {22, 6}}, Drawn{"SpeedButton2", {22, 16}}}) {
        const QImage picture = find<kalmora::widgets::FlatButton>(drawn.button)->picture();
        ASSERT_EQ(picture.size(), QSize(46, 32)) << drawn.button;
        EXPECT_EQ(qAlpha(picture.pixel(0, 31)), 0) << drawn.button;
        EXPECT_EQ(qAlpha(picture.pixel(drawn.inside)), 255) << drawn.button;
    }
}

// Guards against bands that do not stretch, a parameter group that does not take the height,
// or floating panels that move with the window.
TEST_F(MainWindow, BandsFollowTheWindowSizeAndFloatingPanelsStay)
{
    installWithServers("srv\r\n");
    open();
    auto expectLayout = [&](int width, int height) {
        SCOPED_TRACE(testing::Message() << width << " x " << height);
        EXPECT_EQ(find("Panel2")->geometry(), QRect(0, 0, width, 57));
        EXPECT_EQ(find("GroupBox1")->geometry(), QRect(0, 57, width, 105));
        EXPECT_EQ(find("Panel1")->geometry(), QRect(0, height - 52, width, 52));
        EXPECT_EQ(find("Panel3")->geometry(), QRect(0, height - 52 - 83, width, 83));
        EXPECT_EQ(find("GroupBox2")->geometry(), QRect(0, 162, width, height - 162 - 135));
        EXPECT_EQ(find("DBGridEh1")->geometry(), QRect(1, 1, width - 2, 81));
        EXPECT_EQ(find("Panel5")->geometry(), QRect(8, 204, 337, 41));
        EXPECT_EQ(find("AdvPanel1")->geometry(), QRect(24, 104, 305, 161));
        EXPECT_EQ(find("SpeedButton2")->geometry(), QRect(237, 1, 65, 50));
    };
    window->resize(520, 600);
    QApplication::processEvents();
    expectLayout(520, 600);

    window->showMaximized();
    QTRY_VERIFY(window->isMaximized());
    QTRY_VERIFY(window->height() > 371);
    expectLayout(window->width(), window->height());
}

// Guards against a wrong stacking: the busy panel shows over the parameter group and the
// error grid, and the rates panel over everything, the busy panel included.
TEST_F(MainWindow, FloatingPanelsShowOverTheirNeighbours)
{
    installWithServers("srv\r\n");
    open();
    auto topmostBand = [&](QPoint at) {
        QWidget *widget = window->childAt(at);
        while (widget && widget->parentWidget() != window.get())
            widget = widget->parentWidget();
        return widget ? widget->objectName() : QString();
    };
    const QPoint busyOverParameters(100, 210);
    const QPoint busyOverErrorGrid(100, 240);
    const QPoint ratesOverOrigin(100, 120);
    const QPoint ratesOverBusy(100, 230);

    EXPECT_EQ(topmostBand(busyOverParameters), QStringLiteral("GroupBox2"));
    EXPECT_EQ(topmostBand(busyOverErrorGrid), QStringLiteral("Panel3"));
    window->showBusy();
    EXPECT_EQ(topmostBand(busyOverParameters), QStringLiteral("Panel5"));
    EXPECT_EQ(topmostBand(busyOverErrorGrid), QStringLiteral("Panel5"));
    find("AdvPanel1")->show(); // no company: the panel without rows
    EXPECT_EQ(topmostBand(ratesOverOrigin), QStringLiteral("AdvPanel1"));
    EXPECT_EQ(topmostBand(ratesOverBusy), QStringLiteral("AdvPanel1"));
    // Only the busy panel's two ends stay in sight beside the rates panel.
    EXPECT_EQ(topmostBand(QPoint(12, 230)), QStringLiteral("Panel5"));
    EXPECT_EQ(topmostBand(QPoint(340, 230)), QStringLiteral("Panel5"));
}

// Guards against a wrong start: what is usable before the connect step, and where the focus
// is when the window first opens.
TEST_F(MainWindow, StartsWithTheDesignedStates)
{
    installWithServers("srv\r\n");
    open();
    EXPECT_EQ(focusName(), QStringLiteral("Servidor"));
    EXPECT_FALSE(find("Panel5")->isVisible());
    EXPECT_FALSE(find("AdvPanel1")->isVisible());
    EXPECT_FALSE(find("SpeedButton3")->isEnabled());
    EXPECT_TRUE(find("SpeedButton2")->isEnabled());
    EXPECT_FALSE(find("DBGridEh1")->isEnabled());
    EXPECT_TRUE(find("Pto")->isEnabled());
    EXPECT_EQ(find<QLineEdit>("Tusua")->text(), QString());
    EXPECT_EQ(find<QLineEdit>("Cia")->text(), QString());

    auto *day = find<QDateEdit>("EFecIni");
    EXPECT_FALSE(day->isEnabled());
    EXPECT_EQ(day->date(), QDate(2003, 1, 20));
    EXPECT_EQ(day->text(), QStringLiteral("1/20/03")); // the fallback pattern m/d/yy
    EXPECT_TRUE(day->calendarPopup());

    // The password box shows a "*" for every character typed.
    QLineEdit *password = find<QLineEdit>("TClave");
    password->setFocus();
    QTest::keyClicks(password, QStringLiteral("s3cr"));
    EXPECT_EQ(password->text(), QStringLiteral("s3cr"));
    EXPECT_EQ(password->displayText(), QStringLiteral("****"));

    // The flat buttons never take the focus.
    find("SpeedButton3")->setEnabled(true);
    QTest::mouseClick(find("SpeedButton3"), Qt::LeftButton);
    EXPECT_EQ(postingRuns(), 1);
    EXPECT_EQ(focusName(), QStringLiteral("TClave"));
}

// Guards against a wrong tab order, or disabled and hidden controls taking the focus.
TEST_F(MainWindow, TabVisitsTheUsableControlsInOrder)
{
    installWithServers("srv\r\n");
    open();
    auto tabRound = [&](int presses) {
        QStringList visited;
        for (int i = 0; i < presses; ++i) {
            press(Qt::Key_Tab);
            visited << focusName();
        }
        return visited;
    };
    EXPECT_EQ(tabRound(5),
              QStringList({QStringLiteral("Tusua"), QStringLiteral("TClave"), QStringLiteral("Cia"),
                           QStringLiteral("Pto"), QStringLiteral("Servidor")}));

    find("EFecIni")->setEnabled(true);
    find("DBGridEh1")->setEnabled(true);
    find("AdvPanel1")->show();
    EXPECT_EQ(tabRound(8), QStringList({QStringLiteral("Tusua"), QStringLiteral("TClave"),
                                        QStringLiteral("Cia"), QStringLiteral("EFecIni"),
                                        QStringLiteral("Pto"), QStringLiteral("DBGridEh1"),
                                        QStringLiteral("DBGridEh2"), QStringLiteral("Servidor")}));
}

// Guards against the server list not reaching the drop-down list as read: order, empty
// items and blanks kept, the first item selected.
TEST_F(MainWindow, CreationFillsTheServerListFromTheInstallation)
{
    installWithServers("db1:/srv/kalmora\r\n\r\n  /srv/local \r\n");
    open();
    auto *servers = find<QComboBox>("Servidor");
    ASSERT_EQ(servers->count(), 3);
    EXPECT_EQ(servers->itemText(0), QStringLiteral("db1:/srv/kalmora"));
    EXPECT_EQ(servers->itemText(1), QString());
    EXPECT_EQ(servers->itemText(2), QStringLiteral("  /srv/local "));
    EXPECT_EQ(servers->currentIndex(), 0);
    EXPECT_EQ(servers->currentText(), QStringLiteral("db1:/srv/kalmora"));
    EXPECT_EQ(servers->maxVisibleItems(), 8);
    EXPECT_FALSE(servers->isEditable());
    EXPECT_TRUE(recorder.shown().empty());
}

// Guards against an empty or unreadable start-up reading stopping the window: each case
// shows what the user is told, and the window opens with the server list empty.
TEST_F(MainWindow, CreationGoesOnWhenTheServerListCannotBeRead)
{
    struct Case
    {
        const char *what;
        QByteArray registryValues;
        bool withKey;
        QByteArray servers;
        std::vector<ShownMessage> shown;
    };
    const Case cases[] = {
        {"empty server file", {}, true, "", {}},
        {"last line without a line end", {}, true, "db1", {}},
        {"key missing",
         {},
         false,
         "db1\r\n",
         {{MessageWindow::PlainMessage,
           QStringLiteral("No se encontró la Clave "
                          "HKEY_LOCAL_MACHINE\\Software\\QZT\\Kalmora2018\\Directorio")}}},
        {"directory not a string",
         "\"Directorio\"=dword:00000001\r\n",
         true,
         "db1\r\n",
         {{MessageWindow::ErrorBox, QStringLiteral("Invalid data type for 'Directorio'")}}},
    };
    for (const Case &test : cases) {
        SCOPED_TRACE(test.what);
        installWithServers(test.servers);
        if (!test.registryValues.isEmpty() || !test.withKey)
            registry(test.registryValues, test.withKey);
        MessageRecorder messages;
        create();
        EXPECT_EQ(messages.shown(), test.shown);
        auto *servers = find<QComboBox>("Servidor");
        EXPECT_EQ(servers->count(), 0);
        EXPECT_EQ(servers->currentIndex(), -1);
        EXPECT_EQ(servers->currentText(), QString());
        window->show();
        EXPECT_TRUE(window->isVisible());
        window.reset();
    }
}

// Guards against a way of closing that skips FormClose or leaves the window open, and against
// Esc over the server list staying in the list (only the point-of-sale list keeps Esc), and F2
// being taken by an open list.
TEST_F(MainWindow, EscAndTheCancelButtonCloseTheWindowThroughFormClose)
{
    installWithServers("srv1\r\nsrv2\r\n");
    open();
    find("Tusua")->setFocus();
    press(Qt::Key_Escape, Qt::ShiftModifier);
    press(Qt::Key_Escape, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_TRUE(window->isVisible());
    press(Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(closes.count, 1);

    open();
    QTest::mouseClick(find("SpeedButton2"), Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(closes.count, 2);

    open();
    auto *servers = find<QComboBox>("Servidor");
    servers->showPopup();
    QTRY_VERIFY(servers->view()->isVisible());
    press(Qt::Key_F2); // F2 is never the list's: the window's command runs
    EXPECT_EQ(postingRuns(), 1);
    // Only the point-of-sale list takes Esc for itself: over the server list it closes.
    press(Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(closes.count, 3);
}

// Guards against Esc in the date picker's month calendar closing the window: the calendar
// takes it and closes without a change.
TEST_F(MainWindow, EscInTheDatePickersCalendarClosesOnlyTheCalendar)
{
    installWithServers("srv\r\n");
    open();
    auto *day = find<QDateEdit>("EFecIni");
    day->setEnabled(true);
    day->setDate(QDate(2026, 12, 10));
    day->setFocus();
    QTest::mouseClick(day, Qt::LeftButton, {}, QPoint(day->width() - 5, day->height() / 2));
    ASSERT_TRUE(QApplication::activePopupWidget()); // the calendar, dropped down by its button
    press(Qt::Key_Escape);
    EXPECT_FALSE(QApplication::activePopupWidget());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(closes.count, 0);
    EXPECT_EQ(day->date(), QDate(2026, 12, 10));
}

// Guards against the connect step not running when the focus leaves the company box, or its
// failure getting lost.
TEST_F(MainWindow, LeavingTheCompanyBoxRunsTheConnectStep)
{
    installWithServers("srv\r\n");
    open();
    // A company code the connect step refuses fails it before anything is sent.
    find("Tusua")->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("ana"));
    press(Qt::Key_Tab);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("clave"));
    press(Qt::Key_Tab);
    EXPECT_EQ(focusName(), QStringLiteral("Cia"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("../01"));
    EXPECT_TRUE(errorBoxes().empty());
    press(Qt::Key_Tab);
    EXPECT_EQ(errorBoxes(),
              (std::vector<ShownMessage>{
                  {MessageWindow::ErrorBox,
                   QStringLiteral("El código de compañía «../01» no es válido: no puede contener "
                                  "«/», «\\», «..» ni «:».")}}));
}

// Guards against the busy panel being only scheduled for painting: it must be on screen
// before the blocking work starts, with the caption it was given.
TEST_F(MainWindow, BusyPanelIsPaintedAtOnce)
{
    installWithServers("srv\r\n");
    open();
    QTest::qWait(200);
    auto *busy = find<kalmora::widgets::BevelPanel>("Panel5");

    struct PaintCounter : QObject
    {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                ++paints;
            return false;
        }
    } counter;
    busy->installEventFilter(&counter);
    window->showBusy(std::string("Conectando a la base de datos 01 ..."));
    EXPECT_GT(counter.paints, 0); // no event processing in between
    EXPECT_TRUE(busy->isVisible());
    EXPECT_EQ(busy->caption(), QStringLiteral("Conectando a la base de datos 01 ..."));
    window->hideBusy();
    EXPECT_FALSE(busy->isVisible());
}

// Guards against a window that opens off-centre on the desktop.
TEST_F(MainWindow, OpensCentredOnTheDesktop)
{
    installWithServers("srv\r\n");
    open();
    const QSize desktop = QGuiApplication::primaryScreen()->virtualGeometry().size();
    const QSize outside = window->frameGeometry().size();
    EXPECT_EQ(window->frameGeometry().topLeft(),
              QPoint(std::max(0, (desktop.width() - outside.width()) / 2),
                     std::max(0, (desktop.height() - outside.height()) / 2)));
}

// Guards against the date picker keeping an old pattern after the locale's settings change.
TEST_F(MainWindow, DatePickerFollowsTheLocaleSettings)
{
    installWithServers("srv\r\n");
    kalmora::core::DateSettings settings;
    settings.separator = '-';
    settings.shortPattern = "dd/mm/yyyy";
    kalmora::core::setCurrentDateSettings(settings);
    create();
    auto *day = find<QDateEdit>("EFecIni");
    EXPECT_EQ(day->text(), QStringLiteral("20-01-2003"));

    ScopedEnv locale("LC_ALL", "C");
    QEvent change(QEvent::LocaleChange);
    QApplication::sendEvent(window.get(), &change);
    EXPECT_EQ(day->text(), QStringLiteral("01/20/03")); // the C locale: %m/%d/%y
    EXPECT_EQ(kalmora::core::currentDateSettings().shortPattern, "mm/dd/yy");
}

} // namespace
