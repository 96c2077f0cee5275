#pragma once

// What the extension-colour dialog makes of the extensions the user typed:
// the text is split into extensions, each brought to the form ".ext", and the
// result joined with ";" as the EXTCOLOR key. Wrong input keeps the dialog
// open with a message; this is the dialog's logic, without the dialog.

#include <string>
#include <string_view>
#include <vector>

enum class TExtInputResult {
    erAccepted,   // Text holds the key to store
    erEmpty,      // nothing typed: the dialog stays open without a message
    erInvalid,    // Message says how to type extensions
    erDuplicate,  // Message names the extension another entry has already
};

struct TExtInputCheck {
    TExtInputResult Result = TExtInputResult::erEmpty;
    std::string Text;
    std::string Message;
};

// The message for a token that is not a bare extension, with its examples.
extern const std::string InvalidExtensionMessage;
// "拡張子 '" + ext + "' は既に登録されています  "
std::string DuplicateExtensionMessage(std::string_view ext);

// Checks the typed text. otherEntries are the keys of the other entries of
// the list (each a ";"-separated list of extensions); an extension already in
// one of them is refused. The text is trimmed and lower-cased, split at ";",
// "," and blanks; "jpg" becomes ".jpg", "*.jpg" becomes ".jpg", ".jpg" stays.
// Empty pieces (two separators in a row) are dropped and an extension typed
// twice is kept once. A piece with a dot further inside ("a.jpg"), a lone dot,
// or a character that cannot be part of a settings key ("=", control
// characters) is refused.
TExtInputCheck CheckExtensionInput(std::string_view text, const std::vector<std::string>& otherEntries);
