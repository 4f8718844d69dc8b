#pragma once
// The navigator bar: a row of buttons that move through, insert, delete and cancel rows of a
// data set. The visible buttons share the bar's width; hidden ones lie beyond its right edge.

#include <QWidget>
#include <array>
#include <vector>

class QToolButton;

namespace kalmora::grids {

class DBNavigator final : public QWidget
{
    Q_OBJECT
public:
    /// The buttons, in their order from left to right.
    enum class Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh };
    static constexpr int kButtonCount = 10;

    /// A bar with every button visible and disabled: there is no data set to act on yet.
    explicit DBNavigator(QWidget *parent);
    ~DBNavigator() override;
    DBNavigator(const DBNavigator &) = delete;
    DBNavigator &operator=(const DBNavigator &) = delete;

    void setVisibleButtons(const std::vector<Button> &visible);
    QToolButton *button(Button which) const { return buttons_[std::size_t(which)]; }

    /// The widths of `count` buttons sharing `width` pixels: each gets width div count, and
    /// the pixels left over go one each to buttons spread along the bar.
    static std::vector<int> buttonWidths(int width, int count);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void layoutButtons();

    std::array<QToolButton *, kButtonCount> buttons_{};
    std::array<bool, kButtonCount> visible_{};
};

} // namespace kalmora::grids
