// SPDX-License-Identifier: Apache-2.0
#pragma once
// The environment the headless command runs in for these tests, set while one lives: a UTF-8
// locale, the password in KALMORA_PASSWORD, and no display of any kind.

#include "platform/scoped_env.h"

namespace kalmora::test {

struct HeadlessEnvironment
{
    ScopedEnv locale{"LC_ALL", "C.UTF-8"};
    ScopedEnv password{"KALMORA_PASSWORD", "masterkey"};
    ScopedEnv display{"DISPLAY", std::nullopt};
    ScopedEnv wayland{"WAYLAND_DISPLAY", std::nullopt};
    ScopedEnv platform{"QT_QPA_PLATFORM", std::nullopt};
};

} // namespace kalmora::test
