// SPDX-License-Identifier: Apache-2.0
#pragma once
// The data layer's texts are in the locale's own encoding, as the database and the
// workstation hand them over; the grids show and edit them as QString.

#include <QString>
#include <string>

namespace kalmora::grids {

inline QString fromLocal(const std::string &text)
{
    return QString::fromLocal8Bit(text.data(), qsizetype(text.size()));
}

inline std::string toLocal(const QString &text)
{
    return text.toLocal8Bit().toStdString();
}

} // namespace kalmora::grids
