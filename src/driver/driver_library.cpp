// SPDX-License-Identifier: Apache-2.0
#include "driver/driver_library.h"

#include "driver/fb_driver.h"

#include <algorithm>
#include <cctype>
#include <list>

namespace kalmora::driver {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

/// The libraries by name, the built-in one first. A list, so that a library handed out by
/// load() stays where it is while others are installed.
struct DriverLibraries
{
    static std::list<DriverLibrary> &all()
    {
        static std::list<DriverLibrary> libraries{
            DriverLibrary("dbexpint.dll", "getSQLDriverINTERBASE", &getSQLDriverINTERBASE)};
        return libraries;
    }
};

DriverLibrary::DriverLibrary(std::string name, std::string entryName, DriverEntryPoint entry)
    : name_(std::move(name)), entryName_(std::move(entryName)), entry_(entry)
{
}

const DriverLibrary *DriverLibrary::load(std::string_view libraryName)
{
    for (const DriverLibrary &library : DriverLibraries::all())
        if (equalsIgnoringCase(library.name_, libraryName))
            return &library;
    return nullptr;
}

void DriverLibrary::install(std::string libraryName, std::string entryName, DriverEntryPoint entry)
{
    std::list<DriverLibrary> &libraries = DriverLibraries::all();
    const auto builtIn = libraries.begin();
    for (auto library = std::next(builtIn); library != libraries.end(); ++library) {
        if (equalsIgnoringCase(library->name_, libraryName)) {
            library->entryName_ = std::move(entryName);
            library->entry_ = entry;
            return;
        }
    }
    if (equalsIgnoringCase(builtIn->name_, libraryName))
        return;
    libraries.push_back(DriverLibrary(std::move(libraryName), std::move(entryName), entry));
}

DriverEntryPoint DriverLibrary::entryPoint(std::string_view name) const
{
    // Entry point names are case-sensitive, as exported symbols are.
    return name == entryName_ ? entry_ : nullptr;
}

} // namespace kalmora::driver
