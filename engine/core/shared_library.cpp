#include "shared_library.h"

#include <dlfcn.h>

namespace mv {

void* shared_library_open(const char* soname)
{
    return dlopen(soname, RTLD_NOW | RTLD_GLOBAL);
}

void* shared_library_symbol(void* library, const char* name)
{
    return library ? dlsym(library, name) : nullptr;
}

} // namespace mv
