#include "grids/db_grid_eh.h"

namespace kalmora::grids {

DBGridEh::DBGridEh(QWidget *parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    // Disabled, the grid looks the same; it only stops taking input.
    QPalette same = palette();
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Text, QPalette::Window,
                                     QPalette::WindowText, QPalette::Button, QPalette::ButtonText})
        same.setColor(QPalette::Disabled, role, same.color(QPalette::Active, role));
    setPalette(same);
    setFlat(false);
}

DBGridEh::~DBGridEh() = default;

void DBGridEh::setFlat(bool flat)
{
    flat_ = flat;
    if (flat) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    } else {
        setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    }
}

} // namespace kalmora::grids
