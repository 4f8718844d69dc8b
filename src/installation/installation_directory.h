// SPDX-License-Identifier: Apache-2.0
#pragma once
// The installation directory: the registry value "Directorio" of the key
// "\Software\QZT\Kalmora2018" under HKEY_LOCAL_MACHINE.

#include "core/errors.h"
#include "core/message_sink.h"

#include <string>

namespace kalmora {

/// A registry value that exists but cannot be used as asked ("Failed to get data for '%s'",
/// "Invalid data type for '%s'").
class ERegistryException : public core::Exception
{
public:
    using core::Exception::Exception;
};

} // namespace kalmora

namespace kalmora::installation {

/// The installation directory, up to the first NUL of the value's data; empty when the value
/// is absent or empty. An expandable string is taken as stored, nothing expanded. When the
/// key does not open, shows the message "No se encontró la Clave ..." naming the key and
/// value through `messages` and gives empty. Raises ERegistryException when the value's data
/// cannot be read or is not a string.
std::string diraplicacion(core::MessageSink &messages);

} // namespace kalmora::installation
