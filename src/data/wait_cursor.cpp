// SPDX-License-Identifier: Apache-2.0
#include "data/wait_cursor.h"

namespace kalmora::data {

ScopedWaitCursor::ScopedWaitCursor(WaitCursor *cursor) : cursor_(cursor)
{
    if (cursor_)
        cursor_->begin();
}

ScopedWaitCursor::~ScopedWaitCursor()
{
    if (cursor_)
        cursor_->end();
}

} // namespace kalmora::data
