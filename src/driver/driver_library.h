// SPDX-License-Identifier: Apache-2.0
#pragma once
// The driver libraries built into the program. The connection names its driver by a library
// name and an entry point name, as a program loading a driver library would; here the names
// select a driver linked into the program instead of a file on disk.
//
//   library "dbexpint.dll" (any case), entry point "getSQLDriverINTERBASE":
//       the Firebird driver (fb_driver.h).
//
// Other libraries can be installed at run time under names of their own (a stand-in driver
// that wraps the Firebird one, for instance).

#include "driver/driver.h"

#include <string>
#include <string_view>

namespace kalmora::driver {

class DriverLibrary
{
public:
    /// The library of that name (compared without regard to case, as file names are on the
    /// workstations the names come from); nullptr when there is none.
    static const DriverLibrary *load(std::string_view libraryName);

    /// Makes a library named `libraryName` with the one entry point `entryName` available to
    /// load(). A library of that name installed before is replaced; the built-in one cannot
    /// be. Not for use while a connection is connecting on another thread.
    static void install(std::string libraryName, std::string entryName, DriverEntryPoint entry);

    /// The entry point of that exact name; nullptr when the library has none.
    DriverEntryPoint entryPoint(std::string_view name) const;

private:
    friend struct DriverLibraries;
    DriverLibrary(std::string name, std::string entryName, DriverEntryPoint entry);

    std::string name_;
    std::string entryName_;
    DriverEntryPoint entry_;
};

} // namespace kalmora::driver
