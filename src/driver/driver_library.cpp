#include "driver/driver_library.h"

#include "driver/fb_driver.h"

#include <algorithm>
#include <cctype>

namespace kalmora::data {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

const DriverLibrary *DriverLibrary::load(std::string_view libraryName)
{
    static const DriverLibrary interbase;
    if (equalsIgnoringCase(libraryName, "dbexpint.dll"))
        return &interbase;
    return nullptr;
}

DriverEntryPoint DriverLibrary::entryPoint(std::string_view name) const
{
    // Entry point names are case-sensitive, as exported symbols are.
    if (name == "getSQLDriverINTERBASE")
        return &getSQLDriverINTERBASE;
    return nullptr;
}

} // namespace kalmora::data
