#pragma once
// The driver libraries built into the program. The connection names its driver by a library
// name and an entry point name, as a program loading a driver library would; here the names
// select a driver linked into the program instead of a file on disk.
//
//   library "dbexpint.dll" (any case), entry point "getSQLDriverINTERBASE":
//       the Firebird driver (fb_driver.h).

#include "driver/driver.h"

#include <string_view>

namespace kalmora::data {

class DriverLibrary
{
public:
    /// The built-in library of that name (compared without regard to case, as file names
    /// are on the workstations the names come from); nullptr when there is none.
    static const DriverLibrary *load(std::string_view libraryName);

    /// The entry point of that exact name; nullptr when the library has none.
    DriverEntryPoint entryPoint(std::string_view name) const;

private:
    DriverLibrary() = default;
};

} // namespace kalmora::data
