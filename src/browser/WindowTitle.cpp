#include "browser/WindowTitle.h"

#include "viewer/Caption.h"

std::string WindowTitle(const std::string& title, const std::string& location, const std::string& mask,
                        TListKind kind)
{
    std::string text = WindowCaption(title, location);
    if (!mask.empty() && !IsCollectionList(kind))
        text += " [" + mask + "]";
    return text;
}
