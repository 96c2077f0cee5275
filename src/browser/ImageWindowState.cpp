#include "browser/ImageWindowState.h"

#include <string_view>

#include "common/IniFile.h"

namespace {

constexpr std::string_view Section = "IMAGEWINDOW";
// What older versions read for a key that is not there.
constexpr int32_t Absent = 32767;

}  // namespace

TImageWindowState ReadImageWindowSection(const TIniFile& ini)
{
    TImageWindowState state;
    state.Bounds = ReadWindowBounds(ini, Section, Absent);
    state.Max = ini.ReadBool(Section, "Max", false);
    return state;
}

void WriteImageWindowSection(TIniFile& ini, const TImageWindowState& state)
{
    WriteWindowBounds(ini, Section, state.Bounds);
    ini.WriteBool(Section, "Max", state.Max);
}

TWindowRect ImageWindowBounds(const TImageWindowState& state, const TScreenInfo& screens,
                              const TWindowRect& browserWorkArea)
{
    if (state.Bounds) {
        const TWindowRect& stored = *state.Bounds;
        const TWindowRect& desktop = screens.WorkArea;
        const TWindowRect window{desktop.Left + ToPixels(stored.Left, screens.Scale),
                                 desktop.Top + ToPixels(stored.Top, screens.Scale),
                                 ToPixels(stored.Width, screens.Scale), ToPixels(stored.Height, screens.Scale)};
        const std::vector<TWindowRect> all =
            screens.Screens.empty() ? std::vector<TWindowRect>{desktop} : screens.Screens;
        if (Reachable(window, all))
            return window;
    }
    const TWindowRect& work = browserWorkArea;
    int32_t width = ToPixels(850, screens.Scale);
    int32_t height = ToPixels(750, screens.Scale);
    if (work.Width < width || work.Height < height) {
        width = ToPixels(750, screens.Scale);
        height = ToPixels(550, screens.Scale);
    }
    return {work.Left + (work.Width - width) / 2, work.Top + (work.Height - height) / 2, width, height};
}

void StoreImageWindowBounds(TImageWindowState& state, const TWindowRect& pixels, bool maximised,
                            const TScreenInfo& screens)
{
    state.Bounds = TWindowRect{ToUnits(pixels.Left - screens.WorkArea.Left, screens.Scale),
                               ToUnits(pixels.Top - screens.WorkArea.Top, screens.Scale),
                               ToUnits(pixels.Width, screens.Scale), ToUnits(pixels.Height, screens.Scale)};
    state.Max = maximised;
}
