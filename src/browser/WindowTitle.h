#pragma once

// The browser window's title: the program's title and the short text of the
// listed location, with the file mask in force, so that a list that seems to
// miss files says why in the task bar too.

#include <string>

#include "browser/ListKind.h"

// title + " - " + location (nothing of it when no location is listed yet);
// a file mask in use (a non-empty mask text) is appended as " [mask]",
// except over the lists of shelves, catalogues and categories, which it
// does not filter.
std::string WindowTitle(const std::string& title, const std::string& location, const std::string& mask,
                        TListKind kind);
