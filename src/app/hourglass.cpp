// SPDX-License-Identifier: Apache-2.0
#include "app/hourglass.h"

#include <QApplication>
#include <QCursor>

namespace kalmora::app {

void Hourglass::begin()
{
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void Hourglass::end()
{
    QApplication::restoreOverrideCursor();
}

} // namespace kalmora::app
