// SPDX-License-Identifier: Apache-2.0
#include "grids/confirmation.h"

#include <QApplication>
#include <QMessageBox>

namespace kalmora::grids {

namespace {

Confirm &installed()
{
    static Confirm ask;
    return ask;
}

bool askWithQuestionBox(const QString &text)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), text,
                    QMessageBox::Ok | QMessageBox::Cancel, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

} // namespace

void setConfirmation(Confirm ask)
{
    installed() = std::move(ask);
}

bool confirm(const QString &text)
{
    return installed() ? installed()(text) : askWithQuestionBox(text);
}

} // namespace kalmora::grids
