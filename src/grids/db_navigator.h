// SPDX-License-Identifier: Apache-2.0
#pragma once
// The navigator bar: a row of buttons that move through, insert, delete and cancel rows of a
// data set seen through a data source. The visible buttons share the bar's width; hidden ones
// lie beyond its right edge.
//
// Each button is enabled only while its action makes sense for the data set as it stands
// (setDataSource); a click performs the action on the data set, and a failure of the data set
// leaves the click handler for the application's failure display, after the buttons were
// recomputed. nbPrior and nbNext repeat while held down. The bar never takes the keyboard
// focus, and its buttons' hints are kept as tool tips but never shown.

#include "data/data_source.h"

#include <QWidget>
#include <array>
#include <vector>

class QToolButton;

namespace kalmora::data {
class TClientDataSet;
} // namespace kalmora::data

namespace kalmora::grids {

class DBNavigator final : public QWidget, private data::DataSetObserver
{
    Q_OBJECT
public:
    /// The buttons, in their order from left to right.
    enum class Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };
    static constexpr int kButtonCount = 10;

    /// nbPrior and nbNext, held down, click again after the delay and then at each interval
    /// (milliseconds).
    static constexpr int kRepeatDelay = 400;
    static constexpr int kRepeatInterval = 100;

    /// A bar with every button visible and disabled: there is no data set to act on yet.
    explicit DBNavigator(QWidget *parent);
    ~DBNavigator() override;
    DBNavigator(const DBNavigator &) = delete;
    DBNavigator &operator=(const DBNavigator &) = delete;

    /// Follows the data set of `source` (not owned; null for none) and enables the buttons
    /// from its state. The source must outlive the bar, or be unset here before it goes.
    void setDataSource(data::TDataSource *source);
    data::TDataSource *dataSource() const { return source_; }

    /// Whether nbDelete asks "Delete record?" (grids/confirmation.h) before deleting; on by
    /// default.
    bool confirmDelete() const { return confirmDelete_; }
    void setConfirmDelete(bool on) { confirmDelete_ = on; }

    void setVisibleButtons(const std::vector<Button> &visible);
    QToolButton *button(Button which) const { return buttons_[std::size_t(which)]; }

    /// The widths of `count` buttons sharing `width` pixels: each gets width div count, and
    /// the pixels left over go one each to buttons spread along the bar.
    static std::vector<int> buttonWidths(int width, int count);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    /// Keeps the buttons' tool tips from showing.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // DataSetObserver
    void activeChanged() override;
    void recordMoved() override;
    void dataChanged() override;
    void stateChanged() override;

    data::TClientDataSet *dataSet() const;
    /// The action of `which` on the open data set; nothing while it is closed.
    void act(Button which);
    /// nbFirst, nbPrior, nbNext, nbLast and nbDelete: they follow the position and the rows.
    void updateMoveButtons();
    /// nbInsert, nbEdit, nbPost, nbCancel and nbRefresh: they follow the editing state.
    void updateEditButtons();
    void updateButtons();
    /// Null unless the bar is enabled and its data set open.
    data::TClientDataSet *availableDataSet() const;
    void layoutButtons();

    data::TDataSource *source_ = nullptr;
    bool confirmDelete_ = true;
    std::array<QToolButton *, kButtonCount> buttons_{};
    std::array<bool, kButtonCount> visible_{};
};

} // namespace kalmora::grids
