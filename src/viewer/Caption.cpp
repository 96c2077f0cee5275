#include "viewer/Caption.h"

#include <cmath>
#include <cstdio>

#include "base/PathUtils.h"
#include "common/Text.h"
#include "base/Texts.h"

std::string DepthText(PixelFormat format)
{
    switch (format) {
    case PixelFormat::Bits1:
        return "1bit";
    case PixelFormat::Bits4:
        return "4bit";
    case PixelFormat::Bits8:
        return "8bit";
    case PixelFormat::Bits15:
    case PixelFormat::Bits16:
        return "16bit";
    case PixelFormat::Bits24:
        return "24bit";
    case PixelFormat::Bits32:
        return "32bit";
    case PixelFormat::Device:
    case PixelFormat::Custom:
        break;
    }
    return "\?\?";
}

std::string PageCaptionText(const std::string& path, int loadedWidth, int loadedHeight, PixelFormat format,
                            double ratio)
{
    const double percent = ratio * 100.0;
    std::string ratioText;
    if (ratio > 0.01) {
        // Halves round away from zero, as the caption always showed them.
        ratioText = std::to_string(static_cast<long long>(std::round(percent)));
    } else if (ratio > 0.0) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.2f", std::round(percent * 100.0) / 100.0);
        ratioText = buffer;
    } else {
        ratioText = "0";
    }
    return "   " + ExtractFileName(path) + " (" + std::to_string(loadedWidth) + " x " + std::to_string(loadedHeight) +
           " x " + DepthText(format) + ") [" + ratioText + "%]";
}

std::string CaptionText(const std::string& primaryText, const std::string& partnerText, bool spread, bool bindRight,
                        bool travelBackward)
{
    if (!spread || partnerText.empty())
        return Trim(primaryText);
    const std::string separator = bindRight ? "   <<" : "   >>";
    if (PartnerOnLeft(bindRight, travelBackward))
        return Trim(partnerText + separator + primaryText);
    return Trim(primaryText + separator + partnerText);
}

std::string WindowCaption(const std::string& title, const std::string& text)
{
    return text.empty() ? title : title + " - " + text;
}

std::string PageLabel(int primaryIndex, int partnerIndex, bool spread, bool bindRight, bool travelBackward,
                      int count)
{
    if (spread && partnerIndex >= 0) {
        const bool partnerLeft = PartnerOnLeft(bindRight, travelBackward);
        const int left = partnerLeft ? partnerIndex : primaryIndex;
        const int right = partnerLeft ? primaryIndex : partnerIndex;
        return std::to_string(left + 1) + Tx("・") + std::to_string(right + 1) + " / " + std::to_string(count);
    }
    return std::to_string(primaryIndex + 1) + " / " + std::to_string(count);
}
