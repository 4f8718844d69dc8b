// SPDX-License-Identifier: Apache-2.0
#pragma once

#include <string>

namespace kalmora::core {

/// Where the logic shows the system's own messages: the main window implements it with the
/// plain message dialog; tests answer it.
class MessageSink
{
public:
    virtual ~MessageSink() = default;
    /// Shows `text` and returns when the user has closed it.
    virtual void showMessage(const std::string &text) = 0;
};

} // namespace kalmora::core
