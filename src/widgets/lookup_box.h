// SPDX-License-Identifier: Apache-2.0
#pragma once
// The point-of-sale lookup box (`Pto`): chooses one row of a data set, shown through a data
// source. It lists one column of the rows (the list field) and identifies the chosen row by
// another (the key field); the choice lives in the box alone.
//
// It shows the chosen row's list-field text at the left and a drop-down button at its right,
// as wide as a vertical scroll bar. The button is greyed while the box has no list (no data
// set, or a closed one) or is disabled; without a list the box is empty, does not open and
// ignores typing. With the focus and its list closed, the text is drawn in the selection
// colours inside a focus rectangle.
//
// The box moves the data set's current row: a new choice, and the data set opening again
// while a choice is held, locate the chosen key; opening the list goes to the chosen row (the
// first row when none is chosen) and the list's highlight is the current row.
//
// Keys with the list closed: Up and Down choose the previous or next row (the first row when
// none is chosen); Alt+Up and Alt+Down open the list. Typing searches incrementally
// (incremental_search.h): the first row whose text begins with the search text, ignoring
// case, is chosen (highlighted while the list is open); Backspace empties the search text,
// and so do taking the focus and closing the list.

#include "core/value.h"
#include "data/data_source.h"
#include "widgets/incremental_search.h"
#include "widgets/lookup_list.h"

#include <QString>
#include <QWidget>
#include <string>

namespace kalmora::data {
class TClientDataSet;
class TField;
} // namespace kalmora::data

namespace kalmora::widgets {

class LookupBox final : public QWidget, private data::DataSetObserver, private LookupListOwner
{
    Q_OBJECT
public:
    explicit LookupBox(QWidget *parent);
    ~LookupBox() override;
    LookupBox(const LookupBox &) = delete;
    LookupBox &operator=(const LookupBox &) = delete;

    /// Lists `listField` of the data set that `source` shows and keys the choice by
    /// `keyField`. The source must outlive the box, or be replaced by null first.
    void setListSource(data::TDataSource *source, std::string keyField, std::string listField);

    /// The chosen row's list-field text; empty before any choice, while the data set is
    /// closed, and while the chosen key is not among its rows.
    QString text() const { return text_; }
    /// The chosen key; null before any choice. It is held while the data set is closed.
    const core::Value &keyValue() const { return keyValue_; }
    /// Whether there is a list to drop down: the data set is open.
    bool hasList() const;

    bool listVisible() const;
    /// Opens the list, or closes it without a choice when it is open.
    void toggleList();

    /// The search text typed so far.
    QString searchText() const { return search_.text(); }
    /// The clock of the incremental search's pauses; tests replace it.
    void setClock(IncrementalSearch::Clock clock) { search_.setClock(std::move(clock)); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // DataSetObserver
    void activeChanged() override;
    void recordMoved() override;
    void dataChanged() override;

    data::TClientDataSet *dataSet() const;
    data::TField *keyField() const;
    data::TField *listField() const;

    /// The chosen key's row among the rows shown; -1 when there is none.
    int chosenRow() const;
    /// Makes `key` the choice and its row the current row.
    void choose(const core::Value &key);
    /// Chooses the data set's current row.
    void chooseCurrent();
    /// Up (-1) and Down (+1) with the list closed.
    void chooseAdjacent(int step);
    /// A search keystroke: moves to the first row beginning with the search text followed
    /// by `character`, and chooses it unless the list is open.
    void search(QChar character);
    void refreshText();

    void openList();
    /// Closes the list; `choose` takes the highlighted row as the choice.
    void closeList(bool choose);
    // LookupListOwner
    void listKeyPress(QKeyEvent *event) override;
    void listRowClicked(int row) override;
    void listClosed() override;

    data::TDataSource *source_ = nullptr;
    std::string keyFieldName_;
    std::string listFieldName_;
    core::Value keyValue_;
    QString text_;
    IncrementalSearch search_;
    LookupList *list_ = nullptr;
};

} // namespace kalmora::widgets
