// SPDX-License-Identifier: Apache-2.0
#pragma once
// The hourglass cursor over the whole application, for the connection's connect and the
// statements of a save (data/wait_cursor.h).

#include "data/wait_cursor.h"

namespace kalmora::widgets {

class Hourglass final : public data::WaitCursor
{
public:
    /// Shows the hourglass until the matching end(); calls nest.
    void begin() override;
    void end() override;
};

} // namespace kalmora::widgets
