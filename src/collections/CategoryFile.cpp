#include "collections/CategoryFile.h"

#include <bit>
#include <cstring>

#include "base/PathUtils.h"
#include "common/BfStream.h"

namespace {

// The smallest category: three texts, the icon number, four flag bytes, one
// text and two flag bytes, and the four counts (the root condition comes
// after them and is checked on its own).
constexpr int64_t MinCategoryRecord = 4 * 3 + 4 + 4 + 4 + 2 + 4 * 3;
constexpr int64_t MinTargetRecord = 1 + 4 + 1;
constexpr int64_t MinRuleRecord = 4 + 1 + 4 + 4 + 2;
constexpr int64_t MinConditionRecord = 4 + 4 + 1 + 8 + 3 + 8 + 24 + 1 + 4;




void WriteTexts(TStream& stream, const std::vector<std::string>& texts)
{
    WriteInt32(stream, static_cast<int32_t>(texts.size()));
    for (const std::string& text : texts)
        WriteString(text, stream);
}

void WriteCondition(TStream& stream, const TCustomCategorySet& set)
{
    const TFileMaskRec& l = set.Limits;
    WriteString(set.Name, stream);
    WriteString(l.Mask, stream);
    WriteByte(stream, l.UseSize);
    WriteInt64(stream, l.Size);
    WriteByte(stream, l.AtLeast);
    WriteByte(stream, l.UseDate);
    WriteByte(stream, static_cast<uint8_t>(l.DateSetType));
    WriteInt32(stream, l.Months);
    WriteInt32(stream, l.Days);
    WriteDouble(stream, l.Threshold);
    WriteDouble(stream, l.DateFrom);
    WriteDouble(stream, l.DateTo);
    WriteByte(stream, static_cast<uint8_t>(l.DateKind));
    WriteInt32(stream, static_cast<int32_t>(set.Children.size()));
    for (const TCustomCategorySet& child : set.Children)
        WriteCondition(stream, child);
}

uint8_t ReadByte(TListReader& reader, const char* field)
{
    uint8_t value = 0;
    reader.ReadBytes(&value, 1, field);
    return value;
}

bool ReadBool(TListReader& reader, const char* field)
{
    return ReadByte(reader, field) != 0;
}

std::vector<std::string> ReadTexts(TListReader& reader, const char* field)
{
    const int32_t count = reader.ReadCount(4, field);
    std::vector<std::string> texts;
    texts.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        texts.push_back(reader.ReadText(field));
    return texts;
}

// Values outside their range read as the first one, as the dialogs would
// show them.
template <typename TEnum>
TEnum ReadEnum(TListReader& reader, uint8_t count, const char* field)
{
    const uint8_t value = ReadByte(reader, field);
    return static_cast<TEnum>(value < count ? value : 0);
}

int32_t ReadCountValue(TListReader& reader, const char* field)
{
    const int32_t value = reader.ReadInt32(field);
    return value >= 1 && value <= 100 ? value : 1;
}

TCustomCategorySet ReadCondition(TListReader& reader, int depth)
{
    if (depth > CategoryMaxDepth)
        reader.Fail("condition depth");
    reader.Need(MinConditionRecord, "condition");
    TCustomCategorySet set;
    TFileMaskRec& l = set.Limits;
    set.Name = reader.ReadText("condition name");
    l.Mask = reader.ReadText("condition mask");
    l.UseSize = ReadBool(reader, "use size");
    l.Size = reader.ReadInt64("size");
    l.AtLeast = ReadBool(reader, "size kind");
    l.UseDate = ReadBool(reader, "use date");
    l.DateSetType = ReadEnum<TDateSetType>(reader, 3, "date set type");
    l.Months = ReadCountValue(reader, "months");
    l.Days = ReadCountValue(reader, "days");
    l.Threshold = reader.ReadDate("threshold");
    l.DateFrom = reader.ReadDate("date from");
    l.DateTo = reader.ReadDate("date to");
    l.DateKind = ReadEnum<TDateKind>(reader, 3, "date kind");
    const int32_t children = reader.ReadCount(MinConditionRecord, "child count");
    set.Children.reserve(static_cast<size_t>(children));
    for (int32_t i = 0; i < children; ++i)
        set.Children.push_back(ReadCondition(reader, depth + 1));
    return set;
}

// One category's record into a scratch value, so that a category cut short
// is not added half read.
struct TCategoryRecord {
    std::string Name;
    int32_t Image = 0;
    std::string Comment;
    TCategorySettings Settings;
    TSearchConditions Conditions;
    std::vector<TSearchTargetSpec> Targets;
    bool ShowSubContents = false;
};

TCategoryRecord ReadCategory(TListReader& reader)
{
    reader.Need(MinCategoryRecord, "category");
    TCategoryRecord record;
    record.Name = reader.ReadText("category name");
    record.Image = reader.ReadInt32("icon number");
    record.Comment = reader.ReadText("comment");
    TCategorySettings& s = record.Settings;
    s.Kind = ReadEnum<TCategoryKind>(reader, 3, "category kind");
    s.DateUnits = ReadByte(reader, "date units") & (duYear | duMonth | duDay);
    s.Exclusive = ReadBool(reader, "exclusive");
    record.ShowSubContents = ReadBool(reader, "show sub-contents");
    record.Conditions.Limits.Mask = reader.ReadText("name condition");
    record.Conditions.TakeHidden = ReadBool(reader, "take hidden");
    record.Conditions.Subfolders = ReadBool(reader, "sub-folders");

    const int32_t targets = reader.ReadCount(MinTargetRecord, "target count");
    for (int32_t i = 0; i < targets; ++i) {
        TSearchTargetSpec target;
        target.Kind = ReadEnum<TSearchTargetKind>(reader, 3, "target kind");
        target.Name = reader.ReadText("target name");
        target.Enabled = ReadBool(reader, "target checked");
        record.Targets.push_back(std::move(target));
    }

    const int32_t rules = reader.ReadCount(MinRuleRecord, "rule count");
    for (int32_t i = 0; i < rules; ++i) {
        TNameDivideInfo rule;
        rule.Index = i;
        rule.Name = reader.ReadText("rule name");
        rule.Kind = static_cast<TDivideKind>(ReadEnum<uint8_t>(reader, 3, "rule kind"));
        rule.FirstDelimiters = ReadTexts(reader, "first delimiters");
        rule.SecondDelimiters = ReadTexts(reader, "second delimiters");
        rule.FromEnd = ReadBool(reader, "from end");
        rule.RemoveDelimiters = ReadBool(reader, "remove delimiters");
        s.NameParts.push_back(std::move(rule));
    }

    const int32_t order = reader.ReadCount(4, "part order count");
    for (int32_t i = 0; i < order; ++i) {
        const int32_t index = reader.ReadInt32("part order");
        if (index < 0 || index >= rules)
            reader.Fail("part order");
        s.PartOrder.push_back(index);
    }
    s.RootCondition = ReadCondition(reader, 0);
    s.RootCondition.Name = TCustomCategorySet::RootName;
    return record;
}

}  // namespace

void WriteCategoryList(const TCategoryList& list, TStream& stream)
{
    WriteString(CategorySignature, stream);
    WriteInt32(stream, CategoryVersion);
    WriteInt32(stream, list.Count());
    for (int i = 0; i < list.Count(); ++i) {
        const TCategoryFolder& category = *list.Category(i);
        const TCategorySettings& s = category.Settings();
        WriteString(category.Name(), stream);
        WriteInt32(stream, category.ImageIndex());
        WriteString(category.Comment(), stream);
        WriteByte(stream, static_cast<uint8_t>(s.Kind));
        WriteByte(stream, s.DateUnits);
        WriteByte(stream, s.Exclusive);
        WriteByte(stream, category.ShowSubContents);
        WriteString(category.Conditions().Limits.Mask, stream);
        WriteByte(stream, category.Conditions().TakeHidden);
        WriteByte(stream, category.Conditions().Subfolders);
        WriteInt32(stream, static_cast<int32_t>(category.Targets().size()));
        for (const TSearchTargetSpec& target : category.Targets()) {
            WriteByte(stream, static_cast<uint8_t>(target.Kind));
            WriteString(target.Name, stream);
            WriteByte(stream, target.Enabled);
        }
        WriteInt32(stream, static_cast<int32_t>(s.NameParts.size()));
        for (const TNameDivideInfo& rule : s.NameParts) {
            WriteString(rule.Name, stream);
            WriteByte(stream, static_cast<uint8_t>(rule.Kind));
            WriteTexts(stream, rule.FirstDelimiters);
            WriteTexts(stream, rule.SecondDelimiters);
            WriteByte(stream, rule.FromEnd);
            WriteByte(stream, rule.RemoveDelimiters);
        }
        WriteInt32(stream, static_cast<int32_t>(s.PartOrder.size()));
        for (int32_t index : s.PartOrder)
            WriteInt32(stream, index);
        WriteCondition(stream, s.RootCondition);
    }
}

TListReadOutcome ReadCategoryList(TStream& stream, TCategoryList& list)
{
    TListReadOutcome outcome;
    TListReader reader(stream);
    try {
        if (reader.ReadText("signature") != CategorySignature)
            reader.Fail("signature");
        const int32_t version = reader.ReadInt32("version");
        if (version < 1 || version > CategoryVersion)
            reader.Fail("version");
        const int32_t count = reader.ReadCount(MinCategoryRecord, "category count");
        for (int32_t i = 0; i < count; ++i) {
            TCategoryRecord record = ReadCategory(reader);
            TCategoryFolder* category = list.Category(list.Add(record.Name, record.Image, record.Comment));
            TSearchConditions conditions = category->Conditions();
            conditions.Limits.Mask = record.Conditions.Limits.Mask;
            conditions.TakeHidden = record.Conditions.TakeHidden;
            conditions.Subfolders = record.Conditions.Subfolders;
            category->SetConditions(std::move(conditions));
            category->SetTargets(std::move(record.Targets));
            category->SetSettings(std::move(record.Settings));
            category->ShowSubContents = record.ShowSubContents;
        }
    } catch (const EFileError&) {
        throw;
    } catch (const EMirevaError& e) {
        outcome.Complete = false;
        outcome.Error = e.what();
    }
    return outcome;
}

TCategoryStore::TCategoryStore(const std::string& dataFolder)
    : fFile(IncludeTrailingPathDelimiter(dataFolder) + CategoryFileName,
            IncludeTrailingPathDelimiter(dataFolder) + CategoryBackupName)
{
}

TListLoadResult TCategoryStore::Load(TCategoryList& list)
{
    return fFile.Load(
        [](TStream& stream) {
            TCategoryList scratch;
            return ReadCategoryList(stream, scratch);
        },
        [&](TStream& stream) { return ReadCategoryList(stream, list); });
}

void TCategoryStore::Save(const TCategoryList& list)
{
    if (list.Count() == 0)
        fFile.Remove();
    else
        fFile.Save([&](TStream& stream) { WriteCategoryList(list, stream); });
}
