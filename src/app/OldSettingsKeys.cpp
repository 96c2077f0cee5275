#include "app/OldSettingsKeys.h"

#include <algorithm>
#include <string_view>

#include "common/IniFile.h"
#include "common/Text.h"

namespace {

class TConverter {
public:
    explicit TConverter(TIniFile& ini) : fIni(ini) {}

    bool Changed() const { return fChanged; }
    bool Has(std::string_view section, std::string_view key) const { return fIni.ValueExists(section, key); }

    void Delete(std::string_view section, std::string_view key)
    {
        if (Has(section, key)) {
            fIni.DeleteKey(section, key);
            fChanged = true;
        }
    }

    // Moves an integer to a new key; a value that is no number moves as the
    // new key's default.
    void MoveInteger(std::string_view fromSection, std::string_view fromKey, std::string_view toSection,
                     std::string_view toKey, int32_t def)
    {
        if (!Has(fromSection, fromKey))
            return;
        fIni.WriteInteger(toSection, toKey, fIni.ReadInteger(fromSection, fromKey, def));
        Delete(fromSection, fromKey);
    }

    void MoveBool(std::string_view fromSection, std::string_view fromKey, std::string_view toSection,
                  std::string_view toKey, bool def)
    {
        if (!Has(fromSection, fromKey))
            return;
        fIni.WriteBool(toSection, toKey, fIni.ReadBool(fromSection, fromKey, def));
        Delete(fromSection, fromKey);
    }

    TIniFile& Ini() { return fIni; }
    void MarkChanged() { fChanged = true; }

private:
    TIniFile& fIni;
    bool fChanged = false;
};

constexpr std::string_view Scroll = "SCROLL";

void ConvertScroll(TConverter& c)
{
    TIniFile& ini = c.Ini();
    // Which generation wrote the file decides between the conversions below,
    // so look before anything is deleted.
    const bool hasPageWindowSize = c.Has(Scroll, "PageWindowSize");
    const bool hasSpreadV = c.Has(Scroll, "PageScrollMoveSpreadV");
    const bool hasCommandV = c.Has(Scroll, "PageScrollMoveCommandV");

    c.MoveBool(Scroll, "PageWindowSize", Scroll, "PageScrollByRatio", true);

    if (c.Has(Scroll, "PageScrollKind")) {
        if (!hasPageWindowSize) {
            switch (ini.ReadInteger(Scroll, "PageScrollKind", 0)) {
            case 1:
                ini.WriteBool(Scroll, "PageScrollByRatio", true);
                ini.WriteInteger(Scroll, "PageScrollRatio", 50);
                break;
            case 2:
                ini.WriteBool(Scroll, "PageScrollByRatio", false);
                break;
            default:
                break;
            }
        }
        // Deleted in either case: left behind beside PageWindowSize it would
        // be converted on the next start and undo the user's page scroll.
        c.Delete(Scroll, "PageScrollKind");
    }

    c.MoveInteger(Scroll, "PageQuantity", Scroll, "PageScrollQuantity", 300);
    c.MoveInteger(Scroll, "LineQuantity", Scroll, "LineScrollQuantity", 10);
    c.MoveBool(Scroll, "PageMove", Scroll, "PageScrollMove", true);
    c.MoveBool(Scroll, "LineMove", Scroll, "LineScrollMove", false);
    c.MoveInteger(Scroll, "Overlap", Scroll, "PageScrollOverLap", 50);

    if (c.Has(Scroll, "Opposite")) {
        if (ini.ReadInteger(Scroll, "Opposite", 1) == 0)
            ini.WriteBool(Scroll, "PageScrollOpposite", false);
        c.Delete(Scroll, "Opposite");
    }

    // One generation kept the spread moves apart: a spread move of 0 meant
    // "one file on", which is today's move command 1.
    if (c.Has(Scroll, "PageScrollMoveSpreadV") && ini.ReadInteger(Scroll, "PageScrollMoveSpreadV", 1) == 0)
        ini.WriteInteger(Scroll, "PageScrollMoveCommand", 1);
    if (c.Has(Scroll, "LineScrollMoveSpreadV") && ini.ReadInteger(Scroll, "LineScrollMoveSpreadV", 1) == 0)
        ini.WriteInteger(Scroll, "LineScrollMoveCommand", 1);
    for (std::string_view key :
         {"PageScrollMoveSpreadV", "PageScrollMoveSpreadH", "LineScrollMoveSpreadV", "LineScrollMoveSpreadH"})
        c.Delete(Scroll, key);

    // Another generation kept the move keys with a trailing V.
    struct TVKey {
        std::string_view Old;
        std::string_view New;
        int32_t Default;
        bool IsBool;
    };
    static constexpr TVKey VKeys[] = {
        {"PageScrollMoveV", "PageScrollMove", 1, true},
        {"PageScrollMoveCommandV", "PageScrollMoveCommand", 0, false},
        {"PageScrollOppositeV", "PageScrollOpposite", 1, true},
        {"PageScrollOverLapV", "PageScrollOverLap", 50, false},
        {"LineScrollMoveV", "LineScrollMove", 0, true},
        {"LineScrollMoveCommandV", "LineScrollMoveCommand", 0, false},
        {"LineScrollOppositeV", "LineScrollOpposite", 0, true},
        {"LineScrollOverLapV", "LineScrollOverLap", 0, false},
    };
    if (hasCommandV && !hasSpreadV) {
        for (const TVKey& k : VKeys) {
            if (k.IsBool)
                ini.WriteBool(Scroll, k.New, ini.ReadBool(Scroll, k.Old, k.Default != 0));
            else
                ini.WriteInteger(Scroll, k.New, ini.ReadInteger(Scroll, k.Old, k.Default));
        }
        c.MarkChanged();
    }
    // Deleted in either case, for the same reason as PageScrollKind.
    for (const TVKey& k : VKeys)
        c.Delete(Scroll, k.Old);
}

void ConvertMove(TConverter& c)
{
    if (!c.Has("PICTURE", "MoveCount"))
        return;
    TIniFile& ini = c.Ini();
    ini.WriteBool("MOVE", "MoveByRatio", ini.ReadBool("PICTURE", "MoveByRatio", true));
    ini.WriteInteger("MOVE", "MoveRatio", ini.ReadRanged("PICTURE", "MoveRatio", 10, 1, 100, 10));
    ini.WriteInteger("MOVE", "MoveCount", ini.ReadRanged("PICTURE", "MoveCount", 10, 1, 100, 10));
    ini.WriteInteger("MOVE", "LastFileMove", ini.ReadRanged("PICTURE", "LastFileMove", 0, 0, 4, 0));
    ini.WriteBool("MOVE", "LastToSubFolder", ini.ReadBool("PICTURE", "LastToSubFolder", true));
    for (std::string_view key : {"MoveByRatio", "MoveRatio", "MoveCount", "LastFileMove", "LastToSubFolder", "Cache"})
        c.Delete("PICTURE", key);
}

bool IsNumberedKey(std::string_view key)
{
    return !key.empty() && std::all_of(key.begin(), key.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

}  // namespace

bool ConvertOldOptionKeys(TIniFile& ini)
{
    TConverter c(ini);
    c.MoveInteger("COMMAND", "ScalingRatio", "PICTURE", "ScalingRatio", 25);
    ConvertScroll(c);
    c.MoveBool("LOUPE", "DisableShowBar", "FULLSCREEN", "DisableShowBar", false);
    if (c.Has("LOUPE", "Ratio")) {
        // Older versions counted the magnification from x 1.75; an unreadable
        // ratio becomes the default magnification x 2.
        ini.WriteInteger("LOUPE", "Scale", ini.ReadInteger("LOUPE", "Ratio", 1) + 3);
        c.Delete("LOUPE", "Ratio");
    }
    ConvertMove(c);
    if (c.Has("THUMBNAIL", "Size")) {
        const int32_t size = ini.ReadInteger("THUMBNAIL", "Size", 80);
        ini.WriteInteger("THUMBNAIL", "Height", size);
        ini.WriteInteger("THUMBNAIL", "Width", size);
        c.Delete("THUMBNAIL", "Size");
    }
    return c.Changed();
}

std::vector<std::string> TakeOldRecentEntries(TIniFile& ini)
{
    std::vector<std::string> entries;
    std::vector<std::string> keys;
    for (const auto& [key, value] : ini.ReadSectionValues("RECENT")) {
        if (IsNumberedKey(key)) {
            entries.push_back(value);
            keys.push_back(key);
        }
    }
    for (const std::string& key : keys)
        ini.DeleteKey("RECENT", key);
    if (ini.SectionExists("RECENT") && ini.ReadSection("RECENT").empty() && !keys.empty())
        ini.EraseSection("RECENT");
    return entries;
}
