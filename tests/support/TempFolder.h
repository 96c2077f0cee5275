#pragma once

// A fresh folder under the system's temporary folder for one test, removed
// with everything in it when the test ends. Every data folder of the program
// is passed in, so tests point them here.

#include <string>
#include <string_view>

class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    // The folder, with a trailing '/'.
    const std::string& Path() const { return fPath; }
    // Path() + name.
    std::string File(std::string_view name) const;
    // Writes bytes into Path() + name (creating folders on the way) and
    // returns the full path.
    std::string Write(std::string_view name, std::string_view bytes) const;
    std::string Read(std::string_view name) const;

private:
    std::string fPath;
};
