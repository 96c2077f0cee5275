#pragma once

// Text helpers. Texts are UTF-8 everywhere in the program. Files written by
// older versions hold code page 932 (Shift_JIS) instead: DecodeText takes
// valid UTF-8 as it is and decodes anything else from CP932. Names the user
// types (shelves, media, extensions, INI names) compare without case, by
// characters (Unicode simple case mapping), never by bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

bool IsValidUtf8(std::string_view bytes);

// Valid UTF-8 (leading byte-order marks removed) or CP932 decoded to UTF-8;
// bytes CP932 cannot decode either become U+FFFD.
std::string DecodeText(std::string_view bytes);
// UTF-8 to CP932, for tests and for exports that ask for it; characters CP932
// lacks become '?'.
std::string EncodeCp932(std::string_view text);

// The next code point at index i (advanced past it); a malformed byte gives
// U+FFFD and advances by one.
char32_t NextCodePoint(std::string_view text, size_t& i);
std::u32string ToUtf32(std::string_view text);
std::string ToUtf8(std::u32string_view text);
void AppendUtf8(std::string& out, char32_t c);

char32_t LowerChar(char32_t c);
char32_t UpperChar(char32_t c);
std::string LowerCase(std::string_view text);
std::string UpperCase(std::string_view text);

// Compares character by character after lower-casing; <0, 0, >0.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);
bool StartsText(std::string_view prefix, std::string_view text);  // without case
bool EndsText(std::string_view suffix, std::string_view text);    // without case

// Blanks (space, tab, CR, LF) removed at both ends.
std::string Trim(std::string_view text);
std::vector<std::string> SplitString(std::string_view text, char separator);

// Integers as the settings file writes them: decimal with an optional sign, or
// hexadecimal after "$" or "0x"/"0X". Nothing else (no blanks, no trailing
// text); a value beyond 32 bits is not a number. Hexadecimal texts may give
// the full unsigned 32-bit range, stored as its two's-complement value.
std::optional<int32_t> TryStrToInt(std::string_view text);
int32_t StrToIntDef(std::string_view text, int32_t def);
std::optional<int64_t> TryStrToInt64(std::string_view text);

std::string IntToStr(int64_t value);
std::string IntToHex(uint64_t value, int digits);  // upper case, zero-padded

// The number of characters (code points), for limits the user sees.
size_t CharCount(std::string_view text);

// A text made safe for one line of line-oriented output (a name in a list a
// script reads, a caption printed to a terminal): a name holding a tab or a
// line break would otherwise forge a field or a whole line, and an escape
// sequence would reach the terminal. The backslash becomes "\\", tab, line
// feed and carriage return become "\t", "\n" and "\r"; every other control
// character (C0, DEL, and C1 such as U+009B) and every byte that is not part
// of valid UTF-8 becomes "\xHH", two lower-case hexadecimal digits standing
// for exactly one byte. Everything else passes unchanged, so the form reads
// back to the original bytes without ambiguity.
std::string EscapeControls(std::string_view text);
