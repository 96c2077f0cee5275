#pragma once

// Name-division rules: each rule cuts one named part out of a file name (the
// text before a " - ", the text after the last "_", a text in "[" and "]"),
// and an ordered list of rules splits a name into parts, each rule working on
// what the earlier ones left. The CSV export writes the parts as columns of
// their own and the rest as the name; the categories by name build their
// levels from the parts, with a cutting of their own (DivideNameForCategory).
// The record, its stored text and the captions of its list row live here, so
// that both dialogs and the command line share them.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum TDivideKind : uint8_t {
    dkBefore = 0,    // the text before a delimiter
    dkAfter = 1,     // the text after a delimiter
    dkEnclosed = 2,  // a text enclosed by an opening and a closing delimiter
};

struct TNameDivideInfo {
    int32_t Index = 0;  // the rule's position in its list; RenumberRules keeps it so
    std::string Name;   // the part's name, the caption of its export column
    TDivideKind Kind = dkBefore;
    std::vector<std::string> FirstDelimiters;   // delimiters, or the opening ones of dkEnclosed
    std::vector<std::string> SecondDelimiters;  // the closing delimiters of dkEnclosed
    bool FromEnd = false;                       // search from the end of the name
    bool RemoveDelimiters = false;              // the part leaves its delimiters out

    bool operator==(const TNameDivideInfo&) const = default;
};

using TNameDivideRules = std::vector<TNameDivideInfo>;

// A delimiter list as the user edits it: the delimiters joined by ";". Split
// keeps empty pieces in place (they never match), except that a ";" at the
// very end adds none; an empty text gives no delimiter. Join writes an empty
// last piece with one ";" more, so that every list splits back to itself.
std::vector<std::string> SplitDelimiters(std::string_view text);
std::string JoinDelimiters(const std::vector<std::string>& delimiters);

// The stored form: six comma-separated fields (name, kind, first delimiters,
// second delimiters, from-end "1"/"0", remove "1"/"0") quoted as the CSV
// export quotes its fields, e.g. "作者 名",2,[;(,];),0,1.
std::string FormatNameDivideInfo(const TNameDivideInfo& rule);
// Reads the stored form; nothing unless it has exactly six fields. A kind
// above 2 and a flag above 1 read as 0. Index is set to the given index.
std::optional<TNameDivideInfo> ParseNameDivideInfo(std::string_view text, int32_t index = 0);

// The texts of the rule's row in a rule list: the delimiters with "*" for the
// part ("*-;*_", "-*;_*", "[;(*];)"), "先頭" or "末尾", and " ○" or " ×".
std::string DelimiterCaption(const TNameDivideInfo& rule);
std::string SearchCaption(const TNameDivideInfo& rule);
std::string RemoveCaption(const TNameDivideInfo& rule);

// Sets every rule's Index to its position.
void RenumberRules(TNameDivideRules& rules);

struct TDividedName {
    std::vector<std::string> Parts;  // one per rule, in rule order; empty where a rule found no cut
    std::string Rest;                // what the rules left of the name, trimmed after each cut

    bool operator==(const TDividedName&) const = default;
};

// The export's cutting. Delimiters are found without regard to case; a
// delimiter found at the first character of the rest does not cut (a part
// is never empty of text before its delimiter), and an empty delimiter never
// matches. After each cut the rest is trimmed of blanks and control
// characters at both ends; the part is kept as cut.
TDividedName DivideName(const TNameDivideRules& rules, std::string_view name);

// The categories' cutting: delimiters in list order, the first one found
// wins, found case-sensitively (only the opening of an enclosed text at the
// head, or its closing at the end, compares without case).
TDividedName DivideNameForCategory(const TNameDivideRules& rules, std::string_view name);
