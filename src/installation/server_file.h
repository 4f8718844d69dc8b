// SPDX-License-Identifier: Apache-2.0
#pragma once
// The server list: "SERVIDORES.cfg" in the installation directory, one database server per
// line, read once at start-up.

#include "core/message_sink.h"

#include <string>
#include <string_view>
#include <vector>

namespace kalmora::installation {

/// The servers listed in installationDirectory + "\SERVIDORES.cfg", byte for byte and in
/// order. A line ends at a line feed, or at a carriage return together with the one byte after
/// it, whatever that is; a line's server stops before its first NUL; a last line without a
/// line end is not offered. Lines longer than 255 bytes are kept whole. A file that does not
/// open (missing, no access, held by another opener) gives an empty list and no message.
std::vector<std::string> readServerList(const std::string &installationDirectory);

/// The servers that the bytes of a server list hold, by the rules of readServerList.
std::vector<std::string> serverLines(std::string_view bytes);

/// The start-up reading: the installation directory (diraplicacion, which may show its
/// message through `messages`), then its server list. A failure of the registry reading
/// propagates before the file is read.
std::vector<std::string> loadServerList(core::MessageSink &messages);

} // namespace kalmora::installation
