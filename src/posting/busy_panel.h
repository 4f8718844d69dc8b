// SPDX-License-Identifier: Apache-2.0
#pragma once
// The busy panel (`Panel5`): a line of status text shown while a handler waits on the
// database. The window implements it; a terminal front end implements it too.

#include <string>

namespace kalmora::posting {

class BusyPanel
{
public:
    virtual ~BusyPanel() = default;
    /// Gives the panel `caption` (bytes of the locale's code page), shows it and repaints the
    /// whole window at once, so that it is seen while the handler blocks.
    virtual void showBusy(const std::string &caption) = 0;
    /// The same, keeping the panel's present caption.
    virtual void showBusy() = 0;
    /// Hides the panel (its caption stays) and repaints the window.
    virtual void hideBusy() = 0;
};

} // namespace kalmora::posting
