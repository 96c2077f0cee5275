#include "imaging/FilterSets.h"

#include <algorithm>

#include "common/IniFile.h"
#include "common/Text.h"

const TFilterList* TFilterSets::SelectedItems() const
{
    if (Selected < 0 || Selected >= static_cast<int>(Sets.size()))
        return nullptr;
    return &Sets[static_cast<size_t>(Selected)].Items;
}

namespace {

std::string Flag(bool value)
{
    return value ? "-1" : "0";
}

std::string Join(std::initializer_list<int64_t> values)
{
    std::string text;
    for (int64_t v : values) {
        if (!text.empty())
            text += ',';
        text += IntToStr(v);
    }
    return text;
}

// The fields after the kind number, each trimmed, read on demand.
class TFields {
public:
    explicit TFields(std::vector<std::string> fields) : fFields(std::move(fields)) {}
    size_t Count() const { return fFields.size(); }
    std::optional<int32_t> Number(size_t i) const
    {
        if (i >= fFields.size())
            return std::nullopt;
        return TryStrToInt(fFields[i]);
    }
    // A value within min..max, the default outside it; nothing when the field
    // is missing or no number.
    std::optional<int32_t> Ranged(size_t i, int32_t min, int32_t max, int32_t def) const
    {
        const std::optional<int32_t> v = Number(i);
        if (!v)
            return std::nullopt;
        return *v >= min && *v <= max ? *v : def;
    }
    // Any integer other than 0 is true; "True" and "False" are accepted too.
    std::optional<bool> Flag(size_t i) const
    {
        if (i >= fFields.size())
            return std::nullopt;
        if (SameText(fFields[i], "true"))
            return true;
        if (SameText(fFields[i], "false"))
            return false;
        const std::optional<int32_t> v = TryStrToInt(fFields[i]);
        if (!v)
            return std::nullopt;
        return *v != 0;
    }

private:
    std::vector<std::string> fFields;
};

std::optional<TFilterParameter> ParseParameter(FilterKind kind, const TFields& f)
{
    switch (kind) {
    case FilterKind::Grayscale: {
        const auto base = f.Ranged(0, 0, 3, 0);
        if (!base)
            return std::nullopt;
        return TFilterParameter{*base};
    }
    case FilterKind::Levels: {
        const auto inBlack = f.Ranged(0, 0, 254, 0);
        if (!inBlack)
            return std::nullopt;
        const auto inWhite = f.Ranged(1, *inBlack + 1, 255, 255);
        const auto outBlack = f.Ranged(2, 0, 254, 0);
        if (!inWhite || !outBlack)
            return std::nullopt;
        const auto outWhite = f.Ranged(3, *outBlack + 1, 255, 255);
        const auto flag = f.Flag(4);
        if (!outWhite || !flag)
            return std::nullopt;
        return TFilterParameter{TLevelsParameter{static_cast<uint8_t>(*inBlack), static_cast<uint8_t>(*inWhite),
                                                 static_cast<uint8_t>(*outBlack), static_cast<uint8_t>(*outWhite),
                                                 *flag}};
    }
    case FilterKind::Gamma:
    case FilterKind::Contrast:
    case FilterKind::Brightness: {
        const auto value = kind == FilterKind::Gamma ? f.Ranged(0, 20, 180, 100) : f.Ranged(0, 0, 200, 100);
        const auto flag = f.Flag(1);
        if (!value || !flag)
            return std::nullopt;
        return TFilterParameter{TCorrectionParameter{*value, *flag}};
    }
    case FilterKind::Equalize: {
        const auto flag = f.Ranged(0, 0, 1, 1);
        if (!flag)
            return std::nullopt;
        return TFilterParameter{*flag};
    }
    case FilterKind::Posterize: {
        const auto levels = f.Ranged(0, 2, 255, 4);
        if (!levels)
            return std::nullopt;
        return TFilterParameter{*levels};
    }
    case FilterKind::Invert:
        return TFilterParameter{std::monostate{}};
    case FilterKind::ToneCurve: {
        const auto count = f.Ranged(0, 2, 255, 2);
        if (!count || f.Count() < 1 + 2 * static_cast<size_t>(*count) + 1)
            return std::nullopt;
        TToneCurveInfo curve;
        curve.Points.clear();
        for (int32_t i = 0; i < *count; ++i) {
            // An x outside 0..255 cannot be given a default: two points would
            // share it and the curve would divide by zero. Such curves are
            // dropped, as are curves whose x values do not increase.
            const auto x = f.Number(1 + 2 * static_cast<size_t>(i));
            const auto y = f.Ranged(2 + 2 * static_cast<size_t>(i), 0, 255, 0);
            if (!x || !y || *x < 0 || *x > 255)
                return std::nullopt;
            curve.Points.push_back({static_cast<uint16_t>(*x), static_cast<uint16_t>(*y)});
        }
        const auto flag = f.Flag(f.Count() - 1);
        if (!flag || !curve.Valid())
            return std::nullopt;
        curve.PerChannel = *flag;
        return TFilterParameter{std::move(curve)};
    }
    case FilterKind::Sharpen: {
        const auto strength = f.Ranged(0, 1, 300, 100);
        if (!strength)
            return std::nullopt;
        return TFilterParameter{*strength};
    }
    case FilterKind::UnsharpMask: {
        const auto amount = f.Ranged(0, 1, 300, 100);
        const auto radius = f.Ranged(1, 1, 5, 2);
        const auto threshold = f.Ranged(2, 0, 200, 0);
        if (!amount || !radius || !threshold)
            return std::nullopt;
        return TFilterParameter{
            TUnsharpMaskParameter{*amount, static_cast<uint8_t>(*radius), static_cast<uint8_t>(*threshold)}};
    }
    case FilterKind::Blur: {
        const auto radius = f.Ranged(0, 1, 5, 1);
        if (!radius)
            return std::nullopt;
        return TFilterParameter{*radius};
    }
    case FilterKind::Trim:
    case FilterKind::AddMargin: {
        int32_t sides[4];
        for (size_t i = 0; i < 4; ++i) {
            const auto v = f.Ranged(i, 0, 200, 0);
            if (!v)
                return std::nullopt;
            sides[i] = *v;
        }
        if (kind == FilterKind::Trim)
            return TFilterParameter{TTrimParameter{sides[0], sides[1], sides[2], sides[3]}};
        const auto colour = f.Number(4);
        if (!colour)
            return std::nullopt;
        return TFilterParameter{
            TMarginParameter{sides[0], sides[1], sides[2], sides[3], static_cast<TColor>(*colour)}};
    }
    }
    return std::nullopt;
}

std::string NameKey(size_t n)
{
    return "Name" + IntToStr(static_cast<int64_t>(n));
}

std::string CountKey(size_t n)
{
    return "Count" + IntToStr(static_cast<int64_t>(n));
}

std::string ItemKey(size_t n, size_t m)
{
    return "Item" + IntToStr(static_cast<int64_t>(n)) + "-" + IntToStr(static_cast<int64_t>(m));
}

}  // namespace

std::string FormatFilterItem(const TFilterItem& item)
{
    std::string text = IntToStr(static_cast<int>(item.Kind)) + ",";
    switch (item.Kind) {
    case FilterKind::Grayscale:
    case FilterKind::Equalize:
    case FilterKind::Posterize:
    case FilterKind::Sharpen:
    case FilterKind::Blur:
        return text + IntToStr(item.Value());
    case FilterKind::Levels: {
        const TLevelsParameter l = item.Levels();
        return text + Join({l.InBlack, l.InWhite, l.OutBlack, l.OutWhite}) + "," + Flag(l.PerChannel);
    }
    case FilterKind::Gamma:
    case FilterKind::Contrast:
    case FilterKind::Brightness: {
        const TCorrectionParameter c = item.Correction();
        return text + IntToStr(c.Value) + "," + Flag(c.PerChannel);
    }
    case FilterKind::Invert:
        return text;
    case FilterKind::ToneCurve: {
        const TToneCurveInfo curve = item.ToneCurve();
        text += IntToStr(static_cast<int64_t>(curve.Points.size()));
        for (const TToneCurvePoint& p : curve.Points)
            text += "," + IntToStr(p.X) + "," + IntToStr(p.Y);
        return text + "," + Flag(curve.PerChannel);
    }
    case FilterKind::UnsharpMask: {
        const TUnsharpMaskParameter u = item.UnsharpMask();
        return text + Join({u.Amount, u.Radius, u.Threshold});
    }
    case FilterKind::Trim: {
        const TTrimParameter t = item.Trim();
        return text + Join({t.Left, t.Top, t.Right, t.Bottom});
    }
    case FilterKind::AddMargin: {
        const TMarginParameter m = item.Margin();
        return text + Join({m.Left, m.Top, m.Right, m.Bottom}) + "," + TIniFile::FormatColor(m.Color);
    }
    }
    return text;
}

std::optional<TFilterItem> ParseFilterItem(std::string_view text)
{
    std::vector<std::string> fields = SplitString(text, ',');
    for (std::string& field : fields)
        field = Trim(field);
    if (fields.empty())
        return std::nullopt;
    const std::optional<int32_t> kind = TryStrToInt(fields[0]);
    if (!kind || *kind < 0 || *kind >= FilterKindCount)
        return std::nullopt;
    fields.erase(fields.begin());
    // "7," leaves one empty field behind the kind; an item without
    // parameters has nothing to read from it.
    if (fields.size() == 1 && fields[0].empty())
        fields.clear();
    const FilterKind k = static_cast<FilterKind>(*kind);
    std::optional<TFilterParameter> parameter = ParseParameter(k, TFields(std::move(fields)));
    if (!parameter)
        return std::nullopt;
    return TFilterItem{k, std::move(*parameter)};
}

void WriteFilterSets(TIniFile& ini, const TFilterSets& sets)
{
    ini.EraseSection(FilterSection);
    const int selected =
        sets.Selected >= 0 && sets.Selected < static_cast<int>(sets.Sets.size()) ? sets.Selected : -1;
    ini.WriteInteger(FilterSection, "Select", selected);
    for (size_t n = 0; n < sets.Sets.size(); ++n) {
        const TFilterSet& set = sets.Sets[n];
        ini.WriteString(FilterSection, NameKey(n + 1), set.Name);
        ini.WriteInteger(FilterSection, CountKey(n + 1), static_cast<int32_t>(set.Items.size()));
        for (size_t m = 0; m < set.Items.size(); ++m)
            ini.WriteString(FilterSection, ItemKey(n + 1, m + 1), FormatFilterItem(set.Items[m]));
    }
}

TFilterSets ReadFilterSets(const TIniFile& ini)
{
    TFilterSets sets;
    // Every item needs a key of its own, so no count beyond the section's key
    // count can give more items; a damaged count of billions reads nothing more.
    const int32_t keys = static_cast<int32_t>(ini.ReadSection(FilterSection).size());
    for (size_t n = 1;; ++n) {
        const std::optional<std::string> name = ini.Find(FilterSection, NameKey(n));
        if (!name)
            break;
        TFilterSet set;
        set.Name = *name;
        const int32_t count = std::clamp(ini.ReadInteger(FilterSection, CountKey(n), 0), 0, keys);
        for (int32_t m = 1; m <= count; ++m) {
            const std::optional<std::string> text = ini.Find(FilterSection, ItemKey(n, static_cast<size_t>(m)));
            if (!text)
                continue;
            if (std::optional<TFilterItem> item = ParseFilterItem(*text))
                set.Items.push_back(std::move(*item));
        }
        sets.Sets.push_back(std::move(set));
    }
    const int32_t selected = ini.ReadInteger(FilterSection, "Select", -1);
    sets.Selected = selected >= -1 && selected < static_cast<int32_t>(sets.Sets.size()) ? selected : -1;
    return sets;
}
