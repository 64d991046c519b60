#include "shared_library.h"

#include <dlfcn.h>

namespace mv {

SharedLibraries::SharedLibraries(std::initializer_list<const char*> sonames)
{
    for (const char* soname : sonames) {
        void* handle = dlopen(soname, RTLD_NOW | RTLD_GLOBAL);
        loaded_ = loaded_ && handle;
        handles_.push_back(handle);
    }
}

void* SharedLibraries::symbol(const char* name) const
{
    for (void* handle : handles_)
        if (void* address = handle ? dlsym(handle, name) : nullptr)
            return address;
    return nullptr;
}

} // namespace mv
