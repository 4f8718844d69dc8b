// SPDX-License-Identifier: Apache-2.0
#pragma once
// Searching in a grid: the text location that both searches use, the rates grid's
// incremental search (Ctrl+F, then typing), and the find dialog that Ctrl+F opens. Owned by
// the grid, which hands it its keys first.

#include "grids/text_location.h"

#include <QString>
#include <Qt>

class QKeyEvent;
class QPainter;
class QRect;

namespace kalmora::grids {

class DBGridEh;

class GridSearch
{
public:
    explicit GridSearch(DBGridEh &grid) : grid_(grid) {}
    GridSearch(const GridSearch &) = delete;
    GridSearch &operator=(const GridSearch &) = delete;

    /// Ctrl+F and the keys of a running incremental search; true when the key is taken.
    bool key(QKeyEvent *event);

    /// Looks for `request`'s text. On a match the matching record becomes current and its
    /// column focused, and true is returned; without one nothing moves.
    bool locate(const TextLocation &request);

    /// Whether the incremental search runs, and its text.
    bool searching() const { return searching_; }
    QString text() const { return text_; }
    /// Whether the data set moves by the search's own step, which does not end it.
    bool moving() const { return moving_; }
    void end();

    /// The leading part of the focused cell that the search text matches, black on yellow.
    void paintMatch(QPainter &painter, const QRect &cell, Qt::Alignment align) const;

private:
    void start();
    void extend(const QString &text);
    void step(bool backward);
    void openFindDialog();

    DBGridEh &grid_;
    bool searching_ = false;
    QString text_;
    bool moving_ = false;
};

} // namespace kalmora::grids
