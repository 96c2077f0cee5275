#pragma once

// A shared object loaded at run time: the plug-in libraries. Loading resolves
// every symbol at once and keeps the library's symbols to itself, so two
// plug-ins exporting the same names never see each other's functions. A file
// that is not a loadable ELF object for this machine (a Windows DLL, a
// 32-bit build) simply fails to load.

#include <string>

class TDynamicLibrary {
public:
    TDynamicLibrary() = default;
    ~TDynamicLibrary();
    TDynamicLibrary(const TDynamicLibrary&) = delete;
    TDynamicLibrary& operator=(const TDynamicLibrary&) = delete;

    // False when the file did not load; LastError() then tells why.
    bool Load(const std::string& path);
    void Unload();
    bool IsLoaded() const { return fHandle != nullptr; }
    // The address of an export; nullptr when the library lacks it or is not
    // loaded.
    void* Symbol(const char* name) const;
    const std::string& LastError() const { return fError; }

private:
    void* fHandle = nullptr;
    std::string fError;
};
