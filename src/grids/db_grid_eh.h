// SPDX-License-Identifier: Apache-2.0
#pragma once
// The data grid control: the rows of one data set, seen through a data source, one row per
// record and one column per field, with a title row on top and a row indicator column on the
// left. It follows the data set's current row and moves it when the user moves about (keys,
// wheel, clicks), fits its columns to its width when asked, and lets the user resize and move
// columns by their titles.
//
// Flat, its border is a one-pixel line drawn by the grid; otherwise it keeps the sunken edge.
// Disabled, it looks the same and takes no input. The rules live in plain classes
// (GridSettings, fitColumns, GridGeometry, GridNavigation), the editing and the searches in
// the grid's GridEditing and GridSearch; this widget draws and forwards events to them.

#include "data/data_source.h"
#include "grids/grid_column.h"
#include "grids/grid_editing.h"
#include "grids/grid_geometry.h"
#include "grids/grid_navigation.h"
#include "grids/grid_options.h"
#include "grids/grid_search.h"
#include "grids/indicator_glyphs.h"
#include "grids/text_location.h"

#include <QAbstractScrollArea>
#include <QDate>
#include <functional>
#include <optional>
#include <vector>

namespace kalmora::data {
class TField;
}

namespace kalmora::grids {

class DBGridEh final : public QAbstractScrollArea, private data::DataSetObserver
{
    Q_OBJECT
public:
    explicit DBGridEh(QWidget *parent);
    ~DBGridEh() override;
    DBGridEh(const DBGridEh &) = delete;
    DBGridEh &operator=(const DBGridEh &) = delete;

    // ---- Binding

    /// Follows the data set of `source` (not owned; null for none). The source must outlive
    /// the grid, or be unset here before it goes.
    void setDataSource(data::TDataSource *source);

    // ---- Settings

    void setOptions(GridOptions options);
    void setOptionsEh(GridOptionsEh options);
    void setAllowedOperations(AllowedOperations operations);
    void setIndicatorOptions(IndicatorOptions options);
    void setAutoFitColWidths(bool on);
    void setFlat(bool flat);
    void setReadOnly(bool readOnly);

    // ---- Columns, in display order

    /// Replaces the columns. Each column's width and initial width are taken now, a default
    /// width from its field and the grid's font: bind the data source and set the font first.
    void setColumns(const std::vector<ColumnSettings> &columns);
    int columnCount() const { return int(columns_.size()); }
    int columnWidth(int column) const;
    int columnInitialWidth(int column) const
    {
        return columns_.at(std::size_t(column)).initialWidth;
    }
    QString columnTitle(int column) const;
    /// Moves the column at `from` so that it stands at `to`; the focus stays with it.
    void moveColumn(int from, int to);

    // ---- What the grid shows

    /// The data set's rows (0 while it is closed); row numbers count from 0 in its order.
    int rowCount() const { return navigation_.rowCount(); }
    /// A cell's text as drawn: the field's display text, empty for a column without a field.
    QString cellText(int row, int column) const;
    int currentRow() const { return navigation_.currentRow(); }
    int focusedColumn() const { return navigation_.focusedColumn(); }
    int topRow() const { return navigation_.topRow(); }
    int rowsInView() const { return navigation_.rowsInView(); }
    // ---- Searching (GridSearch)

    /// Looks for `request`'s text. On a match the matching record becomes current and its
    /// column focused, and true is returned; without one nothing moves. The grid repaints
    /// once, at the end.
    bool locateText(const TextLocation &request) { return search_.locate(request); }
    /// The incremental search (rates grid): whether it runs, and its text.
    bool searching() const { return search_.searching(); }
    QString searchText() const { return search_.text(); }
    /// The visible columns' titles in display order, and the column of each.
    std::vector<std::pair<QString, int>> visibleColumnTitles() const;

    /// Whether the cell editor is open over the focused cell, and its text (GridEditing).
    bool editorOpen() const;
    QString editorText() const;
    /// The glyph drawn in the current row's indicator cell, if any.
    std::optional<IndicatorGlyph> indicatorGlyphShown() const;
    /// The width the columns share: the area inside the border, less a vertical scroll bar.
    int clientWidth() const;
    /// Viewport rectangles; empty for a row out of view or a hidden column.
    QRect cellRect(int row, int column) const;
    QRect titleRect(int column) const;

protected:
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // What the data source tells.
    void activeChanged() override;
    void recordMoved() override;
    void dataChanged() override;
    void stateChanged() override;
    void updateRecord() override;

    enum class Drag { None, Sizing, PressedTitle, Moving };

    /// Runs `command`; a failure is shown, and the grid stays where it was.
    void guarded(const std::function<void()> &command);

    data::TField *fieldOf(int column) const;
    GridMetrics metrics() const;
    GridGeometry geometryFor(QSize client) const;
    GridGeometry currentGeometry() const;
    QSize clientSize() const;
    /// Lays the grid out: scroll bars, the fit of the columns, the rows in view.
    void relayout();
    void fit(int clientWidth);
    void syncScrollBars();
    void followData();
    int zeroWidth() const;
    /// The boundary (a display position) nearest to `x` where a dragged column would land.
    int dropBoundary(int x) const;
    void finishSizing();
    void paintFixedCell(QPainter &painter, const QRect &rect) const;
    void paintTitles(QPainter &painter, const GridGeometry &geometry) const;
    void paintRows(QPainter &painter, const GridGeometry &geometry, int rows) const;
    /// The data cells of the rows in view, with their grid lines; vertical lines go down to
    /// `linesBottom`.
    void paintDataCells(QPainter &painter, const GridGeometry &geometry, int rows,
                        int linesBottom) const;
    void paintColumnCells(QPainter &painter, const GridGeometry &geometry, int column,
                          int rows) const;
    /// The indicator cells, the current row's glyph, and the line right of the indicator.
    void paintIndicatorColumn(QPainter &painter, const GridGeometry &geometry, int rows,
                              int linesBottom) const;
    void paintMoveMarker(QPainter &painter, const GridGeometry &geometry) const;

    // The collaborators reach the grid's rows, columns and drawing.
    friend class GridEditing;
    friend class GridSearch;

    QMetaObject::Connection leaveWatch_;
    GridSettings settings_;
    GridNavigation navigation_{settings_};
    GridEditing editing_{*this};
    GridSearch search_{*this};
    data::TDataSource *source_ = nullptr;
    std::vector<GridColumn> columns_;
    bool relayingOut_ = false;
    bool syncingBars_ = false;
    int horizontalOffset_ = 0;
    int wheelRemainder_ = 0;

    Drag drag_ = Drag::None;
    int dragColumn_ = -1;
    int dragStartWidth_ = 0;
    int dragOrigin_ = 0;
    int dropAt_ = -1;
};

} // namespace kalmora::grids
