// SPDX-License-Identifier: Apache-2.0
#include "grids/db_grid_eh.h"

#include "data/client_data_set.h"
#include "data/field.h"
#include "grids/column_fit.h"
#include "grids/failure_report.h"
#include "grids/grid_editing.h"
#include "grids/local_text.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

namespace kalmora::grids {

namespace {

constexpr int kIndicatorWidth = 11;
constexpr int kTextMargin = 2;

} // namespace

DBGridEh::DBGridEh(QWidget *parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setMouseTracking(true);
    // Disabled, the grid looks the same; it only stops taking input. The cells are drawn from
    // the active colours; the frame reads the palette.
    QPalette same = palette();
    for (int role = 0; role < QPalette::NColorRoles; ++role) {
        const auto r = QPalette::ColorRole(role);
        same.setColor(QPalette::Disabled, r, same.color(QPalette::Active, r));
        same.setColor(QPalette::Inactive, r, same.color(QPalette::Active, r));
    }
    // The flat border is a line in the shadow colour, as the window's other flat frames.
    same.setColor(QPalette::WindowText, same.color(QPalette::Active, QPalette::Shadow));
    setPalette(same);
    setFlat(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    leaveWatch_ =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *from, QWidget *to) {
            // The calendar is a window of its own, but still the grid's.
            const auto inGrid = [this](const QWidget *w) {
                return w && (w == this || isAncestorOf(w) || editing_.ownsCalendar(w));
            };
            // Only another control of the grid's window takes the focus from it. A window of
            // its own (an error box, another program) or none at all (the window deactivated
            // or closing) leaves the focus with the grid, and the typing where it is: writing
            // it again there would tell a refused text twice, or on closing at all.
            if (inGrid(from) && to && to->window() == window() && !inGrid(to))
                editing_.leaveGrid();
        });
}

DBGridEh::~DBGridEh()
{
    // The editor goes with the grid's children, which moves the focus; nothing is left to do.
    disconnect(leaveWatch_);
    if (source_)
        source_->removeObserver(this);
}

// ---- Binding

void DBGridEh::setDataSource(data::TDataSource *source)
{
    if (source == source_)
        return;
    if (source_)
        source_->removeObserver(this);
    source_ = source;
    navigation_.setDataSource(source);
    if (source_)
        source_->addObserver(this);
    activeChanged();
}

void DBGridEh::activeChanged()
{
    // Opened or closed: the rows changed by data, which ends a search.
    search_.end();
    editing_.closeEditor();
    wheelRemainder_ = 0;
    navigation_.follow();
    relayout();
}

void DBGridEh::recordMoved()
{
    // Any typing reached the field before the data set moved (updateRecord).
    editing_.closeEditor();
    if (!search_.moving())
        search_.end();
    followData();
}

void DBGridEh::dataChanged()
{
    // Rows may have come or gone: the vertical scroll bar, and so the fit, may change.
    relayout();
}

void DBGridEh::stateChanged()
{
    // Posted or cancelled: the editor's text was written or is given up with the row.
    const data::TClientDataSet *set = navigation_.dataSet();
    if (set && set->state() == data::DataSetState::dsBrowse)
        editing_.closeEditor();
    viewport()->update();
}

void DBGridEh::followData()
{
    navigation_.follow();
    syncScrollBars();
    editing_.placeEditor();
    viewport()->update();
}

// ---- Settings

void DBGridEh::setOptions(GridOptions options)
{
    settings_.setOptions(options);
    relayout();
}

void DBGridEh::setOptionsEh(GridOptionsEh options)
{
    settings_.setOptionsEh(options);
    relayout();
}

void DBGridEh::setAllowedOperations(AllowedOperations operations)
{
    settings_.allowedOperations = operations;
}

void DBGridEh::setIndicatorOptions(IndicatorOptions options)
{
    settings_.indicatorOptions = options;
    viewport()->update();
}

void DBGridEh::setAutoFitColWidths(bool on)
{
    settings_.autoFitColWidths = on;
    relayout();
}

void DBGridEh::setFlat(bool flat)
{
    settings_.flat = flat;
    if (flat) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    } else {
        setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    }
    relayout();
}

void DBGridEh::setReadOnly(bool readOnly)
{
    settings_.readOnly = readOnly;
}

// ---- Columns

data::TField *DBGridEh::fieldOf(int column) const
{
    const data::TClientDataSet *set = navigation_.dataSet();
    if (!set || column < 0 || column >= columnCount())
        return nullptr;
    return set->findField(columns_[std::size_t(column)].settings.fieldName);
}

int DBGridEh::zeroWidth() const
{
    return QFontMetrics(font()).horizontalAdvance(QLatin1Char('0'));
}

void DBGridEh::setColumns(const std::vector<ColumnSettings> &columns)
{
    columns_.clear();
    for (const ColumnSettings &settings : columns)
        columns_.push_back(GridColumn{settings, settings.width >= 0 ? settings.width : -1, 0});
    for (int i = 0; i < columnCount(); ++i) {
        GridColumn &column = columns_[std::size_t(i)];
        column.initialWidth =
            column.settings.initialWidth >= 0 ? column.settings.initialWidth : columnWidth(i);
    }
    relayout();
}

int DBGridEh::columnWidth(int column) const
{
    const GridColumn &c = columns_.at(std::size_t(column));
    return c.storedWidth >= 0 ? c.storedWidth : defaultColumnWidth(fieldOf(column), zeroWidth());
}

QString DBGridEh::columnTitle(int column) const
{
    return fromLocal(
        grids::columnTitle(columns_.at(std::size_t(column)).settings, fieldOf(column)));
}

void DBGridEh::moveColumn(int from, int to)
{
    if (from < 0 || from >= columnCount() || to < 0 || to >= columnCount() || from == to)
        return;
    int focused = navigation_.focusedColumn();
    if (focused == from)
        focused = to;
    else if (from < focused && focused <= to)
        --focused;
    else if (to <= focused && focused < from)
        ++focused;
    GridColumn moved = columns_[std::size_t(from)];
    columns_.erase(columns_.begin() + from);
    columns_.insert(columns_.begin() + to, std::move(moved));
    relayout();
    navigation_.setFocusedColumn(focused);
    viewport()->update();
}

// ---- Layout

GridMetrics DBGridEh::metrics() const
{
    GridMetrics m;
    // The designed font's 13-pixel text made 16-pixel rows; the text height of the fonts that
    // stand in for it is a pixel less, so rows take the text height plus 4.
    const int rowHeight = QFontMetrics(font()).height() + 4;
    m.rowHeight = rowHeight;
    m.titleHeight = rowHeight;
    m.titles = settings_.has(GridOption::dgTitles);
    m.indicator = settings_.has(GridOption::dgIndicator);
    m.indicatorWidth = kIndicatorWidth;
    m.colLines = settings_.has(GridOption::dgColLines);
    m.rowLines = settings_.has(GridOption::dgRowLines);
    return m;
}

GridGeometry DBGridEh::geometryFor(QSize client) const
{
    std::vector<int> widths;
    std::vector<bool> visible;
    for (int i = 0; i < columnCount(); ++i) {
        widths.push_back(columnWidth(i));
        visible.push_back(columns_[std::size_t(i)].settings.visible);
    }
    return GridGeometry(metrics(), std::move(widths), std::move(visible), client,
                        horizontalOffset_);
}

QSize DBGridEh::clientSize() const
{
    // Worked out from the frame and the scroll bars asked for, so that it holds before the
    // grid is first shown too.
    QSize size = contentsRect().size();
    if (verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
        size.rwidth() -= verticalScrollBar()->sizeHint().width();
    if (horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
        size.rheight() -= horizontalScrollBar()->sizeHint().height();
    return size.expandedTo(QSize(0, 0));
}

GridGeometry DBGridEh::currentGeometry() const
{
    return geometryFor(clientSize());
}

int DBGridEh::clientWidth() const
{
    return clientSize().width();
}

void DBGridEh::fit(int width)
{
    std::vector<FitColumn> fitted;
    for (int i = 0; i < columnCount(); ++i) {
        const ColumnSettings &column = columns_[std::size_t(i)].settings;
        fitted.push_back(FitColumn{columnWidth(i), columns_[std::size_t(i)].initialWidth,
                                   column.autoFit, column.visible, column.minWidth,
                                   column.maxWidth});
    }
    FitFrame frame;
    frame.clientWidth = width;
    frame.minAutoFitWidth = settings_.minAutoFitWidth;
    frame.indicator = settings_.has(GridOption::dgIndicator);
    frame.indicatorWidth = kIndicatorWidth;
    frame.colLines = settings_.has(GridOption::dgColLines);
    fitColumns(fitted, frame);
    for (int i = 0; i < columnCount(); ++i)
        columns_[std::size_t(i)].storedWidth = fitted[std::size_t(i)].width;
}

void DBGridEh::relayout()
{
    if (relayingOut_)
        return;
    relayingOut_ = true;
    const QSize contents = contentsRect().size();
    const int barWidth = verticalScrollBar()->sizeHint().width();
    const int barHeight = horizontalScrollBar()->sizeHint().height();
    const int rows = navigation_.rowCount();
    bool vertical = false;
    bool horizontal = false;
    const auto clientWith = [&](bool verticalBar, bool horizontalBar) {
        return QSize(contents.width() - (verticalBar ? barWidth : 0),
                     contents.height() - (horizontalBar ? barHeight : 0));
    };
    // A scroll bar takes room that may call for the other one; two rounds settle it.
    for (int round = 0; round < 3; ++round) {
        const QSize client = clientWith(vertical, horizontal);
        if (settings_.autoFitColWidths)
            fit(client.width());
        const GridGeometry geometry = geometryFor(client);
        const bool needVertical = rows > geometry.fullyVisibleRows();
        const bool needHorizontal =
            !settings_.autoFitColWidths && geometry.totalWidth() > client.width();
        if (needVertical == vertical && needHorizontal == horizontal)
            break;
        vertical = needVertical;
        horizontal = needHorizontal;
    }
    if (settings_.autoFitColWidths)
        fit(clientWith(vertical, horizontal).width());
    setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);

    std::vector<bool> visible;
    for (const GridColumn &column : columns_)
        visible.push_back(column.settings.visible);
    navigation_.setColumnsVisible(std::move(visible));
    const GridGeometry geometry = currentGeometry();
    navigation_.setRowsInView(geometry.fullyVisibleRows());
    if (!horizontal)
        horizontalOffset_ = 0;
    relayingOut_ = false;
    syncScrollBars();
    editing_.placeEditor();
    viewport()->update();
}

void DBGridEh::syncScrollBars()
{
    syncingBars_ = true;
    const GridGeometry geometry = currentGeometry();
    QScrollBar *vertical = verticalScrollBar();
    const int inView = navigation_.rowsInView();
    vertical->setRange(0, std::max(navigation_.rowCount() - inView, 0));
    vertical->setPageStep(inView);
    vertical->setSingleStep(1);
    vertical->setValue(navigation_.topRow());
    QScrollBar *horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(geometry.totalWidth() - geometry.client().width(), 0));
    horizontal->setPageStep(std::max(geometry.client().width(), 1));
    horizontal->setSingleStep(std::max(zeroWidth(), 1));
    horizontalOffset_ = std::min(horizontalOffset_, horizontal->maximum());
    horizontal->setValue(horizontalOffset_);
    syncingBars_ = false;
}

void DBGridEh::scrollContentsBy(int, int)
{
    if (syncingBars_)
        return;
    horizontalOffset_ = horizontalScrollBar()->value();
    if (verticalScrollBar()->value() != navigation_.topRow())
        navigation_.scrollTo(verticalScrollBar()->value());
    syncScrollBars();
    editing_.placeEditor();
    viewport()->update();
}

void DBGridEh::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        relayout();
}

void DBGridEh::showEvent(QShowEvent *event)
{
    QAbstractScrollArea::showEvent(event);
    relayout();
}

void DBGridEh::hideEvent(QHideEvent *event)
{
    // A calendar is a window of its own: left open, it would outlive the grid on the screen
    // and act on rows no longer shown. It closes without a change.
    editing_.hideCalendar();
    QAbstractScrollArea::hideEvent(event);
}

void DBGridEh::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

// ---- What the grid shows

QString DBGridEh::cellText(int row, int column) const
{
    const data::TField *field = fieldOf(column);
    if (!field || row < 0 || row >= rowCount())
        return {};
    return fromLocal(field->textAt(std::size_t(row)));
}

std::optional<IndicatorGlyph> DBGridEh::indicatorGlyphShown() const
{
    if (!settings_.has(GridOption::dgIndicator) ||
        !settings_.indicatorOptions.contains(IndicatorOption::gioShowRowIndicatorEh) ||
        currentRow() < 0)
        return std::nullopt;
    switch (navigation_.dataSet()->state()) {
    case data::DataSetState::dsEdit:
        return IndicatorGlyph::Edit;
    case data::DataSetState::dsInsert:
        return IndicatorGlyph::Insert;
    default:
        return search_.searching() ? IndicatorGlyph::Searching : IndicatorGlyph::Browse;
    }
}

QRect DBGridEh::cellRect(int row, int column) const
{
    const int inView = row - topRow();
    const GridGeometry geometry = currentGeometry();
    if (row >= rowCount() || inView < 0 || inView >= geometry.partlyVisibleRows())
        return {};
    return geometry.cellRect(inView, column);
}

QRect DBGridEh::titleRect(int column) const
{
    return currentGeometry().titleRect(column);
}

// ---- Drawing

void DBGridEh::paintEvent(QPaintEvent *)
{
    QPainter painter(viewport());
    const GridGeometry geometry = currentGeometry();
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Active, QPalette::Base));
    const int rows = std::clamp(rowCount() - topRow(), 0, geometry.partlyVisibleRows());
    paintRows(painter, geometry, rows);
    paintTitles(painter, geometry);
    paintMoveMarker(painter, geometry);
}

void DBGridEh::paintFixedCell(QPainter &painter, const QRect &rect) const
{
    const QPalette &colours = palette();
    painter.fillRect(rect, colours.color(QPalette::Active, QPalette::Button));
    if (!settings_.has(GridOptionEh::dghFixed3D) || rect.width() < 2 || rect.height() < 2)
        return;
    painter.setPen(colours.color(QPalette::Active, QPalette::Light));
    painter.drawLine(rect.topLeft(), rect.topRight() - QPoint(1, 0));
    painter.drawLine(rect.topLeft(), rect.bottomLeft() - QPoint(0, 1));
    painter.setPen(colours.color(QPalette::Active, QPalette::Dark));
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
}

void DBGridEh::paintTitles(QPainter &painter, const GridGeometry &geometry) const
{
    const GridMetrics &m = geometry.metrics();
    if (!m.titles)
        return;
    const QPalette &colours = palette();
    const QColor fixedLine = colours.color(QPalette::Active, QPalette::Shadow);
    painter.save();
    painter.setClipRect(QRect(geometry.dataLeft(), 0, viewport()->width(), m.titleHeight + 1));
    for (int column = 0; column < columnCount(); ++column) {
        const QRect rect = geometry.titleRect(column);
        if (rect.isNull())
            continue;
        paintFixedCell(painter, rect);
        painter.setPen(colours.color(QPalette::Active, QPalette::ButtonText));
        painter.drawText(rect.adjusted(kTextMargin, 0, -kTextMargin, 0),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         columnTitle(column));
        if (m.colLines) {
            painter.setPen(fixedLine);
            const int x = geometry.lineRightOf(column);
            painter.drawLine(x, 0, x, m.titleHeight - 1);
        }
    }
    painter.restore();
    if (m.rowLines) {
        painter.setPen(fixedLine);
        const int right =
            std::max(geometry.totalWidth() - horizontalOffset_, geometry.dataLeft()) - 1;
        painter.drawLine(0, m.titleHeight, right, m.titleHeight);
    }
    if (m.indicator) {
        paintFixedCell(painter, geometry.indicatorTitleRect());
        if (m.colLines) {
            painter.setPen(fixedLine);
            painter.drawLine(m.indicatorWidth, 0, m.indicatorWidth, m.titleHeight);
        }
    }
}

void DBGridEh::paintRows(QPainter &painter, const GridGeometry &geometry, int rows) const
{
    const int rowsBottom = geometry.dataTop() + rows * geometry.rowPitch();
    const int linesBottom =
        settings_.has(GridOptionEh::dghExtendVertLines) ? viewport()->height() : rowsBottom;
    paintDataCells(painter, geometry, rows, linesBottom);
    if (geometry.metrics().indicator)
        paintIndicatorColumn(painter, geometry, rows, linesBottom);
}

void DBGridEh::paintDataCells(QPainter &painter, const GridGeometry &geometry, int rows,
                              int linesBottom) const
{
    const GridMetrics &m = geometry.metrics();
    const QColor dataLine = palette().color(QPalette::Active, QPalette::Mid);
    painter.save();
    painter.setClipRect(
        QRect(geometry.dataLeft(), geometry.dataTop(), viewport()->width(), viewport()->height()));
    for (int column = 0; column < columnCount(); ++column) {
        if (!geometry.columnShown(column))
            continue;
        paintColumnCells(painter, geometry, column, rows);
        if (m.colLines) {
            painter.setPen(dataLine);
            const int x = geometry.lineRightOf(column);
            painter.drawLine(x, geometry.dataTop(), x, linesBottom - 1);
        }
    }
    if (m.rowLines) {
        painter.setPen(dataLine);
        const int right = geometry.totalWidth() - horizontalOffset_ - 1;
        for (int r = 0; r < rows; ++r) {
            const int y = geometry.dataTop() + r * geometry.rowPitch() + m.rowHeight;
            painter.drawLine(geometry.dataLeft(), y, right, y);
        }
    }
    painter.restore();
}

void DBGridEh::paintColumnCells(QPainter &painter, const GridGeometry &geometry, int column,
                                int rows) const
{
    const QPalette &colours = palette();
    const int current = currentRow();
    const bool highlight = hasFocus() && settings_.has(GridOptionEh::dghHighlightFocus);
    const data::TField *field = fieldOf(column);
    const Qt::Alignment align =
        (rightAligned(field) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    for (int r = 0; r < rows; ++r) {
        const int row = topRow() + r;
        const QRect cell = geometry.cellRect(r, column);
        QColor text = colours.color(QPalette::Active, QPalette::Text);
        if (highlight && row == current && column == focusedColumn()) {
            painter.fillRect(cell, colours.color(QPalette::Active, QPalette::Highlight));
            text = colours.color(QPalette::Active, QPalette::HighlightedText);
        }
        painter.save();
        painter.setClipRect(cell, Qt::IntersectClip);
        painter.setPen(text);
        painter.drawText(cell.adjusted(kTextMargin, 0, -kTextMargin, 0),
                         static_cast<int>(align.toInt()) | Qt::TextSingleLine,
                         cellText(row, column));
        painter.restore();
        if (row == current && column == focusedColumn())
            search_.paintMatch(painter, cell, align);
    }
}

void DBGridEh::paintIndicatorColumn(QPainter &painter, const GridGeometry &geometry, int rows,
                                    int linesBottom) const
{
    const GridMetrics &m = geometry.metrics();
    const QPalette &colours = palette();
    const QColor dataLine = colours.color(QPalette::Active, QPalette::Mid);
    const QColor fixedLine = colours.color(QPalette::Active, QPalette::Shadow);
    const int rowsBottom = geometry.dataTop() + rows * geometry.rowPitch();
    const int current = currentRow();
    const std::optional<IndicatorGlyph> glyph = indicatorGlyphShown();
    for (int r = 0; r < rows; ++r) {
        const QRect cell = geometry.indicatorRect(r);
        paintFixedCell(painter, cell);
        if (glyph && topRow() + r == current) {
            const QImage &image = indicatorGlyph(*glyph);
            painter.drawImage(cell.left() + (cell.width() - image.width()) / 2,
                              cell.top() + (cell.height() - image.height()) / 2, image);
        }
        if (m.rowLines) {
            painter.setPen(fixedLine);
            const int y = cell.bottom() + 1;
            painter.drawLine(0, y, m.indicatorWidth - 1, y);
        }
    }
    if (m.colLines) {
        if (rows > 0) {
            painter.setPen(fixedLine);
            painter.drawLine(m.indicatorWidth, geometry.dataTop(), m.indicatorWidth,
                             rowsBottom - 1);
        }
        if (linesBottom > rowsBottom) {
            painter.setPen(dataLine);
            painter.drawLine(m.indicatorWidth, rowsBottom, m.indicatorWidth, linesBottom - 1);
        }
    }
}

void DBGridEh::paintMoveMarker(QPainter &painter, const GridGeometry &geometry) const
{
    if (drag_ != Drag::Moving || dropAt_ < 0)
        return;
    int x = geometry.dataLeft() - horizontalOffset_;
    for (int column = 0; column < dropAt_; ++column)
        if (geometry.columnShown(column))
            x = geometry.lineRightOf(column);
    const int height =
        geometry.metrics().titles ? geometry.metrics().titleHeight : viewport()->height();
    painter.fillRect(QRect(x - 1, 0, 3, height),
                     palette().color(QPalette::Active, QPalette::Highlight));
}

// ---- Keys

bool DBGridEh::event(QEvent *event)
{
    // With dgTabs, Tab and Shift+Tab move between cells instead of leaving the grid.
    if (event->type() == QEvent::KeyPress && settings_.has(GridOption::dgTabs) &&
        navigation_.active()) {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            keyPressEvent(key);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void DBGridEh::keyPressEvent(QKeyEvent *event)
{
    if (!navigation_.active()) {
        event->ignore();
        return;
    }
    // A running search sees the key first; what it leaves is the editing's.
    bool handled = true;
    guarded([&] { handled = search_.key(event) || editing_.key(event); });
    if (!handled)
        event->ignore();
}

void DBGridEh::updateRecord()
{
    editing_.writeEditor();
}

bool DBGridEh::editorOpen() const
{
    return editing_.editorOpen();
}

QString DBGridEh::editorText() const
{
    return editing_.editorText();
}

void DBGridEh::guarded(const std::function<void()> &command)
{
    try {
        command();
    } catch (...) {
        reportFailure(std::current_exception());
    }
}

std::vector<std::pair<QString, int>> DBGridEh::visibleColumnTitles() const
{
    std::vector<std::pair<QString, int>> titles;
    for (int column = 0; column < columnCount(); ++column)
        if (columns_[std::size_t(column)].settings.visible)
            titles.emplace_back(columnTitle(column), column);
    return titles;
}

// ---- Mouse

void DBGridEh::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    const GridHit hit = currentGeometry().hitTest(at, settings_.has(GridOptionEh::dghColumnResize));
    switch (hit.area) {
    case GridHit::Area::SizingZone:
        drag_ = Drag::Sizing;
        dragColumn_ = hit.column;
        dragStartWidth_ = columnWidth(hit.column);
        dragOrigin_ = at.x();
        break;
    case GridHit::Area::Title:
        if (settings_.has(GridOptionEh::dghColumnMove)) {
            drag_ = Drag::PressedTitle;
            dragColumn_ = hit.column;
            dragOrigin_ = at.x();
        }
        break;
    case GridHit::Area::Cell:
        guarded([&] {
            search_.end();
            const int row = topRow() + hit.row;
            if (row == currentRow() && hit.column == focusedColumn()) {
                if (!editing_.editorOpen() && editing_.canEditCell())
                    editing_.showEditor();
                return;
            }
            // The typing of the focused cell reaches its field before the focus moves.
            editing_.leaveCell();
            navigation_.moveToCell(row, hit.column);
            followData();
        });
        break;
    case GridHit::Area::Indicator:
        guarded([&] {
            search_.end();
            editing_.leaveCell();
            navigation_.moveToCell(topRow() + hit.row, focusedColumn());
            followData();
        });
        break;
    default:
        break;
    }
}

void DBGridEh::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    switch (drag_) {
    case Drag::Sizing: {
        GridColumn &column = columns_[std::size_t(dragColumn_)];
        FitColumn limits;
        limits.minWidth = column.settings.minWidth;
        limits.maxWidth = column.settings.maxWidth;
        column.storedWidth = limitedWidth(limits, dragStartWidth_ + at.x() - dragOrigin_);
        viewport()->update();
        return;
    }
    case Drag::PressedTitle:
        if (std::abs(at.x() - dragOrigin_) < QApplication::startDragDistance())
            return;
        drag_ = Drag::Moving;
        [[fallthrough]];
    case Drag::Moving:
        dropAt_ = dropBoundary(at.x());
        viewport()->update();
        return;
    case Drag::None:
        break;
    }
    const GridHit hit = currentGeometry().hitTest(at, settings_.has(GridOptionEh::dghColumnResize));
    if (hit.area == GridHit::Area::SizingZone)
        viewport()->setCursor(Qt::SplitHCursor);
    else
        viewport()->unsetCursor();
}

void DBGridEh::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const Drag drag = drag_;
    drag_ = Drag::None;
    if (drag == Drag::Sizing) {
        finishSizing();
    } else if (drag == Drag::Moving) {
        const int boundary = dropAt_;
        dropAt_ = -1;
        if (boundary >= 0)
            moveColumn(dragColumn_, boundary > dragColumn_ ? boundary - 1 : boundary);
        viewport()->update();
    }
    dragColumn_ = -1;
}

void DBGridEh::finishSizing()
{
    const int column = dragColumn_;
    const int newWidth = columnWidth(column);
    if (!settings_.autoFitColWidths) {
        relayout();
        return;
    }
    std::vector<FitColumn> fitted;
    for (int i = 0; i < columnCount(); ++i) {
        const GridColumn &c = columns_[std::size_t(i)];
        fitted.push_back(FitColumn{i == column ? dragStartWidth_ : columnWidth(i), c.initialWidth,
                                   c.settings.autoFit, c.settings.visible, c.settings.minWidth,
                                   c.settings.maxWidth});
    }
    resizeFittedColumn(fitted, std::size_t(column), dragStartWidth_, newWidth);
    for (int i = 0; i < columnCount(); ++i) {
        columns_[std::size_t(i)].storedWidth = fitted[std::size_t(i)].width;
        columns_[std::size_t(i)].initialWidth = fitted[std::size_t(i)].initialWidth;
    }
    relayout();
}

int DBGridEh::dropBoundary(int x) const
{
    const GridGeometry geometry = currentGeometry();
    int best = -1;
    int bestDistance = 0;
    int left = geometry.dataLeft() - horizontalOffset_;
    for (int column = 0; column <= columnCount(); ++column) {
        if (column < columnCount() && !geometry.columnShown(column))
            continue;
        const int distance = std::abs(x - left);
        if (best < 0 || distance < bestDistance) {
            best = column;
            bestDistance = distance;
        }
        if (column < columnCount())
            left = geometry.lineRightOf(column) + 1;
    }
    return best;
}

void DBGridEh::wheelEvent(QWheelEvent *event)
{
    event->accept();
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / QWheelEvent::DefaultDeltasPerStep;
    wheelRemainder_ -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0 && navigation_.active())
        guarded([&] {
            editing_.leaveCell();
            navigation_.wheel(notches);
            followData();
        });
}

void DBGridEh::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    // While the editor is open, the keys go to it.
    editing_.focusEditor(event->reason());
    viewport()->update();
}

void DBGridEh::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

} // namespace kalmora::grids
