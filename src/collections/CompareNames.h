#pragma once

// The one name ordering of the program: file lists, shelves, exports, the
// image list of the viewer and archive members all sort names with
// CompareNames, so a book reads in the same page order wherever it is shown.
// Runs of digits compare by their value ("2.jpg" before "10.jpg", full-width
// digits too), letters compare without case, and the order of punctuation,
// digits, letters, kana and kanji is fixed. Two names compare equal only when
// they differ in letter case alone; every other difference (leading zeros,
// character width, hiragana against katakana, accents) decides a tie.
//
// Pure functions over UTF-8 texts without allocation; safe on any thread.

#include <string>
#include <string_view>

// <0 when a sorts before b, 0 when they differ only in case, >0 otherwise.
int CompareNames(std::string_view a, std::string_view b);

// A byte string that orders as the name does: comparing two keys as strings
// (std::string::compare) gives the sign CompareNames gives their names, and
// the keys of names that differ in case alone are equal. A list that sorts a
// large folder makes each name's key once and then compares bytes.
std::string NameSortKey(std::string_view name);

// For std::sort and friends.
struct TNameLess {
    bool operator()(std::string_view a, std::string_view b) const { return CompareNames(a, b) < 0; }
};
