// SPDX-License-Identifier: Apache-2.0
#pragma once
// The hourglass shown while the connection connects or a statement of a save runs. The
// window implements it with the application's override cursor; without one nothing shows.

namespace kalmora::data {

class WaitCursor
{
public:
    virtual ~WaitCursor() = default;
    /// Shows the hourglass.
    virtual void begin() = 0;
    /// Returns to the default cursor.
    virtual void end() = 0;
};

/// Shows the hourglass of `cursor` (which may be null) for its own lifetime, so that the
/// default cursor returns on every path, failures included.
class ScopedWaitCursor
{
public:
    explicit ScopedWaitCursor(WaitCursor *cursor);
    ~ScopedWaitCursor();
    ScopedWaitCursor(const ScopedWaitCursor &) = delete;
    ScopedWaitCursor &operator=(const ScopedWaitCursor &) = delete;

private:
    WaitCursor *cursor_;
};

} // namespace kalmora::data
