// Shared libraries opened on first use instead of at program start. The big codec libraries
// (GraphicsMagick, FFmpeg) bring some hundred dependent libraries with them; linked directly,
// every start of every program of the suite would load and relocate all of them, which costs
// more than many whole operations on a large picture.
#pragma once

namespace mv {

// Opens the library known to the dynamic loader as `soname` ("libfoo.so.3") with its
// symbols available to the libraries it loads later; nullptr when it cannot be loaded.
void* shared_library_open(const char* soname);

// The address of `name` in `library` or in the libraries it depends on; nullptr if absent.
void* shared_library_symbol(void* library, const char* name);

// Binds a function pointer to the symbol of the same name; false when it is missing.
template <typename Function>
bool shared_library_bind(void* library, const char* name, Function& out)
{
    void* address = shared_library_symbol(library, name);
    out = reinterpret_cast<Function>(address);
    return address != nullptr;
}

} // namespace mv
