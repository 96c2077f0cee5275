#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

TDynamicLibrary::~TDynamicLibrary()
{
    Unload();
}

bool TDynamicLibrary::Load(const std::string& path)
{
    Unload();
    fHandle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!fHandle) {
        const char* reason = ::dlerror();
        fError = reason ? reason : "dlopen failed";
        return false;
    }
    fError.clear();
    return true;
}

void TDynamicLibrary::Unload()
{
    if (fHandle) {
        ::dlclose(fHandle);
        fHandle = nullptr;
    }
}

void* TDynamicLibrary::Symbol(const char* name) const
{
    if (!fHandle)
        return nullptr;
    return ::dlsym(fHandle, name);
}
