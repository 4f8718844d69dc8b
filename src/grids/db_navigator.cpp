#include "grids/db_navigator.h"

#include <QToolButton>
#include <algorithm>

namespace kalmora::grids {

namespace {

constexpr const char *kButtonNames[DBNavigator::kButtonCount] = {
    "nbFirst",  "nbPrior", "nbNext", "nbLast",   "nbInsert",
    "nbDelete", "nbEdit",  "nbPost", "nbCancel", "nbRefresh"};

constexpr int kMinButtonWidth = 20;
constexpr int kMinHeight = 18;

} // namespace

DBNavigator::DBNavigator(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        auto *button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(kButtonNames[i]));
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRaise(false);
        button->setEnabled(false);
        buttons_[i] = button;
        visible_[i] = true;
    }
    setMinimumSize(kButtonCount * kMinButtonWidth, kMinHeight);
}

DBNavigator::~DBNavigator() = default;

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
