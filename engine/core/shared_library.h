// Shared libraries opened on first use instead of at program start. The big codec libraries
// (GraphicsMagick, FFmpeg) bring some hundred dependent libraries with them; linked directly,
// every start of every program of the suite would load and relocate all of them, which costs
// more than many whole operations on a large picture.
#pragma once

#include <initializer_list>
#include <vector>

namespace mv {

// Libraries opened together, each by the name the dynamic loader knows it by ("libfoo.so.3"),
// with their symbols available to the libraries they load later.
class SharedLibraries {
public:
    explicit SharedLibraries(std::initializer_list<const char*> sonames);

    // True when every library could be opened.
    bool loaded() const { return loaded_; }

    // Binds a function pointer to the symbol of the same name, looked up in each library in
    // turn; false when none has it.
    template <typename Function>
    bool bind(const char* name, Function& out) const
    {
        void* address = symbol(name);
        out = reinterpret_cast<Function>(address);
        return address != nullptr;
    }

private:
    void* symbol(const char* name) const;

    std::vector<void*> handles_;
    bool loaded_ = true;
};

} // namespace mv
