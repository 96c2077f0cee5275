#pragma once

// The texts that tell the reader what is shown: the window caption (file
// name, size as loaded, depth and display ratio of each page, in the order
// the pages appear on screen) and the page label of the image bar ("3・4 / 20"
// for a spread, "3 / 20" for one page).

#include <string>

#include "common/Bitmap.h"

// "1bit", "4bit", "8bit", "16bit" (15- and 16-bit), "24bit", "32bit" or "??".
std::string DepthText(PixelFormat format);

// "   name (w x h x depth) [r%]": the name without its folder; the ratio in
// whole percent, with two decimals at 1 % and below, and "[0%]" for a ratio
// of 0.
std::string PageCaptionText(const std::string& path, int loadedWidth, int loadedHeight, PixelFormat format,
                            double ratio);

// The caption text of the shown pages, trimmed. partnerText is empty when
// there is no partner or no spread. The pages are joined in screen order by
// "   >>" (left binding) or "   <<" (right binding).
std::string CaptionText(const std::string& primaryText, const std::string& partnerText, bool spread, bool bindRight,
                        bool travelBackward);

// The window caption: the title, and " - " + text when there is text.
std::string WindowCaption(const std::string& title, const std::string& text);

// The page label. For a spread the two 1-based page numbers in screen order
// (left page first); otherwise primary + 1. count is the number of pictures.
std::string PageLabel(int primaryIndex, int partnerIndex, bool spread, bool bindRight, bool travelBackward,
                      int count);

// True when the partner is the page drawn on the left of a spread.
inline bool PartnerOnLeft(bool bindRight, bool travelBackward)
{
    return bindRight != travelBackward;
}
