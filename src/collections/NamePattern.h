#pragma once

// The name conditions of searches, categories and file masks. A condition
// text such as "*.jpg or *.png -thumb" is split at blanks (also the
// full-width blank), ";" and ",". A word ended by a blank or the end of the
// text may be a keyword: "and" or "&" joins the next pattern with AND, "or"
// or "|" with OR, "not" or "-" makes the next pattern an exclusion, and so
// does a dash written against its word ("-dog"); a word ended by ";" or ","
// is always a pattern. A pattern without "*" or "?"
// matches anywhere in the name; otherwise it is a wildcard pattern over the
// whole name. Letters compare without case.
//
// A name passes when no exclusion matches and the inclusion patterns, read
// left to right without precedence, hold. Immutable once parsed; safe to use
// from any thread.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class TPatternJoin : uint8_t { pjAnd, pjOr };

struct TIncludePattern {
    std::string Pattern;
    TPatternJoin Join = TPatternJoin::pjAnd;  // how it joins what precedes it
    bool operator==(const TIncludePattern&) const = default;
};

class TNameCondition {
public:
    // An empty condition: everything passes.
    TNameCondition() = default;
    // With no inclusion pattern in the text, the one pattern "*" is used.
    static TNameCondition Parse(std::string_view text);

    const std::vector<TIncludePattern>& Include() const { return fInclude; }
    const std::vector<std::string>& Exclude() const { return fExclude; }
    // True when nothing is filtered: no exclusion, and no inclusion or only "*".
    bool MatchesEverything() const;
    // File masks keep no inclusion list that is exactly "*".
    void DropMatchAll();

    // The name alone, without its folder.
    bool Matches(std::string_view name) const;

private:
    template <typename TName>
    bool MatchesFolded(const TName& folded) const;
    void AddInclude(std::string pattern, TPatternJoin join);
    void AddExclude(std::string pattern);

    std::vector<TIncludePattern> fInclude;
    std::vector<std::string> fExclude;
    // The patterns case-folded, ready for matching.
    std::vector<std::u32string> fIncludeFolded;
    std::vector<std::u32string> fExcludeFolded;
};

// A pattern as conditions store it: "cat" becomes "*cat*"; each run of "*"
// and "?" becomes its "?" followed by one "*" when the run held a "*"; a
// pattern longer than two characters ending in "*.*" loses the ".*".
std::string NormalizePattern(std::string_view pattern);

// Wildcard match over the whole name: "?" is one character, "*" any run.
// Without case.
bool MatchesPattern(std::string_view pattern, std::string_view name);
