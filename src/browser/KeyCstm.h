#pragma once

// The key bindings in the settings file: reading them with the built-in
// defaults for every missing key, taking over what older versions wrote (the
// separate "KeyCstm.ini" and older layouts of the command numbers), and
// writing them back.
//
// Sections: KEYCUSTOMINFO Version (the layout of the command numbers),
// GENERAL KEY and IMAGE KEY (per command number the primary code, then the
// further codes, comma-separated), MOVE KEY and SCROLL KEY (per number the
// codes, all of equal rank, and the exchange flags).

#include <string>

#include "browser/KeyBindings.h"

class TIniFile;
struct TOptions;

// The layout of the command numbers this program writes.
inline constexpr int KeyLayoutVersion = 261;

struct TKeyLoadResult {
    bool TookOverKeyFile = false;  // "KeyCstm.ini" was merged into the settings
    bool Converted = false;        // an older layout was taken over
    std::string WriteError;        // why writing the merged settings failed
};

// Reads the bindings from the settings file's copy. keyFileFolder is where
// an older version kept "KeyCstm.ini" (the data folder). With writeBack the
// settings file is written after a takeover or conversion, and the old key
// file is deleted only once that write succeeded; without it (read-only
// tools) the file and the old key file stay as they are and only the copy
// changes. Never raises for bad values: an item that is no code is skipped.
TKeyBindings LoadKeyBindings(TIniFile& ini, const std::string& keyFileFolder, bool writeBack,
                             TKeyLoadResult* result = nullptr);

// Writes the bindings into the copy, without writing the file.
void WriteKeyBindings(TIniFile& ini, const TKeyBindings& keys);
// Writes the bindings and, when given, the large and small scroll options
// of the SCROLL section, then the file. Raises EFileError when the file
// cannot be written.
void SaveKeyBindings(TIniFile& ini, const TKeyBindings& keys, const TOptions* scroll = nullptr);
