#include "browser/ViewerSettings.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "common/IniFile.h"

namespace {

TScrollRecord PageRecord(const TScrollOptions& s, bool exchange)
{
    TScrollRecord r;
    r.ByRatio = s.PageScrollByRatio;
    r.Ratio = s.PageScrollRatio;
    r.Quantity = s.PageScrollQuantity;
    r.Move = s.PageScrollMove;
    r.MoveCommand = s.PageScrollMoveCommand;
    r.Opposite = s.PageScrollOpposite;
    r.OverLap = s.PageScrollOverLap;
    r.Exchange = exchange;
    return r;
}

TScrollRecord LineRecord(const TScrollOptions& s, bool exchange)
{
    TScrollRecord r;
    r.ByRatio = s.LineScrollByRatio;
    r.Ratio = s.LineScrollRatio;
    r.Quantity = s.LineScrollQuantity;
    r.Move = s.LineScrollMove;
    r.MoveCommand = s.LineScrollMoveCommand;
    r.Opposite = s.LineScrollOpposite;
    r.OverLap = s.LineScrollOverLap;
    r.Exchange = exchange;
    return r;
}

// A real number as older versions wrote it: a decimal point or, from a
// system set up that way, a decimal comma.
double ReadReal(const TIniFile& ini, const char* key, double def)
{
    std::string text = ini.ReadString(ImageSection, key, "");
    std::replace(text.begin(), text.end(), ',', '.');
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        return def;
    return value;
}

void WriteReal(TIniFile& ini, const char* key, double value)
{
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    ini.WriteString(ImageSection, key, error == std::errc() ? std::string_view(text, end - text) : "1");
}

}  // namespace

TViewerOptions ViewerOptionsFrom(const TOptions& options, const TKeyBindings& keys,
                                 const TSystemColorResolver& resolve)
{
    TViewerOptions v;
    const TPictureOptions& p = options.Picture;
    v.Picture.Stretch = p.Stretch;
    // A colour the theme does not know stays a system colour: the fixed
    // colours take it then.
    v.Picture.Back = DefaultSystemColor(resolve ? resolve(p.Back) : p.Back);
    v.Picture.Offset = p.Offset;
    v.Picture.Center = p.Center;
    v.Picture.ScalingRatio = p.ScalingRatio;
    v.Picture.RatioChange = p.RatioChange;
    v.Picture.SeekToRight = p.SeekToRight;
    v.Picture.AllSpread = p.AllSpread;
    v.Picture.FirstImage = p.FirstImage;

    v.Move.MoveByRatio = options.Move.MoveByRatio;
    v.Move.MoveRatio = options.Move.MoveRatio;
    v.Move.MoveCount = options.Move.MoveCount;
    v.Move.LastFileMove = options.Move.LastFileMove;
    v.Move.LastToSubFolder = options.Move.LastToSubFolder;

    const TScrollOptions& s = options.Scroll;
    v.Scroll.Page = PageRecord(s, keys.PageScrollExchange);
    v.Scroll.Line = LineRecord(s, keys.LineScrollExchange);
    v.Scroll.ScrollAnimate = s.ScrollAnimate;
    v.Scroll.AnimateSpeed = s.AnimateSpeed;
    v.Scroll.DragScrollQuantity = s.DragScrollQuantity;
    v.Scroll.WheelCount = options.Mouse.WheelCount;
    v.Scroll.EdgeWheelCount = options.Mouse.EdgeWheelCount;
    v.Scroll.MoveExchange = keys.MoveExchange;
    v.Scroll.S_MoveExchange = keys.S_MoveExchange;
    v.Scroll.JumpExchange = keys.JumpExchange;

    v.Cache.ImageCache = options.Cache.ImageCache;
    v.Cache.NextCount = options.Cache.NextCount;
    v.Cache.PriorCount = options.Cache.PriorCount;
    v.Cache.FileCache = options.Cache.FileCache;
    v.Cache.FileCacheSize = options.Cache.FileCacheSize;
    return v;
}

TViewState ReadViewState(const TIniFile& ini)
{
    TViewState state;
    const int view = ini.ReadRanged(ImageSection, "View", 0, 0, 2, 0);
    state.ViewMode = static_cast<TViewMode>(view);
    state.Binding = ini.ReadInteger(ImageSection, "Bind", 0) == 1 ? TBinding::bdLeft : TBinding::bdRight;

    const int window = ini.ReadRanged(ImageSection, "Window", -1, -1, 2, -1);
    const int ratio = ini.ReadRanged(ImageSection, "Ratio", -1, -1, CustomRatioItem, -1);
    const bool imageSize = ini.ReadBool(ImageSection, "ImageSize", false);
    if (window >= 0) {
        state.ScaleMode = TScaleMode::smFit;
        state.WindowFit = static_cast<TWindowFit>(window);
    } else if (ratio >= 0) {
        state.ScaleMode = TScaleMode::smRatio;
        state.RatioItem = ratio;
    } else if (imageSize) {
        state.ScaleMode = TScaleMode::smSize;
    } else {
        state.ScaleMode = TScaleMode::smFit;
        state.WindowFit = TWindowFit::wfAll;
    }
    const double custom = ReadReal(ini, "SetRatio", 1.0);
    state.CustomRatio = custom >= MinPageRatio && custom <= MaxPageRatio ? custom : 1.0;
    state.SetSize = ini.ReadRanged(ImageSection, "SetSize", 1000, 1, 5000, 1000);
    state.SizeDir = ini.ReadRanged(ImageSection, "SizeDir", 0, 0, 1, 0) == 1 ? TSizeDir::sdWidth : TSizeDir::sdHeight;
    state.NoEnlarge = ini.ReadBool(ImageSection, "NoEnlarge", true);
    state.EqualHeight = ini.ReadBool(ImageSection, "EqualHeight", true);
    // The two exclude each other; equal heights win.
    state.EqualRatio = !state.EqualHeight && ini.ReadBool(ImageSection, "EqualRatio", false);
    state.Center = ini.ReadBool(ImageSection, "Centetr", false);
    state.HalfH = ini.ReadBool(ImageSection, "HalfH", false);
    state.HalfV = ini.ReadBool(ImageSection, "HalfV", false);
    state.AutoRotate = ini.ReadBool(ImageSection, "AutoRotate", false);
    state.Rotation = TRotation::rtNone;
    return state;
}

void WriteViewState(TIniFile& ini, const TViewState& state)
{
    ini.WriteInteger(ImageSection, "View", static_cast<int>(state.ViewMode));
    ini.WriteInteger(ImageSection, "Bind", state.Binding == TBinding::bdLeft ? 1 : 0);
    ini.WriteInteger(ImageSection, "Window",
                     state.ScaleMode == TScaleMode::smFit ? static_cast<int>(state.WindowFit) : -1);
    ini.WriteInteger(ImageSection, "Ratio", state.ScaleMode == TScaleMode::smRatio ? state.RatioItem : -1);
    ini.WriteBool(ImageSection, "ImageSize", state.ScaleMode == TScaleMode::smSize);
    WriteReal(ini, "SetRatio", state.CustomRatio);
    ini.WriteInteger(ImageSection, "SetSize", state.SetSize);
    ini.WriteInteger(ImageSection, "SizeDir", state.SizeDir == TSizeDir::sdWidth ? 1 : 0);
    ini.WriteBool(ImageSection, "NoEnlarge", state.NoEnlarge);
    ini.WriteBool(ImageSection, "EqualHeight", state.EqualHeight);
    ini.WriteBool(ImageSection, "EqualRatio", state.EqualRatio);
    ini.WriteBool(ImageSection, "Centetr", state.Center);
    ini.WriteBool(ImageSection, "HalfH", state.HalfH);
    ini.WriteBool(ImageSection, "HalfV", state.HalfV);
    ini.WriteBool(ImageSection, "AutoRotate", state.AutoRotate);
}
