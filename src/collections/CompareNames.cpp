#include "collections/CompareNames.h"

#include <cstdint>
#include <locale.h>
#include <wctype.h>

#include "common/Text.h"

namespace {

// The classes of characters in the order names sort by them: punctuation and
// symbols before numbers, numbers before letters, then kana, then kanji.
// End sorts first so that a name sorts before its longer continuations.
enum TRank : uint8_t { rkEnd, rkSymbol, rkDigit, rkLetter, rkKana, rkKanji };

// One step through a name: a single character, or a whole run of digits.
struct TElement {
    TRank Rank = rkEnd;
    char32_t Key = 0;        // the character's sorting key (not for digit runs)
    size_t SigStart = 0;     // digit runs: byte offset of the first digit that is not a leading zero
    uint32_t SigCount = 0;   // digit runs: digits without the leading zeros
    uint32_t Total = 0;      // digit runs: all digits
};

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

// Simple case folding: upper then lower case maps every member of a case class
// (including final sigma, long s and the micro sign) onto one character.
inline char32_t Fold(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    // Kana, kanji and the CJK symbols have no case: skip the look-ups that
    // would cost most of a Japanese name's comparison.
    if ((c >= 0x3000 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF61 && c <= 0xFFEF) ||
        c >= 0x20000)
        return c;
    return LowerChar(UpperChar(c));
}

inline char32_t Decode(std::string_view s, size_t& i)
{
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
        ++i;
        return c;
    }
    return NextCodePoint(s, i);
}

inline int DigitValue(char32_t c)
{
    if (c >= '0' && c <= '9')
        return static_cast<int>(c - '0');
    if (c >= 0xFF10 && c <= 0xFF19)  // full-width digits
        return static_cast<int>(c - 0xFF10);
    return -1;
}

// The base letter of the accented Latin letters U+00E0 to U+017F (after
// folding), so that "école" sorts beside "ecole"; blank where there is none.
constexpr char LatinBase[] =
    "aaaaaaaceeeeiiii"   // U+00E0
    "dnooooo ouuuuy y"   // U+00F0 (U+00F7 is the division sign, U+00FE thorn)
    "aaaaaaccccccccdd"   // U+0100
    "ddeeeeeeeeeegggg"   // U+0110
    "gggghhhhiiiiiiii"   // U+0120
    "iiiijjkk lllllll"   // U+0130 (U+0138 kra)
    "lllnnnnnnn  oooo"   // U+0140 (U+014A, U+014B eng)
    "oo  rrrrrrssssss"   // U+0150 (U+0152, U+0153 ligature oe)
    "ssttttttuuuuuuuu"   // U+0160
    "uuuuwwyyyzzzzzzs";  // U+0170
static_assert(sizeof(LatinBase) == 0x180 - 0xE0 + 1);

// Half-width katakana U+FF66 to U+FF9D as their full-width forms.
constexpr char16_t HalfWidthKana[] = {
    0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9, 0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6,
    0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
    0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE,
    0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3};
static_assert(sizeof(HalfWidthKana) / sizeof(HalfWidthKana[0]) == 0xFF9D - 0xFF66 + 1);

inline void Classify(char32_t c, TElement& e)
{
    if (c < 0x80) {
        e.Rank = (c >= 'a' && c <= 'z') ? rkLetter : rkSymbol;
        e.Key = c;
        return;
    }
    // Full-width forms of ASCII sort as the ASCII character; the width only
    // breaks a tie.
    if (c >= 0xFF01 && c <= 0xFF5E) {
        char32_t a = c - 0xFEE0;
        if (a >= 'A' && a <= 'Z')
            a += 32;
        e.Rank = (a >= 'a' && a <= 'z') ? rkLetter : rkSymbol;
        e.Key = a;
        return;
    }
    if (c == 0x3000) {  // ideographic space
        e.Rank = rkSymbol;
        e.Key = ' ';
        return;
    }
    if (c >= 0xE0 && c < 0x180 && LatinBase[c - 0xE0] != ' ') {
        e.Rank = rkLetter;
        e.Key = static_cast<char32_t>(LatinBase[c - 0xE0]);
        return;
    }
    // Kana: katakana sort as the hiragana of the same sound, half-width
    // katakana as full-width ones.
    if (c >= 0x3041 && c <= 0x309F) {
        e.Rank = rkKana;
        e.Key = c;
        return;
    }
    if ((c >= 0x30A1 && c <= 0x30F6) || c == 0x30FD || c == 0x30FE) {
        e.Rank = rkKana;
        e.Key = c - 0x60;
        return;
    }
    if ((c >= 0x30F7 && c <= 0x30FA) || c == 0x30FC || c == 0x30FF || (c >= 0x31F0 && c <= 0x31FF)) {
        e.Rank = rkKana;
        e.Key = c;
        return;
    }
    if (c >= 0xFF61 && c <= 0xFF9F) {
        switch (c) {
        case 0xFF61: e.Rank = rkSymbol; e.Key = 0x3002; return;  // half-width full stop
        case 0xFF62: e.Rank = rkSymbol; e.Key = 0x300C; return;  // corner brackets
        case 0xFF63: e.Rank = rkSymbol; e.Key = 0x300D; return;
        case 0xFF64: e.Rank = rkSymbol; e.Key = 0x3001; return;  // comma
        case 0xFF65: e.Rank = rkSymbol; e.Key = 0x30FB; return;  // middle dot
        case 0xFF9E: e.Rank = rkKana; e.Key = 0x309B; return;    // voiced sound marks
        case 0xFF9F: e.Rank = rkKana; e.Key = 0x309C; return;
        default: break;
        }
        const char32_t full = HalfWidthKana[c - 0xFF66];
        e.Rank = rkKana;
        e.Key = full == 0x30FC ? full : full - 0x60;
        return;
    }
    if ((c >= 0x3005 && c <= 0x3007) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) ||
        (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF)) {
        e.Rank = rkKanji;
        e.Key = c;
        return;
    }
    const locale_t l = Utf8Locale();
    e.Rank = (l && ::iswalpha_l(static_cast<wint_t>(c), l)) ? rkLetter : rkSymbol;
    e.Key = c;
}

// Reads the next element at i; a run of digits becomes one element.
inline void NextElement(std::string_view s, size_t& i, TElement& e)
{
    if (i >= s.size()) {
        e.Rank = rkEnd;
        return;
    }
    const char32_t c = Fold(Decode(s, i));
    int value = DigitValue(c);
    if (value < 0) {
        Classify(c, e);
        return;
    }
    e.Rank = rkDigit;
    e.Total = 0;
    e.SigCount = 0;
    size_t at = i - (c < 0x80 ? 1 : 3);
    while (true) {
        ++e.Total;
        if (e.SigCount == 0 && value != 0)
            e.SigStart = at;
        if (e.SigCount > 0 || value != 0)
            ++e.SigCount;
        if (i >= s.size())
            break;
        at = i;
        size_t next = i;
        value = DigitValue(Decode(s, next));
        if (value < 0)
            break;
        i = next;
    }
}

// Two digit runs of equal significant length, digit by digit.
int CompareDigits(std::string_view a, const TElement& ea, std::string_view b, const TElement& eb)
{
    size_t i = ea.SigStart;
    size_t j = eb.SigStart;
    for (uint32_t k = 0; k < ea.SigCount; ++k) {
        const int da = DigitValue(Decode(a, i));
        const int db = DigitValue(Decode(b, j));
        if (da != db)
            return da < db ? -1 : 1;
    }
    return 0;
}

int ComparePrimary(std::string_view a, std::string_view b)
{
    size_t i = 0;
    size_t j = 0;
    TElement ea;
    TElement eb;
    while (true) {
        NextElement(a, i, ea);
        NextElement(b, j, eb);
        if (ea.Rank != eb.Rank)
            return ea.Rank < eb.Rank ? -1 : 1;
        if (ea.Rank == rkEnd)
            return 0;
        if (ea.Rank == rkDigit) {
            if (ea.SigCount != eb.SigCount)
                return ea.SigCount < eb.SigCount ? -1 : 1;
            if (const int d = CompareDigits(a, ea, b, eb))
                return d;
        } else if (ea.Key != eb.Key) {
            return ea.Key < eb.Key ? -1 : 1;
        }
    }
}

// Names equal so far have the same elements; fewer leading zeros come first.
int CompareRunLengths(std::string_view a, std::string_view b)
{
    size_t i = 0;
    size_t j = 0;
    TElement ea;
    TElement eb;
    while (true) {
        NextElement(a, i, ea);
        NextElement(b, j, eb);
        if (ea.Rank == rkEnd || eb.Rank == rkEnd)
            return 0;
        if (ea.Rank == rkDigit && eb.Rank == rkDigit && ea.Total != eb.Total)
            return ea.Total < eb.Total ? -1 : 1;
    }
}

// The last word: the folded characters themselves, so that only names that
// differ in case alone compare equal.
int CompareFolded(std::string_view a, std::string_view b)
{
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const char32_t ca = Fold(Decode(a, i));
        const char32_t cb = Fold(Decode(b, j));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

}  // namespace

int CompareNames(std::string_view a, std::string_view b)
{
    if (const int r = ComparePrimary(a, b))
        return r;
    if (const int r = CompareRunLengths(a, b))
        return r;
    return CompareFolded(a, b);
}

namespace {

void PutBigEndian(std::string& out, uint32_t value, int bytes)
{
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

}  // namespace

std::string NameSortKey(std::string_view name)
{
    // Three parts, each deciding only where the ones before tie, as the
    // comparison's three passes do. Elements are written in fixed widths, so
    // that two keys equal up to a point stand at the same element there.
    std::string key;
    key.reserve(name.size() * 8 + 8);
    std::string runLengths;
    size_t i = 0;
    TElement e;
    while (true) {
        NextElement(name, i, e);
        key += static_cast<char>(e.Rank);
        if (e.Rank == rkEnd)
            break;
        if (e.Rank == rkDigit) {
            // Fewer significant digits is a smaller number; equal counts
            // compare digit by digit.
            PutBigEndian(key, e.SigCount, 4);
            size_t at = e.SigStart;
            for (uint32_t k = 0; k < e.SigCount; ++k)
                key += static_cast<char>(DigitValue(Decode(name, at)));
            PutBigEndian(runLengths, e.Total, 4);
        } else {
            PutBigEndian(key, e.Key, 3);
        }
    }
    key += runLengths;
    for (size_t j = 0; j < name.size();)
        PutBigEndian(key, Fold(Decode(name, j)), 3);
    return key;
}
