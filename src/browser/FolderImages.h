#pragma once

// The pictures of one folder in reading order, for the window that shows a
// folder's first picture and steps through the rest. Which names are pictures
// is decided by the loader registry's image extensions, never guessed here.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Orders picture names by the program's name ordering (numbers by value,
// letters without case); names that differ only in case keep a fixed order
// (byte order), so a listing is the same every time.
void SortImageNames(std::vector<std::string>& names);

// The names (not paths) of the pictures in folder, sorted. Hidden files
// (names starting with '.') are left out, as file managers do: other systems
// leave "._name.jpg" companions on shared discs that are no pictures at all.
// Raises EFileError when the folder cannot be listed.
std::vector<std::string> ListFolderImages(const std::string& folder,
                                          const std::function<bool(std::string_view ext)>& isImageExtension);
