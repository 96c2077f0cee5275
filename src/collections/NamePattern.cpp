#include "collections/NamePattern.h"

#include "common/Text.h"

namespace {

inline char32_t Fold(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return LowerChar(UpperChar(c));
}

void FoldInto(std::string_view text, std::u32string& out)
{
    out.clear();
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            // Most names are plain ASCII: no decoding needed.
            out += static_cast<char32_t>(c >= 'A' && c <= 'Z' ? c + 32 : c);
            ++i;
        } else {
            out += Fold(NextCodePoint(text, i));
        }
    }
}

std::u32string Folded(std::string_view text)
{
    std::u32string out;
    FoldInto(text, out);
    return out;
}

// Folds a plain ASCII name byte by byte; false (out unfinished) at the
// first other byte.
bool FoldAscii(std::string_view text, std::string& out)
{
    out.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80)
            return false;
        out[i] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
    return true;
}

inline char32_t CharAt(const std::u32string& text, size_t i) { return text[i]; }
inline char32_t CharAt(const std::string& text, size_t i) { return static_cast<unsigned char>(text[i]); }

// The name as folded characters: UTF-32, or for an ASCII name its bytes.
template <typename TName>
bool MatchFolded(const std::u32string& pattern, const TName& name)
{
    size_t p = 0;
    size_t n = 0;
    size_t starP = std::u32string::npos;
    size_t starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == U'?' || (pattern[p] != U'*' && pattern[p] == CharAt(name, n)))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == U'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::u32string::npos) {
            // Let the last "*" take one more character and try again.
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*')
        ++p;
    return p == pattern.size();
}

bool IsSeparator(char32_t c)
{
    return c == U' ' || c == U'\u3000' || c == U';' || c == U',';
}

bool IsBlank(char32_t c)
{
    return c == U' ' || c == U'\u3000';
}

}  // namespace

std::string NormalizePattern(std::string_view pattern)
{
    if (pattern.find_first_of("*?") == std::string_view::npos)
        return "*" + std::string(pattern) + "*";
    std::string out;
    out.reserve(pattern.size());
    size_t i = 0;
    while (i < pattern.size()) {
        if (pattern[i] != '*' && pattern[i] != '?') {
            out += pattern[i++];
            continue;
        }
        bool star = false;
        while (i < pattern.size() && (pattern[i] == '*' || pattern[i] == '?')) {
            if (pattern[i] == '*')
                star = true;
            else
                out += '?';
            ++i;
        }
        if (star)
            out += '*';
    }
    if (out.size() > 2 && out.compare(out.size() - 3, 3, "*.*") == 0)
        out.resize(out.size() - 2);
    return out;
}

bool MatchesPattern(std::string_view pattern, std::string_view name)
{
    return MatchFolded(Folded(pattern), Folded(name));
}

void TNameCondition::AddInclude(std::string pattern, TPatternJoin join)
{
    fIncludeFolded.push_back(Folded(pattern));
    fInclude.push_back({std::move(pattern), join});
}

void TNameCondition::AddExclude(std::string pattern)
{
    fExcludeFolded.push_back(Folded(pattern));
    fExclude.push_back(std::move(pattern));
}

TNameCondition TNameCondition::Parse(std::string_view text)
{
    enum class TKeyword { kwNone, kwAnd, kwOr, kwNot };
    TNameCondition condition;
    const std::u32string chars = ToUtf32(Trim(text));
    TKeyword last = TKeyword::kwNone;
    size_t i = 0;
    while (i <= chars.size()) {
        size_t end = i;
        while (end < chars.size() && !IsSeparator(chars[end]))
            ++end;
        const std::string token = ToUtf8(chars.substr(i, end - i));
        // A word ended by ";" or "," is a pattern even when it reads "and".
        const bool endedByBlank = end >= chars.size() || IsBlank(chars[end]);
        i = end + 1;
        if (token.empty())
            continue;
        if (endedByBlank) {
            if (token == "and" || token == "&") {
                last = TKeyword::kwAnd;
                continue;
            }
            if (token == "or" || token == "|") {
                last = TKeyword::kwOr;
                continue;
            }
            if (token == "not" || token == "-") {
                last = TKeyword::kwNot;
                continue;
            }
        }
        // "-dog" reads as "- dog": the dash written against its word.
        if (endedByBlank && token.size() > 1 && token[0] == '-') {
            condition.AddExclude(NormalizePattern(token.substr(1)));
            last = TKeyword::kwNone;
            continue;
        }
        if (last == TKeyword::kwNot)
            condition.AddExclude(NormalizePattern(token));
        else
            condition.AddInclude(NormalizePattern(token), last == TKeyword::kwOr ? TPatternJoin::pjOr : TPatternJoin::pjAnd);
        last = TKeyword::kwNone;
    }
    if (condition.fInclude.empty())
        condition.AddInclude("*", TPatternJoin::pjAnd);
    return condition;
}

bool TNameCondition::MatchesEverything() const
{
    return fExclude.empty() && (fInclude.empty() || (fInclude.size() == 1 && fInclude[0].Pattern == "*"));
}

void TNameCondition::DropMatchAll()
{
    if (fInclude.size() == 1 && fInclude[0].Pattern == "*") {
        fInclude.clear();
        fIncludeFolded.clear();
    }
}

bool TNameCondition::Matches(std::string_view name) const
{
    if (fIncludeFolded.empty() && fExcludeFolded.empty())
        return true;
    // One buffer per thread: a search tests every name of a large tree, and
    // an allocation per name would cost more than the match.
    thread_local std::string ascii;
    if (FoldAscii(name, ascii))
        return MatchesFolded(ascii);
    thread_local std::u32string folded;
    FoldInto(name, folded);
    return MatchesFolded(folded);
}

template <typename TName>
bool TNameCondition::MatchesFolded(const TName& folded) const
{
    for (const std::u32string& pattern : fExcludeFolded) {
        if (MatchFolded(pattern, folded))
            return false;
    }
    if (fIncludeFolded.empty())
        return true;
    bool value = MatchFolded(fIncludeFolded[0], folded);
    for (size_t k = 1; k < fIncludeFolded.size(); ++k) {
        if (fInclude[k].Join == TPatternJoin::pjOr) {
            if (!value)
                value = MatchFolded(fIncludeFolded[k], folded);
        } else if (value) {
            value = MatchFolded(fIncludeFolded[k], folded);
        }
    }
    return value;
}
