// SPDX-License-Identifier: Apache-2.0
#include "driver/fb_client_library.h"

#include <algorithm>
#include <cctype>
#include <dlfcn.h>
#include <firebird/Interface.h>
#include <map>
#include <memory>
#include <mutex>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace kalmora::driver {

std::string clientFileName(const std::string &vendorLib)
{
    std::string upper = vendorLib;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (upper == "GDS32.DLL")
        return "libfbclient.so.2";
    return vendorLib;
}

FbClientLibrary *FbClientLibrary::load(const std::string &vendorLib)
{
    using MasterEntry = Firebird::IMaster *(*)();
    static std::mutex mutex;
    static std::map<std::string, std::unique_ptr<FbClientLibrary>> loaded;

    const std::string file = clientFileName(vendorLib);
    if (file.empty())
        return nullptr;
    std::lock_guard lock(mutex);
    if (auto found = loaded.find(file); found != loaded.end())
        return found->second.get();

    void *handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return nullptr;
    auto entry = reinterpret_cast<MasterEntry>(dlsym(handle, "fb_get_master_interface"));
    Firebird::IMaster *master = entry ? entry() : nullptr;
    if (!master) {
        dlclose(handle); // nothing of it ran yet, so it can go again
        return nullptr;
    }
#if defined(__SANITIZE_ADDRESS__)
    // A sanitized build checks for leaks at exit before the client's own exit handlers run
    // (they were registered while it loaded, so they run after this one), while the client's
    // threads still wait idle: the check that would otherwise run last met those threads at
    // any stage of winding down. Later calls of the check, the last one included, do nothing.
    static const bool leakCheckFirst = std::atexit(__lsan_do_leak_check) == 0;
    (void)leakCheckFirst;
#endif
    auto library = std::unique_ptr<FbClientLibrary>(new FbClientLibrary(master));
    return loaded.emplace(file, std::move(library)).first->second.get();
}

} // namespace kalmora::driver
