// Every Japanese text in the code has an English translation in
// translations/mireva_en.ts or is listed in tests/data/untranslated-texts.txt,
// and neither file keeps texts the code no longer has.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/Texts.h"

namespace {

namespace fs = std::filesystem;

const fs::path SourceRoot = fs::path(MIREVA_TEST_DATA_DIR) / ".." / "..";

struct TLiteral {
    std::string Text;
    std::string Where;  // "src/browser/Foo.cpp:12"
};

std::string ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool IsHex(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// The bytes a quoted literal's body stands for.
std::string Unescape(const std::string& body)
{
    std::string out;
    for (size_t i = 0; i < body.size(); ++i) {
        if (body[i] != '\\' || i + 1 >= body.size()) {
            out += body[i];
            continue;
        }
        const char c = body[++i];
        switch (c) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case 'a': out += '\a'; break;
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'v': out += '\v'; break;
        case 'x': {
            size_t end = i + 1;
            while (end < body.size() && IsHex(body[end]))
                ++end;
            out += static_cast<char>(std::stoi(body.substr(i + 1, end - i - 1), nullptr, 16));
            i = end - 1;
            break;
        }
        default:
            if (c >= '0' && c <= '7') {
                size_t end = i;
                while (end < body.size() && end < i + 3 && body[end] >= '0' && body[end] <= '7')
                    ++end;
                out += static_cast<char>(std::stoi(body.substr(i, end - i), nullptr, 8));
                i = end - 1;
            } else {
                out += c;  // \\ \" \' \?
            }
        }
    }
    return out;
}

bool IsWordChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

// The string literals of a C++ file, adjacent literals joined, comments and
// character literals skipped.
std::vector<TLiteral> Literals(const std::string& text, const std::string& name)
{
    std::vector<TLiteral> found;
    bool joinNext = false;
    int line = 1;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
            ++i;
            continue;
        }
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (text.compare(i, 2, "//") == 0) {
            i = std::min(text.find('\n', i), text.size());
            continue;
        }
        if (text.compare(i, 2, "/*") == 0) {
            const size_t end = std::min(text.find("*/", i + 2), text.size() - 2) + 2;
            line += static_cast<int>(std::count(text.begin() + static_cast<std::ptrdiff_t>(i),
                                                text.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
            i = end;
            continue;
        }
        const bool wordStart = i == 0 || !IsWordChar(text[i - 1]);
        size_t prefix = 0;
        for (const char* p : {"u8", "u", "U", "L", ""}) {
            const size_t n = std::char_traits<char>::length(p);
            if (text.compare(i, n, p) == 0 && i + n < text.size() && (text[i + n] == '"' || text[i + n] == 'R')) {
                prefix = n;
                break;
            }
        }
        std::string literal;
        bool isLiteral = false;
        const int start = line;
        if (wordStart && text.compare(i + prefix, 2, "R\"") == 0) {
            const size_t open = text.find('(', i + prefix + 2);
            const std::string close = ")" + text.substr(i + prefix + 2, open - i - prefix - 2) + "\"";
            const size_t end = text.find(close, open);
            literal = text.substr(open + 1, end - open - 1);
            line += static_cast<int>(std::count(literal.begin(), literal.end(), '\n'));
            i = end + close.size();
            isLiteral = true;
        } else if (wordStart && text[i + prefix] == '"') {
            size_t end = i + prefix + 1;
            while (end < text.size() && text[end] != '"')
                end += text[end] == '\\' ? 2 : 1;
            literal = Unescape(text.substr(i + prefix + 1, end - i - prefix - 1));
            i = end + 1;
            isLiteral = true;
        } else if (wordStart && c == '\'') {
            size_t end = i + 1;
            while (end < text.size() && text[end] != '\'')
                end += text[end] == '\\' ? 2 : 1;
            i = end + 1;
            joinNext = false;
            continue;
        }
        if (isLiteral) {
            if (joinNext)
                found.back().Text += literal;
            else
                found.push_back({literal, name + ":" + std::to_string(start)});
            joinNext = true;
            continue;
        }
        joinNext = false;
        if (IsWordChar(c)) {
            while (i < text.size() && IsWordChar(text[i]))
                ++i;
        } else {
            ++i;
        }
    }
    return found;
}

// Hiragana, katakana, CJK ideographs and the full-width forms.
bool HasJapanese(const std::string& text)
{
    for (size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        char32_t cp = b;
        size_t n = 1;
        if (b >= 0xF0) {
            cp = b & 0x07;
            n = 4;
        } else if (b >= 0xE0) {
            cp = b & 0x0F;
            n = 3;
        } else if (b >= 0xC0) {
            cp = b & 0x1F;
            n = 2;
        }
        for (size_t k = 1; k < n && i + k < text.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        if ((cp >= 0x3000 && cp <= 0x30FF) || (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0xFF00 && cp <= 0xFFEF))
            return true;
        i += n;
    }
    return false;
}

std::string DecodeXml(std::string text)
{
    const std::pair<const char*, const char*> entities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [entity, plain] : entities) {
        for (size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, std::char_traits<char>::length(entity), plain);
    }
    return text;
}

// Source text to translation, as the .ts file holds them.
std::map<std::string, std::string> Translations(const std::string& ts)
{
    std::map<std::string, std::string> texts;
    const auto element = [&ts](const std::string& tag, size_t from, size_t& end) {
        const size_t open = ts.find("<" + tag, from);
        if (open == std::string::npos)
            return std::optional<std::string>();
        const size_t body = ts.find('>', open) + 1;
        if (ts[body - 2] == '/') {
            end = body;
            return std::optional<std::string>("");
        }
        end = ts.find("</" + tag + ">", body);
        return std::optional<std::string>(DecodeXml(ts.substr(body, end - body)));
    };
    size_t at = 0;
    while ((at = ts.find("<message>", at)) != std::string::npos) {
        size_t end = at;
        const std::optional<std::string> source = element("source", at, end);
        const std::optional<std::string> translation = element("translation", end, end);
        if (!source || !translation)
            break;
        texts[*source] = ts.find("type=\"unfinished\"", at) < end ? std::string() : *translation;
        at = end;
    }
    return texts;
}

// The allow list: a quoted text in C escapes at the start of each line.
std::set<std::string> Untranslated(const std::string& list)
{
    std::set<std::string> texts;
    std::istringstream in(list);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] != '"')
            continue;
        size_t end = 1;
        while (end < line.size() && line[end] != '"')
            end += line[end] == '\\' ? 2 : 1;
        texts.insert(Unescape(line.substr(1, end - 1)));
    }
    return texts;
}

// "%1", "%d", "%s": what a template is filled in with.
std::multiset<std::string> Placeholders(const std::string& text)
{
    std::multiset<std::string> found;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '%' && (std::isdigit(static_cast<unsigned char>(text[i + 1])) || text[i + 1] == 'd' ||
                               text[i + 1] == 's'))
            found.insert(text.substr(i, 2));
    }
    return found;
}

class TranslationCoverage : public testing::Test {
protected:
    void SetUp() override
    {
        for (const auto& entry : fs::recursive_directory_iterator(SourceRoot / "src")) {
            const std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h"))
                continue;
            const std::string name = fs::relative(entry.path(), SourceRoot).generic_string();
            for (TLiteral& literal : Literals(ReadAll(entry.path()), name))
                if (HasJapanese(literal.Text))
                    fCode.push_back(std::move(literal));
        }
        fTranslations = Translations(ReadAll(SourceRoot / "translations" / "mireva_en.ts"));
        fUntranslated = Untranslated(ReadAll(SourceRoot / "tests" / "data" / "untranslated-texts.txt"));
    }

    std::vector<TLiteral> fCode;
    std::map<std::string, std::string> fTranslations;
    std::set<std::string> fUntranslated;
};

TEST_F(TranslationCoverage, EveryJapaneseTextIsTranslatedOrListedAsStoredData)
{
    ASSERT_GT(fCode.size(), 500u);
    for (const TLiteral& literal : fCode) {
        const auto found = fTranslations.find(literal.Text);
        const bool translated = found != fTranslations.end() && !found->second.empty();
        EXPECT_TRUE(translated || fUntranslated.count(literal.Text))
            << literal.Where << ": \"" << literal.Text << "\" has no English translation";
    }
}

TEST_F(TranslationCoverage, NoEntryOutlivesItsText)
{
    std::set<std::string> inCode;
    for (const TLiteral& literal : fCode)
        inCode.insert(literal.Text);
    for (const auto& [source, translation] : fTranslations)
        EXPECT_TRUE(inCode.count(source)) << "mireva_en.ts: \"" << source << "\" is no longer in the code";
    for (const std::string& text : fUntranslated)
        EXPECT_TRUE(inCode.count(text)) << "untranslated-texts.txt: \"" << text << "\" is no longer in the code";
}

TEST_F(TranslationCoverage, TranslationsAreEnglishAndKeepTheirPlaceholders)
{
    for (const auto& [source, translation] : fTranslations) {
        EXPECT_FALSE(HasJapanese(translation)) << "\"" << source << "\" is translated as \"" << translation << '"';
        EXPECT_EQ(Placeholders(source), Placeholders(translation)) << "\"" << source << "\" -> \"" << translation << '"';
        EXPECT_EQ(std::count(source.begin(), source.end(), '\n') > 0, std::count(translation.begin(), translation.end(), '\n') > 0)
            << "\"" << source << "\" and its translation differ in having line breaks";
    }
}

TEST(TranslationScanner, ReadsLiteralsAsTheCompilerDoes)
{
    struct TCase {
        const char* Code;
        std::vector<std::string> Texts;
    };
    const TCase cases[] = {
        {"f(\"開く\");", {"開く"}},
        {"f(\"前半\"\n  \"後半\");", {"前半後半"}},
        {"f(\"a\" /* x \"no\" */ \"b\");", {"ab"}},
        {"// \"コメント\"\nf(\"x\");", {"x"}},
        {"c = '\"'; f(\"y\");", {"y"}},
        {"f(\"改行\\n\\\"引用\\\"\");", {"改行\n\"引用\""}},
        {"f(R\"(生\"の)\");", {"生\"の"}},
        {"f(u8\"前\", \"後\");", {"前", "後"}},
    };
    for (const TCase& c : cases) {
        std::vector<std::string> texts;
        for (const TLiteral& literal : Literals(c.Code, "t"))
            texts.push_back(literal.Text);
        EXPECT_EQ(texts, c.Texts) << c.Code;
    }
}

TEST(FillText, FillsNumberedPlaceholdersAndKeepsEveryOtherPercent)
{
    struct TCase {
        const char* Pattern;
        std::initializer_list<std::string_view> Values;
        const char* Filled;
    };
    const TCase cases[] = {
        {"%1 を %2 へ", {"a", "b"}, "a を b へ"},
        {"%2, %1", {"x", "y"}, "y, x"},
        {"100% %1", {"z"}, "100% z"},
        {"%3 %1", {"only"}, "%3 only"},
        {"%1", {"%2"}, "%2"},  // a value is never filled in again
        {"end %", {}, "end %"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(FillText(c.Pattern, c.Values), c.Filled) << c.Pattern;
}

TEST(Tx, GivesTheTranslationOrTheTextItself)
{
    EXPECT_STREQ(Tx("開く"), "開く");
    InstallTranslator([](const char* text) -> const char* { return std::string_view(text) == "開く" ? "Open" : nullptr; });
    EXPECT_STREQ(Tx("開く"), "Open");
    EXPECT_EQ(Tx(std::string("開く")), "Open");
    EXPECT_STREQ(Tx("閉じる"), "閉じる");
    InstallTranslator(nullptr);
    EXPECT_STREQ(Tx("開く"), "開く");
}

}  // namespace
