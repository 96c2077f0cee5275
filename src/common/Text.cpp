#include "common/Text.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <iconv.h>
#include <locale.h>
#include <wctype.h>

namespace {

// The C.UTF-8 character classes give Unicode's simple case mapping whatever
// locale the process runs in.
locale_t Utf8Locale()
{
    static const locale_t locale = [] {
        locale_t l = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        if (!l)
            l = ::newlocale(LC_CTYPE_MASK, "C.utf8", static_cast<locale_t>(nullptr));
        return l;
    }();
    return locale;
}

std::string Convert(std::string_view bytes, const char* to, const char* from, const std::string& replacement)
{
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() * 3 / 2 + 4);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = ::iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (rc == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // An invalid or incomplete sequence: replace one byte and go on.
            out += replacement;
            ++in;
            --inLeft;
            ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    ::iconv_close(cd);
    return out;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes)
{
    size_t i = 0;
    const size_t n = bytes.size();
    while (i < n) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        char32_t cp;
        if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > n)
            return false;
        for (size_t k = 1; k < len; ++k) {
            const auto cc = static_cast<unsigned char>(bytes[i + k]);
            if ((cc & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (cc & 0x3F);
        }
        // Overlong forms, surrogates and values beyond U+10FFFF are invalid.
        if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

std::string DecodeText(std::string_view bytes)
{
    if (IsValidUtf8(bytes)) {
        // Every mark goes, not just the first: a text read and written back
        // must read as itself, and one mark left in front would be taken off
        // by the next reading.
        while (bytes.starts_with("\xEF\xBB\xBF"))
            bytes.remove_prefix(3);
        return std::string(bytes);
    }
    return Convert(bytes, "UTF-8", "CP932", "\xEF\xBF\xBD");
}

std::string EncodeCp932(std::string_view text)
{
    return Convert(text, "CP932", "UTF-8", "?");
}

char32_t NextCodePoint(std::string_view text, size_t& i)
{
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
        ++i;
        return c;
    }
    size_t len = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (len == 0 || i + len > text.size()) {
        ++i;
        return 0xFFFD;
    }
    char32_t cp = len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    for (size_t k = 1; k < len; ++k) {
        const auto cc = static_cast<unsigned char>(text[i + k]);
        if ((cc & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        cp = (cp << 6) | (cc & 0x3F);
    }
    i += len;
    return cp;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::u32string ToUtf32(std::string_view text)
{
    std::u32string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();)
        out += NextCodePoint(text, i);
    return out;
}

std::string ToUtf8(std::u32string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text)
        AppendUtf8(out, c);
    return out;
}

char32_t LowerChar(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    const locale_t l = Utf8Locale();
    return l ? static_cast<char32_t>(::towlower_l(static_cast<wint_t>(c), l)) : c;
}

char32_t UpperChar(char32_t c)
{
    if (c < 0x80)
        return (c >= 'a' && c <= 'z') ? c - 32 : c;
    const locale_t l = Utf8Locale();
    return l ? static_cast<char32_t>(::towupper_l(static_cast<wint_t>(c), l)) : c;
}

std::string LowerCase(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();)
        AppendUtf8(out, LowerChar(NextCodePoint(text, i)));
    return out;
}

std::string UpperCase(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();)
        AppendUtf8(out, UpperChar(NextCodePoint(text, i)));
    return out;
}

int CompareText(std::string_view a, std::string_view b)
{
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        const char32_t ca = LowerChar(NextCodePoint(a, i));
        const char32_t cb = LowerChar(NextCodePoint(b, j));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

bool SameText(std::string_view a, std::string_view b)
{
    return CompareText(a, b) == 0;
}

bool StartsText(std::string_view prefix, std::string_view text)
{
    size_t i = 0, j = 0;
    while (i < prefix.size()) {
        if (j >= text.size())
            return false;
        if (LowerChar(NextCodePoint(prefix, i)) != LowerChar(NextCodePoint(text, j)))
            return false;
    }
    return true;
}

bool EndsText(std::string_view suffix, std::string_view text)
{
    const std::u32string s = ToUtf32(suffix);
    const std::u32string t = ToUtf32(text);
    if (s.size() > t.size())
        return false;
    for (size_t k = 0; k < s.size(); ++k) {
        if (LowerChar(s[k]) != LowerChar(t[t.size() - s.size() + k]))
            return false;
    }
    return true;
}

std::string Trim(std::string_view text)
{
    const char* blanks = " \t\r\n";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    const size_t last = text.find_last_not_of(blanks);
    return std::string(text.substr(first, last - first + 1));
}

std::vector<std::string> SplitString(std::string_view text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        const size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            parts.emplace_back(text.substr(start));
            break;
        }
        parts.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

std::optional<int64_t> TryStrToInt64(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    bool negative = false;
    size_t i = 0;
    if (text[0] == '-' || text[0] == '+') {
        negative = text[0] == '-';
        i = 1;
    }
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return std::nullopt;
    uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
        if (value > (uint64_t(1) << 62))
            return std::nullopt;
    }
    const auto signedValue = static_cast<int64_t>(value);
    return negative ? -signedValue : signedValue;
}

std::optional<int32_t> TryStrToInt(std::string_view text)
{
    const bool hex = text.find('$') != std::string_view::npos || text.find("0x") != std::string_view::npos ||
                     text.find("0X") != std::string_view::npos;
    const std::optional<int64_t> value = TryStrToInt64(text);
    if (!value)
        return std::nullopt;
    if (hex && *value >= 0 && *value <= 0xFFFFFFFFll)
        return static_cast<int32_t>(static_cast<uint32_t>(*value));
    if (*value < INT32_MIN || *value > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(*value);
}

int32_t StrToIntDef(std::string_view text, int32_t def)
{
    return TryStrToInt(text).value_or(def);
}

std::string IntToStr(int64_t value)
{
    return std::to_string(value);
}

std::string IntToHex(uint64_t value, int digits)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%0*llX", digits, static_cast<unsigned long long>(value));
    return buffer;
}

size_t CharCount(std::string_view text)
{
    size_t count = 0;
    for (size_t i = 0; i < text.size();) {
        NextCodePoint(text, i);
        ++count;
    }
    return count;
}

std::string EscapeControls(std::string_view text)
{
    static constexpr char Digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    auto hex = [&out](char byte) {
        const auto c = static_cast<unsigned char>(byte);
        out += "\\x";
        out += Digits[c >> 4];
        out += Digits[c & 0x0F];
    };
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                if (c < 0x20 || c == 0x7F)
                    hex(text[i]);
                else
                    out += text[i];
            }
            ++i;
            continue;
        }
        const size_t length = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        const std::string_view sequence = text.substr(i, length);
        if (length == 0 || sequence.size() < length || !IsValidUtf8(sequence)) {
            hex(text[i]);
            ++i;
            continue;
        }
        size_t at = 0;
        const char32_t cp = NextCodePoint(sequence, at);
        // The C1 controls: some terminals take U+009B as the start of an
        // escape sequence just as they take ESC [.
        if (cp <= 0x9F) {
            for (const char byte : sequence)
                hex(byte);
        } else {
            out += sequence;
        }
        i += length;
    }
    return out;
}
