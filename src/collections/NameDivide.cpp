#include "collections/NameDivide.h"

#include "common/CsvFields.h"
#include "common/Text.h"
#include "base/Texts.h"

namespace {

constexpr size_t npos = std::u32string::npos;

std::u32string Upper(std::u32string_view text)
{
    std::u32string out(text);
    for (char32_t& c : out)
        c = UpperChar(c);
    return out;
}

// Blanks and control characters, as the rest is trimmed of them.
std::u32string TrimControls(std::u32string_view text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && text[begin] <= U' ')
        ++begin;
    while (end > begin && text[end - 1] <= U' ')
        --end;
    return std::u32string(text.substr(begin, end - begin));
}

bool StartsWith(std::u32string_view text, std::u32string_view prefix)
{
    return text.size() >= prefix.size() && text.substr(0, prefix.size()) == prefix;
}

bool EndsWith(std::u32string_view text, std::u32string_view suffix)
{
    return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

// The rule's delimiters as code points; an empty delimiter is dropped, since
// it would match everywhere and cut every name at its first character.
std::vector<std::u32string> Delimiters(const std::vector<std::string>& texts)
{
    std::vector<std::u32string> out;
    out.reserve(texts.size());
    for (const std::string& text : texts)
        if (!text.empty())
            out.push_back(ToUtf32(text));
    return out;
}

// One rule's cut: the part, and the rest that remains before trimming.
struct TCut {
    std::u32string Part;
    std::u32string Rest;
};

// Kinds 0 and 1 once the cut is known: p is where the delimiter of length d
// stands in the rest.
TCut CutAtDelimiter(const TNameDivideInfo& rule, const std::u32string& rest, size_t p, size_t d)
{
    TCut cut;
    if (rule.Kind == dkBefore) {
        cut.Part = rest.substr(0, rule.RemoveDelimiters ? p : p + d);
        cut.Rest = rest.substr(p + d);
    } else {
        cut.Part = rest.substr(rule.RemoveDelimiters ? p + d : p);
        cut.Rest = rest.substr(0, p);
    }
    return cut;
}

std::optional<TCut> ExportCutAtDelimiter(const TNameDivideInfo& rule, const std::u32string& rest)
{
    const std::u32string upperRest = Upper(rest);
    size_t best = npos;
    size_t bestLength = 0;
    for (const std::u32string& delimiter : Delimiters(rule.FirstDelimiters)) {
        const std::u32string upper = Upper(delimiter);
        const size_t p = rule.FromEnd ? upperRest.rfind(upper) : upperRest.find(upper);
        // Only the first (or last) occurrence is looked at, and one at the
        // first character would leave nothing before the delimiter.
        if (p == npos || p == 0)
            continue;
        if (best == npos || (rule.FromEnd ? p > best : p < best)) {
            best = p;
            bestLength = delimiter.size();
        }
    }
    if (best == npos)
        return std::nullopt;
    return CutAtDelimiter(rule, rest, best, bestLength);
}

// Kind 2 once both delimiters are known: the opening one at o (length ol),
// the closing one at c (length cl), both positions in the rest.
TCut CutEnclosed(const TNameDivideInfo& rule, const std::u32string& rest, size_t o, size_t ol, size_t c, size_t cl)
{
    TCut cut;
    if (!rule.FromEnd) {
        cut.Part = rule.RemoveDelimiters ? rest.substr(o + ol, c - o - ol) : rest.substr(o, c + cl - o);
        cut.Rest = rest.substr(c + cl);
    } else {
        cut.Part = rule.RemoveDelimiters ? rest.substr(o + ol, c - o - ol) : rest.substr(o);
        cut.Rest = rest.substr(0, o);
    }
    return cut;
}

std::optional<TCut> ExportCutEnclosed(const TNameDivideInfo& rule, const std::u32string& rest)
{
    const std::u32string upperRest = Upper(rest);
    const auto opening = Delimiters(rule.FirstDelimiters);
    const auto closing = Delimiters(rule.SecondDelimiters);
    if (!rule.FromEnd) {
        const std::u32string* open = nullptr;
        for (const std::u32string& o : opening)
            if (StartsWith(upperRest, Upper(o))) {
                open = &o;
                break;
            }
        if (open == nullptr)
            return std::nullopt;
        const size_t ol = open->size();
        size_t best = npos;
        size_t bestLength = 0;
        for (const std::u32string& c : closing) {
            // At the second character of the enclosed text or later: an
            // empty enclosure is no part.
            const size_t p = rest.find(c, ol + 1);
            if (p != npos && (best == npos || p < best)) {
                best = p;
                bestLength = c.size();
            }
        }
        if (best == npos)
            return std::nullopt;
        return CutEnclosed(rule, rest, 0, ol, best, bestLength);
    }
    const std::u32string* close = nullptr;
    for (const std::u32string& c : closing)
        if (EndsWith(upperRest, Upper(c))) {
            close = &c;
            break;
        }
    if (close == nullptr)
        return std::nullopt;
    const size_t c = rest.size() - close->size();
    const std::u32string_view upperBefore = std::u32string_view(upperRest).substr(0, c);
    size_t best = npos;
    size_t bestLength = 0;
    for (const std::u32string& o : opening) {
        const size_t p = upperBefore.rfind(Upper(o));
        if (p == npos || p == 0)
            continue;
        if (best == npos || p > best) {
            best = p;
            bestLength = o.size();
        }
    }
    if (best == npos)
        return std::nullopt;
    return CutEnclosed(rule, rest, best, bestLength, c, close->size());
}

std::optional<TCut> CategoryCutAtDelimiter(const TNameDivideInfo& rule, const std::u32string& rest)
{
    for (const std::u32string& delimiter : Delimiters(rule.FirstDelimiters)) {
        size_t p = rest.find(delimiter);
        if (p == npos)
            continue;
        if (rule.FromEnd) {
            // The search for later occurrences goes on from one character
            // after the last one found, and stops at one found right there.
            for (;;) {
                const size_t q = rest.find(delimiter, p + 1);
                if (q == npos || q == p + 1)
                    break;
                p = q;
            }
        }
        return CutAtDelimiter(rule, rest, p, delimiter.size());
    }
    return std::nullopt;
}

std::optional<TCut> CategoryCutEnclosed(const TNameDivideInfo& rule, const std::u32string& rest)
{
    const std::u32string upperRest = Upper(rest);
    const auto opening = Delimiters(rule.FirstDelimiters);
    const auto closing = Delimiters(rule.SecondDelimiters);
    if (!rule.FromEnd) {
        for (const std::u32string& o : opening) {
            if (!StartsWith(upperRest, Upper(o)))
                continue;
            for (const std::u32string& c : closing) {
                const size_t p = rest.find(c, o.size() + 1);
                if (p != npos)
                    return CutEnclosed(rule, rest, 0, o.size(), p, c.size());
            }
            return std::nullopt;
        }
        return std::nullopt;
    }
    for (const std::u32string& c : closing) {
        if (!EndsWith(upperRest, Upper(c)))
            continue;
        const size_t end = rest.size() - c.size();
        // The opening delimiter is looked for before the closing one only,
        // so that the part never runs backwards.
        const std::u32string_view before = std::u32string_view(rest).substr(0, end);
        for (const std::u32string& o : opening) {
            if (before.find(o, 1) == npos)
                continue;
            return CutEnclosed(rule, rest, before.rfind(o), o.size(), end, c.size());
        }
        return std::nullopt;
    }
    return std::nullopt;
}

using TCutter = std::optional<TCut> (*)(const TNameDivideInfo&, const std::u32string&);

TDividedName Divide(const TNameDivideRules& rules, std::string_view name, TCutter atDelimiter, TCutter enclosed)
{
    TDividedName result;
    result.Parts.resize(rules.size());
    std::u32string rest = ToUtf32(name);
    for (size_t k = 0; k < rules.size(); ++k) {
        const TNameDivideInfo& rule = rules[k];
        const std::optional<TCut> cut = rule.Kind == dkEnclosed ? enclosed(rule, rest) : atDelimiter(rule, rest);
        if (!cut)
            continue;
        result.Parts[k] = ToUtf8(cut->Part);
        rest = TrimControls(cut->Rest);
    }
    result.Rest = ToUtf8(rest);
    return result;
}

}  // namespace

std::vector<std::string> SplitDelimiters(std::string_view text)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        const size_t semicolon = text.find(';', start);
        if (semicolon == std::string_view::npos) {
            out.emplace_back(text.substr(start));
            break;
        }
        out.emplace_back(text.substr(start, semicolon - start));
        start = semicolon + 1;
    }
    return out;
}

std::string JoinDelimiters(const std::vector<std::string>& delimiters)
{
    std::string out;
    for (size_t i = 0; i < delimiters.size(); ++i) {
        if (i > 0)
            out += ';';
        out += delimiters[i];
    }
    // A ";" at the very end adds no piece when split, so an empty last piece
    // needs one more: {""} is ";", {"a", ""} is "a;;".
    if (!delimiters.empty() && delimiters.back().empty())
        out += ';';
    return out;
}

std::string FormatNameDivideInfo(const TNameDivideInfo& rule)
{
    return JoinCsvFields({rule.Name, IntToStr(rule.Kind), JoinDelimiters(rule.FirstDelimiters),
                          JoinDelimiters(rule.SecondDelimiters), rule.FromEnd ? "1" : "0",
                          rule.RemoveDelimiters ? "1" : "0"});
}

std::optional<TNameDivideInfo> ParseNameDivideInfo(std::string_view text, int32_t index)
{
    const std::vector<std::string> fields = SplitCsvFields(text);
    if (fields.size() != 6)
        return std::nullopt;
    TNameDivideInfo rule;
    rule.Index = index;
    rule.Name = fields[0];
    const int32_t kind = StrToIntDef(fields[1], 0);
    rule.Kind = kind >= 0 && kind <= 2 ? static_cast<TDivideKind>(kind) : dkBefore;
    rule.FirstDelimiters = SplitDelimiters(fields[2]);
    rule.SecondDelimiters = SplitDelimiters(fields[3]);
    rule.FromEnd = StrToIntDef(fields[4], 0) == 1;
    rule.RemoveDelimiters = StrToIntDef(fields[5], 0) == 1;
    return rule;
}

std::string DelimiterCaption(const TNameDivideInfo& rule)
{
    if (rule.Kind == dkEnclosed)
        return JoinDelimiters(rule.FirstDelimiters) + "*" + JoinDelimiters(rule.SecondDelimiters);
    std::string out;
    for (size_t i = 0; i < rule.FirstDelimiters.size(); ++i) {
        if (i > 0)
            out += ';';
        out += rule.Kind == dkBefore ? "*" + rule.FirstDelimiters[i] : rule.FirstDelimiters[i] + "*";
    }
    return out;
}

std::string SearchCaption(const TNameDivideInfo& rule)
{
    return rule.FromEnd ? Tx("末尾") : Tx("先頭");
}

std::string RemoveCaption(const TNameDivideInfo& rule)
{
    return rule.RemoveDelimiters ? " ○" : " ×";
}

void RenumberRules(TNameDivideRules& rules)
{
    for (size_t i = 0; i < rules.size(); ++i)
        rules[i].Index = static_cast<int32_t>(i);
}

TDividedName DivideName(const TNameDivideRules& rules, std::string_view name)
{
    return Divide(rules, name, ExportCutAtDelimiter, ExportCutEnclosed);
}

TDividedName DivideNameForCategory(const TNameDivideRules& rules, std::string_view name)
{
    return Divide(rules, name, CategoryCutAtDelimiter, CategoryCutEnclosed);
}
