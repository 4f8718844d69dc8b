// SPDX-License-Identifier: Apache-2.0
#include "widgets/hourglass.h"

#include <QApplication>
#include <QCursor>

namespace kalmora::widgets {

void Hourglass::begin()
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void Hourglass::end()
{
    QApplication::restoreOverrideCursor();
}

} // namespace kalmora::widgets
