// SPDX-License-Identifier: Apache-2.0
#pragma once
// The application title: the caption of the message windows. Set once at start.

#include <QString>

namespace kalmora::app {

QString applicationTitle();
void setApplicationTitle(const QString &title);

} // namespace kalmora::app
