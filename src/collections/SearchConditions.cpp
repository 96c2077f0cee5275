#include "collections/SearchConditions.h"

TSearchFilter::TSearchFilter(TSearchConditions conditions) : fConditions(std::move(conditions))
{
    fMask.Apply(fConditions.Limits, TMaskFlags());
    TFileMaskRec limits = fConditions.Limits;
    limits.Mask.clear();
    fLimitsOnly.Apply(limits, TMaskFlags());
}

bool TSearchFilter::MayTake(std::string_view name, bool isDirectory) const
{
    if (isDirectory ? !fConditions.TakeFolders : !fConditions.TakeFiles)
        return false;
    if (!fConditions.TakeHidden && IsHiddenName(name))
        return false;
    return fMask.Condition().Matches(name);
}

bool TSearchFilter::Accepts(std::string_view name, bool isDirectory, int64_t size, TDateTime modified) const
{
    return MayTake(name, isDirectory) && PassesLimits(isDirectory, size, modified);
}

bool TSearchFilter::PassesLimits(bool isDirectory, int64_t size, TDateTime modified) const
{
    TMaskItem item;
    item.IsDirectory = isDirectory;
    item.Size = size;
    item.Modified = modified;
    return fLimitsOnly.Accepts(item, false, nullptr);
}
