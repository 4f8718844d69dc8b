// SPDX-License-Identifier: Apache-2.0
#include "cli/headless_password.h"

#include "cli/headless_options.h"
#include "cli/headless_terminal.h"

#include <cstdlib>

namespace kalmora::cli {

std::string headlessPassword()
{
    if (const char *fromEnvironment = std::getenv("KALMORA_PASSWORD")) {
        if (*fromEnvironment == '\0')
            throw UsageError("KALMORA_PASSWORD está vacía");
        return fromEnvironment;
    }
    if (!stdinIsTerminal())
        throw UsageError("falta la contraseña: póngala en KALMORA_PASSWORD o ejecute la orden "
                         "en una terminal");
    const std::optional<std::string> typed = askPassword("Contraseña: ");
    if (!typed || typed->empty())
        throw UsageError("falta la contraseña");
    return *typed;
}

} // namespace kalmora::cli
