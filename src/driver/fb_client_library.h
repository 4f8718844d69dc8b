// SPDX-License-Identifier: Apache-2.0
#pragma once
// The Firebird client library, loaded by name at connect time. "GDS32.DLL" (any case) stands
// for the installed client "libfbclient.so.2"; any other name is handed to the loader as is.

#include <string>

namespace Firebird {
class IMaster;
}

namespace kalmora::driver {

class FbClientLibrary
{
public:
    /// The loaded library, or nullptr when it cannot be loaded or lacks the
    /// fb_get_master_interface entry. A library once loaded stays loaded for the process:
    /// the client starts threads and exit handlers of its own that must not lose their code.
    static FbClientLibrary *load(const std::string &vendorLib);

    Firebird::IMaster *master() const { return master_; }

private:
    explicit FbClientLibrary(Firebird::IMaster *master) : master_(master) {}
    Firebird::IMaster *master_;
};

/// The file name the loader is given for a vendor library name.
std::string clientFileName(const std::string &vendorLib);

} // namespace kalmora::driver
