// SPDX-License-Identifier: Apache-2.0
#include "widgets/lookup_box.h"

#include "data/client_data_set.h"
#include "data/field.h"
#include "widgets/drop_down_look.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace kalmora::widgets {

namespace {

constexpr int kBorder = 2; // the sunken border's width

QString shown(const std::string &bytes)
{
    return QString::fromLocal8Bit(bytes.data(), qsizetype(bytes.size()));
}

/// The character of a search keystroke: codes 32 to 255, typed without Ctrl or Alt.
std::optional<QChar> searchCharacter(const QKeyEvent &event)
{
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return std::nullopt;
    const QString typed = event.text();
    if (typed.size() != 1 || typed[0].unicode() < 32 || typed[0].unicode() > 255)
        return std::nullopt;
    return typed[0];
}

bool isListToggle(const QKeyEvent &event)
{
    return (event.modifiers() & Qt::AltModifier) &&
           (event.key() == Qt::Key_Up || event.key() == Qt::Key_Down);
}

} // namespace

LookupBox::LookupBox(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    list_ = new LookupList(this, *this);
}

LookupBox::~LookupBox()
{
    if (source_)
        source_->removeObserver(this);
}

void LookupBox::setListSource(data::TDataSource *source, std::string keyField,
                              std::string listField)
{
    if (source_)
        source_->removeObserver(this);
    source_ = source;
    keyFieldName_ = std::move(keyField);
    listFieldName_ = std::move(listField);
    if (source_)
        source_->addObserver(this);
    activeChanged();
}

data::TClientDataSet *LookupBox::dataSet() const
{
    return source_ ? source_->dataSet() : nullptr;
}

bool LookupBox::hasList() const
{
    const data::TClientDataSet *set = dataSet();
    return set && set->active();
}

data::TField *LookupBox::keyField() const
{
    return hasList() ? &dataSet()->fieldByName(keyFieldName_) : nullptr;
}

data::TField *LookupBox::listField() const
{
    return hasList() ? &dataSet()->fieldByName(listFieldName_) : nullptr;
}

bool LookupBox::listVisible() const
{
    return list_->isVisible();
}

QSize LookupBox::sizeHint() const
{
    return {145, fontMetrics().height() + 2 * kBorder + 4};
}

// ---- The choice

int LookupBox::chosenRow() const
{
    const data::TField *key = keyField();
    if (!key || core::isNull(keyValue_))
        return -1;
    const int rows = dataSet()->recordCount();
    for (int row = 0; row < rows; ++row)
        if (key->valueAt(std::size_t(row)) == keyValue_)
            return row;
    return -1;
}

void LookupBox::choose(const core::Value &key)
{
    keyValue_ = key;
    if (hasList() && !core::isNull(key))
        dataSet()->locate(keyFieldName_, key);
    refreshText();
}

void LookupBox::chooseCurrent()
{
    if (hasList() && !dataSet()->isEmpty())
        choose(keyField()->value());
}

void LookupBox::chooseAdjacent(int step)
{
    data::TClientDataSet *set = dataSet();
    if (set->isEmpty())
        return;
    const int row = chosenRow();
    if (row < 0) {
        set->first();
    } else {
        set->setRecNo(row);
        set->moveBy(step);
    }
    chooseCurrent();
}

void LookupBox::refreshText()
{
    const int row = chosenRow();
    const QString text = row < 0 ? QString() : shown(listField()->textAt(std::size_t(row)));
    if (text != text_) {
        text_ = text;
        update();
    }
}

void LookupBox::search(QChar character)
{
    const std::optional<QString> candidate = search_.extend(character);
    if (!candidate)
        return;
    const data::TField *names = listField();
    const int rows = dataSet()->recordCount();
    for (int row = 0; row < rows; ++row) {
        if (shown(names->textAt(std::size_t(row))).startsWith(*candidate, Qt::CaseInsensitive)) {
            search_.accept(*candidate);
            dataSet()->setRecNo(row);
            if (!listVisible())
                chooseCurrent();
            return;
        }
    }
}

// ---- What the data set tells

void LookupBox::activeChanged()
{
    if (!hasList()) {
        closeList(false);
        search_.clear();
    } else if (!core::isNull(keyValue_)) {
        // The choice is held while the data set is closed: find it again in the new rows.
        dataSet()->locate(keyFieldName_, keyValue_);
    }
    list_->setField(listField());
    refreshText();
    update();
}

void LookupBox::recordMoved()
{
    if (listVisible())
        list_->follow();
}

void LookupBox::dataChanged()
{
    refreshText();
    if (listVisible())
        list_->follow();
}

// ---- The list

void LookupBox::toggleList()
{
    if (listVisible())
        closeList(false);
    else
        openList();
}

void LookupBox::openList()
{
    if (!hasList() || !isEnabled())
        return;
    data::TClientDataSet *set = dataSet();
    const int row = chosenRow();
    if (row >= 0)
        set->setRecNo(row);
    else if (!set->isEmpty())
        set->first();
    list_->setField(listField());
    list_->popUp();
    update();
}

void LookupBox::closeList(bool choose)
{
    if (!listVisible())
        return;
    const bool chosen = choose && hasList() && !dataSet()->isEmpty();
    const core::Value key = chosen ? keyField()->value() : core::Value{};
    list_->hide();
    if (chosen)
        this->choose(key);
}

void LookupBox::listClosed()
{
    search_.clear();
    update();
}

void LookupBox::listRowClicked(int row)
{
    dataSet()->setRecNo(row);
    closeList(true);
}

void LookupBox::listKeyPress(QKeyEvent *event)
{
    data::TClientDataSet *set = dataSet();
    if (!set || !set->active()) {
        closeList(false);
        return;
    }
    if (isListToggle(*event)) {
        closeList(false);
        return;
    }
    const int page = list_->rowsShown() - 1;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        set->moveBy(-1);
        return;
    case Qt::Key_Down:
    case Qt::Key_Right:
        set->moveBy(1);
        return;
    case Qt::Key_PageUp:
        set->moveBy(-page);
        return;
    case Qt::Key_PageDown:
        set->moveBy(page);
        return;
    case Qt::Key_Home:
        set->first();
        return;
    case Qt::Key_End:
        set->last();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        closeList(true);
        return;
    case Qt::Key_Escape:
        closeList(false);
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        // The focus leaves the box: the list closes without a choice, and the key moves the
        // focus as it would with the list closed.
        closeList(false);
        QCoreApplication::sendEvent(this, event);
        return;
    case Qt::Key_Backspace:
        search_.clear();
        return;
    default:
        break;
    }
    if (const std::optional<QChar> character = searchCharacter(*event))
        search(*character);
}

// ---- Events

void LookupBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), true);
    const QRect inside = rect().adjusted(kBorder, kBorder, -kBorder, -kBorder);
    drawDropDownInside(painter, *this, inside, text_, isEnabled() && hasList(), listVisible(),
                       hasFocus() && !listVisible());
}

void LookupBox::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        toggleList();
    else
        QWidget::mousePressEvent(event);
}

void LookupBox::keyPressEvent(QKeyEvent *event)
{
    if (!hasList()) {
        event->ignore();
        return;
    }
    if (isListToggle(*event)) {
        toggleList();
        return;
    }
    if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        switch (event->key()) {
        case Qt::Key_Up:
            chooseAdjacent(-1);
            return;
        case Qt::Key_Down:
            chooseAdjacent(1);
            return;
        case Qt::Key_Backspace:
            search_.clear();
            return;
        default:
            break;
        }
    }
    if (const std::optional<QChar> character = searchCharacter(*event)) {
        search(*character);
        return;
    }
    event->ignore();
}

void LookupBox::focusInEvent(QFocusEvent *event)
{
    search_.clear();
    QWidget::focusInEvent(event);
}

void LookupBox::focusOutEvent(QFocusEvent *event)
{
    if (event->reason() != Qt::PopupFocusReason)
        closeList(false);
    QWidget::focusOutEvent(event);
}

void LookupBox::hideEvent(QHideEvent *event)
{
    closeList(false);
    QWidget::hideEvent(event);
}

void LookupBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        closeList(false);
    QWidget::changeEvent(event);
}

} // namespace kalmora::widgets
