// SPDX-License-Identifier: Apache-2.0
#include "grids/db_navigator.h"

#include "data/client_data_set.h"
#include "grids/confirmation.h"
#include "grids/failure_report.h"

#include <QEvent>
#include <QIcon>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>
#include <QStyleOptionToolButton>
#include <QStylePainter>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <functional>
#include <utility>

namespace kalmora::grids {

namespace {

// The glyphs (drawn by resources/make_navigator_glyphs.py) are compiled in as XPM arrays:
// making the bar reads no file and needs no image plugin.
#include "resources/dbncancel.xpm"
#include "resources/dbndelete.xpm"
#include "resources/dbnedit.xpm"
#include "resources/dbnfirst.xpm"
#include "resources/dbninsert.xpm"
#include "resources/dbnlast.xpm"
#include "resources/dbnnext.xpm"
#include "resources/dbnpost.xpm"
#include "resources/dbnprior.xpm"
#include "resources/dbnrefresh.xpm"

using Button = DBNavigator::Button;

struct ButtonLook
{
    const char *name;
    const char *const *glyph; // the normal and the disabled image side by side
    const char *hint;
};

constexpr ButtonLook kButtons[DBNavigator::kButtonCount] = {
    {"nbFirst", DBNFIRST, "First record"},    {"nbPrior", DBNPRIOR, "Prior record"},
    {"nbNext", DBNNEXT, "Next record"},       {"nbLast", DBNLAST, "Last record"},
    {"nbInsert", DBNINSERT, "Insert record"}, {"nbDelete", DBNDELETE, "Delete record"},
    {"nbEdit", DBNEDIT, "Edit record"},       {"nbPost", DBNPOST, "Post edit"},
    {"nbCancel", DBNCANCEL, "Cancel edit"},   {"nbRefresh", DBNREFRESH, "Refresh data"},
};

constexpr int kMinButtonWidth = 20;
constexpr int kMinHeight = 18;

// The left half of the glyph while enabled, the right half while disabled.
QIcon glyphIcon(const char *const *xpm, QSize *size)
{
    const QImage both(xpm);
    const int width = both.width() / 2;
    *size = QSize(width, both.height());
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(both.copy(0, 0, width, both.height())), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(both.copy(width, 0, width, both.height())), QIcon::Disabled);
    return icon;
}

// A raised button face that looks pressed while held and never takes the focus. With a
// repeat action (nbPrior, nbNext), holding the left mouse button down repeats the click:
// after the delay, then at each interval, as long as the button is down and holds the mouse.
class NavigatorButton final : public QToolButton
{
public:
    explicit NavigatorButton(QWidget *parent) : QToolButton(parent)
    {
        setFocusPolicy(Qt::NoFocus);
        setAutoRaise(false);
        setToolButtonStyle(Qt::ToolButtonIconOnly);
        repeatTimer_.setTimerType(Qt::PreciseTimer);
        connect(&repeatTimer_, &QTimer::timeout, this, [this] { repeat(); });
    }

    void setRepeatAction(std::function<void()> action) { repeatAction_ = std::move(action); }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            cancelled_ = false;
        QToolButton::mousePressEvent(event);
        if (repeatAction_ && event->button() == Qt::LeftButton && isDown()) {
            // Holding the mouse lets a modal window that opens meanwhile end the repeating
            // (the message windows release whoever holds it).
            grabMouse();
            repeatTimer_.start(DBNavigator::kRepeatDelay);
        }
    }

    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (cancelled_)
            return;
        QToolButton::mouseMoveEvent(event);
    }

    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton) {
            stopRepeating();
            // The press that a failed repeat cancelled ends without a click.
            if (std::exchange(cancelled_, false))
                return;
        }
        // Released over the button, this is one more click.
        QToolButton::mouseReleaseEvent(event);
    }

    void changeEvent(QEvent *event) override
    {
        QToolButton::changeEvent(event);
        // A disabled button gets no release: the repeating ends here.
        if (event->type() == QEvent::EnabledChange && !isEnabled())
            stopRepeating();
    }

    void hideEvent(QHideEvent *event) override
    {
        stopRepeating();
        QToolButton::hideEvent(event);
    }

    // The style would centre the glyph inside its frame margins, which on a face 18 pixels
    // high leave less than the glyph's 13: the glyph is centred on the whole face instead,
    // moving with it while pressed.
    void paintEvent(QPaintEvent *) override
    {
        QStylePainter painter(this);
        QStyleOptionToolButton option;
        initStyleOption(&option);
        option.icon = QIcon();
        painter.drawComplexControl(QStyle::CC_ToolButton, option);
        const QPixmap glyph =
            icon().pixmap(iconSize(), isEnabled() ? QIcon::Normal : QIcon::Disabled);
        QPoint at((width() - glyph.width()) / 2, (height() - glyph.height()) / 2);
        if (isDown())
            at += QPoint(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                         style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
        painter.drawPixmap(at, glyph);
    }

private:
    void repeat()
    {
        repeatTimer_.setInterval(DBNavigator::kRepeatInterval);
        if (QWidget::mouseGrabber() != this) {
            repeatTimer_.stop();
            return;
        }
        // Dragged off the button it is up and waits; back on it repeats again.
        if (!isDown())
            return;
        try {
            repeatAction_();
        } catch (...) {
            // The failure goes on to the error box, which takes the mouse: the button comes
            // up, and the rest of this press does nothing.
            stopRepeating();
            setDown(false);
            cancelled_ = true;
            throw;
        }
    }

    void stopRepeating()
    {
        repeatTimer_.stop();
        if (QWidget::mouseGrabber() == this)
            releaseMouse();
    }

    QTimer repeatTimer_;
    std::function<void()> repeatAction_;
    bool cancelled_ = false;
};

} // namespace

DBNavigator::DBNavigator(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const auto which = static_cast<Button>(i);
        auto *button = new NavigatorButton(this);
        button->setObjectName(QString::fromLatin1(kButtons[i].name));
        QSize glyphSize;
        button->setIcon(glyphIcon(kButtons[i].glyph, &glyphSize));
        button->setIconSize(glyphSize);
        button->setToolTip(QString::fromLatin1(kButtons[i].hint));
        button->installEventFilter(this);
        button->setEnabled(false);
        connect(button, &QToolButton::clicked, this, [this, which] {
            try {
                act(which);
            } catch (...) {
                reportFailure(std::current_exception());
            }
        });
        if (which == Button::Prior || which == Button::Next)
            button->setRepeatAction([this, which] { act(which); });
        buttons_[i] = button;
        visible_[i] = true;
    }
    setMinimumSize(kButtonCount * kMinButtonWidth, kMinHeight);
}

DBNavigator::~DBNavigator()
{
    if (source_)
        source_->removeObserver(this);
}

// ---- Data source

void DBNavigator::setDataSource(data::TDataSource *source)
{
    if (source == source_)
        return;
    if (source_)
        source_->removeObserver(this);
    source_ = source;
    if (source_)
        source_->addObserver(this);
    updateButtons();
}

data::TClientDataSet *DBNavigator::dataSet() const
{
    return source_ ? source_->dataSet() : nullptr;
}

void DBNavigator::activeChanged()
{
    updateButtons();
}

void DBNavigator::recordMoved()
{
    updateMoveButtons();
}

void DBNavigator::dataChanged()
{
    updateMoveButtons();
}

void DBNavigator::stateChanged()
{
    updateEditButtons();
}

// ---- Actions

void DBNavigator::act(Button which)
{
    data::TClientDataSet *set = dataSet();
    if (!set || !set->active())
        return;
    // A refused action changes nothing the data set tells its sources about, yet what it
    // left behind (a row still being inserted, say) decides the buttons.
    struct Recompute
    {
        QPointer<DBNavigator> bar;
        ~Recompute()
        {
            if (bar)
                bar->updateButtons();
        }
    } recompute{this};

    switch (which) {
    case Button::First:
        set->first();
        break;
    case Button::Prior:
        set->prior();
        break;
    case Button::Next:
        set->next();
        break;
    case Button::Last:
        set->last();
        break;
    case Button::Insert:
        set->insert();
        break;
    case Button::Delete:
        if (!confirmDelete_ || confirm(QStringLiteral("Delete record?")))
            set->deleteRecord();
        break;
    case Button::Edit:
        set->edit();
        break;
    case Button::Post:
        set->post();
        break;
    case Button::Cancel:
        set->cancel();
        break;
    case Button::Refresh:
        // Never shown on this bar, and the data set has nothing to refetch while open.
        break;
    }
}

// ---- Which buttons are enabled

data::TClientDataSet *DBNavigator::availableDataSet() const
{
    data::TClientDataSet *set = dataSet();
    return isEnabled() && set && set->active() ? set : nullptr;
}

void DBNavigator::updateMoveButtons()
{
    const data::TClientDataSet *set = availableDataSet();
    const bool back = set && !set->bof();
    const bool on = set && !set->eof();
    button(Button::First)->setEnabled(back);
    button(Button::Prior)->setEnabled(back);
    button(Button::Next)->setEnabled(on);
    button(Button::Last)->setEnabled(on);
    button(Button::Delete)->setEnabled(set && set->canModify() && !(set->bof() && set->eof()));
}

void DBNavigator::updateEditButtons()
{
    const data::TClientDataSet *set = availableDataSet();
    const bool modify = set && set->canModify();
    const bool editing = modify && (set->state() == data::DataSetState::dsEdit ||
                                    set->state() == data::DataSetState::dsInsert);
    button(Button::Insert)->setEnabled(modify);
    button(Button::Edit)->setEnabled(modify && !editing);
    button(Button::Post)->setEnabled(editing);
    button(Button::Cancel)->setEnabled(editing);
    button(Button::Refresh)->setEnabled(set != nullptr);
}

void DBNavigator::updateButtons()
{
    updateMoveButtons();
    updateEditButtons();
}

void DBNavigator::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        updateButtons();
}

bool DBNavigator::eventFilter(QObject *watched, QEvent *event)
{
    // Hint display is off: the hints stay as tool tips, never shown.
    if (event->type() == QEvent::ToolTip)
        return true;
    return QWidget::eventFilter(watched, event);
}

// ---- Layout

void DBNavigator::setVisibleButtons(const std::vector<Button> &visible)
{
    visible_.fill(false);
    for (Button which : visible)
        visible_[std::size_t(which)] = true;
    const int count = int(std::count(visible_.begin(), visible_.end(), true));
    setMinimumSize(count * kMinButtonWidth, kMinHeight);
    layoutButtons();
}

std::vector<int> DBNavigator::buttonWidths(int width, int count)
{
    std::vector<int> widths;
    if (count <= 0)
        return widths;
    const int each = width / count;
    const int left = width - count * each;
    int counter = count / 2;
    for (int i = 0; i < count; ++i) {
        int buttonWidth = each;
        if (left != 0) {
            counter -= left;
            if (counter < 0) {
                counter += count;
                ++buttonWidth;
            }
        }
        widths.push_back(buttonWidth);
    }
    return widths;
}

void DBNavigator::resizeEvent(QResizeEvent *)
{
    layoutButtons();
}

void DBNavigator::layoutButtons()
{
    const int count = int(std::count(visible_.begin(), visible_.end(), true));
    const std::vector<int> widths = buttonWidths(width(), count);
    int x = 0;
    std::size_t next = 0;
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        if (visible_[i]) {
            buttons_[i]->setGeometry(x, 0, widths[next], height());
            x += widths[next++];
            buttons_[i]->show();
        } else {
            // Out of sight beyond the right edge.
            buttons_[i]->setGeometry(width() + 1, 0, kMinButtonWidth, height());
            buttons_[i]->hide();
        }
    }
}

} // namespace kalmora::grids
