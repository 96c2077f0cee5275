#pragma once

// The settings and the saved view state the image view works with, as plain
// values: the viewer's own small copies of what it uses, filled from the
// program's options object (sections PICTURE, SCROLL, MOUSE, MOVE, CACHE and
// IMAGE, and the exchange flags of the key file) by the window that owns the
// viewer. The viewer never reads the settings file itself. Field names are the
// keys of the settings file; defaults are the file's defaults. The names carry
// "View" so that they never meet the options object's own structs.

#include <cstdint>

#include "base/Color.h"
#include "imaging/ImgUtils.h"
#include "imaging/Stretch.h"

// How the view decides between one page and two: key "View" of IMAGE.
enum class TViewMode : uint8_t {
    vmAuto,    // two pages when both pictures are portrait (and fit, see AllSpread)
    vmSingle,  // always one page
    vmSpread,  // always two pages when a partner exists
};

// Reading direction of a book: key "Bind" of IMAGE.
enum class TBinding : uint8_t {
    bdLeft,   // pages read left to right; the lower page is on the left
    bdRight,  // pages read right to left, as Japanese books and comics are
};

// Which of the three exclusive ways to size pages is active.
enum class TScaleMode : uint8_t {
    smFit,    // fit the view ("Window" holds the fit kind)
    smRatio,  // a fixed ratio ("Ratio" holds the preset item)
    smSize,   // a fixed width or height in pixels (SetSize along SizeDir)
};

// What fitting to the view fits: key "Window" of IMAGE (0, 1, 2).
enum class TWindowFit : uint8_t {
    wfAll,     // the whole page
    wfWidth,   // the width
    wfHeight,  // the height
};

// Direction of the fixed size: key "SizeDir" (1 width, 0 height).
enum class TSizeDir : uint8_t { sdHeight = 0, sdWidth = 1 };

// The ratio presets of the ratio menu, in menu order; the tenth item uses
// CustomRatio.
inline constexpr int RatioPresetCount = 9;
inline constexpr double RatioPresets[RatioPresetCount] = {0.25, 0.5, 0.75, 1.0, 1.5, 2.0, 3.0, 4.0, 8.0};
inline constexpr int CustomRatioItem = 9;

// Zoom never leaves this range.
inline constexpr double MinPageRatio = 0.01;
inline constexpr double MaxPageRatio = 8.0;

// The view state the browser window keeps in section IMAGE and restores at
// start.
struct TViewState {
    TViewMode ViewMode = TViewMode::vmAuto;   // "View"
    TBinding Binding = TBinding::bdRight;     // "Bind"
    TScaleMode ScaleMode = TScaleMode::smFit;
    TWindowFit WindowFit = TWindowFit::wfAll;  // "Window" while fitting
    int RatioItem = 3;                          // "Ratio" while a fixed ratio is active: 0..8 presets, 9 custom
    double CustomRatio = 1.0;                   // "SetRatio"
    int SetSize = 1000;                         // 1..5000 pixels
    TSizeDir SizeDir = TSizeDir::sdHeight;
    bool DefSize = false;      // actual size; overrides the scale mode while on
    bool NoEnlarge = true;     // "NoEnlarge": fitting never enlarges
    bool EqualHeight = true;   // "EqualHeight": both pages of a spread get one height
    bool EqualRatio = false;   // "EqualRatio": both pages of a spread get one ratio
    bool Center = false;       // "Centetr" (sic, as older files spell it): the joint sits mid-view
    bool HalfV = false;        // "HalfV": portrait pages fit half their height
    bool HalfH = false;        // "HalfH": landscape pages fit half their width
    bool AutoRotate = false;   // "AutoRotate": quarter turns only for portrait pictures
    TRotation Rotation = TRotation::rtNone;

    bool BindRight() const { return Binding == TBinding::bdRight; }
    // Fitting computes the ratios; actual size overrides it.
    bool Fitting() const { return ScaleMode == TScaleMode::smFit && !DefSize; }
};

// Section PICTURE, the values the view uses.
struct TViewPictureOptions {
    TStretchMode Stretch = TStretchMode::smLanczos3;
    TColor Back = clBlack;    // background of the view
    int Offset = 5;           // margin around the pages, 0..100
    int Center = 0;           // gap between the two pages of a spread, 0..100
    int ScalingRatio = 25;    // zoom step, percent, 1..100
    bool RatioChange = false; // a zoomed ratio becomes the fixed ratio
    bool SeekToRight = false; // the seek bar always starts at the left
    bool AllSpread = false;   // automatic spread for every portrait pair, fitting or not
    bool FirstImage = false;  // the first picture of a list always stands alone
};

// The move a page or line scroll makes at the picture's end (stored as its
// number).
enum class TScrollMoveCommand : int32_t {
    mcNextFile = 0,     // "次/前のファイル"
    mcNextOneFile = 1,  // "ひとつ次/前のファイル"
    mcJump = 2,         // "ジャンプ"
    mcRandom = 3,       // "ランダム移動"
};

// One of the two scroll records of section SCROLL (page scroll, line scroll).
struct TScrollRecord {
    bool ByRatio = true;   // PageScrollByRatio / LineScrollByRatio
    int Ratio = 100;       // percent of the view, 1..100
    int Quantity = 300;    // pixels, 1..1000
    bool Move = true;      // scrolling on at an edge moves to another picture
    TScrollMoveCommand MoveCommand = TScrollMoveCommand::mcNextFile;
    bool Opposite = true;  // at an edge, first go to the neighbouring column or row
    int OverLap = 50;      // pixels of the previous column kept visible, 0..200
    bool Exchange = false; // PageScrollExchange / LineScrollExchange of the key file
};

inline TScrollRecord DefaultPageScroll()
{
    return TScrollRecord{};
}

inline TScrollRecord DefaultLineScroll()
{
    TScrollRecord r;
    r.ByRatio = false;
    r.Ratio = 10;
    r.Quantity = 10;
    r.Move = false;
    r.MoveCommand = TScrollMoveCommand::mcNextFile;
    r.Opposite = false;
    r.OverLap = 0;
    return r;
}

// Section SCROLL, the wheel keys of MOUSE and the exchange flags of the key
// file's "MOVE KEY" section.
struct TViewScrollOptions {
    TScrollRecord Page = DefaultPageScroll();
    TScrollRecord Line = DefaultLineScroll();
    bool ScrollAnimate = false;
    int AnimateSpeed = 2000;      // pixels per second, 100..30000
    int DragScrollQuantity = 1;   // pixels scrolled per pixel dragged, 1..100
    int WheelCount = 0;           // MOUSE: notches swallowed before the wheel acts
    int EdgeWheelCount = 0;       // MOUSE: notches against an edge before a move
    bool MoveExchange = false;    // with left binding, the keys of next and prior swap
    bool S_MoveExchange = false;  // the same for one next and one prior
    bool JumpExchange = false;    // the same for the jumps
};

// What happens past either end of the list: key "LastFileMove" of MOVE
// (stored as its number).
enum class TEndOfList : int32_t {
    elLoop,     // continue at the other end
    elFolder,   // open the next or previous folder or archive
    elNothing,  // stay
    elClose,    // close the picture
    elExit,     // end the program (only at the last picture going forward)
};

// Section MOVE.
struct TViewMoveOptions {
    bool MoveByRatio = true;  // a jump moves by a share of the list
    int MoveRatio = 10;       // percent, 1..100
    int MoveCount = 10;       // pictures, 1..100
    TEndOfList LastFileMove = TEndOfList::elLoop;
    bool LastToSubFolder = true;
};

// Section CACHE.
struct TViewCacheOptions {
    bool ImageCache = true;  // keep decoded pictures ahead and behind
    int NextCount = 1;       // pictures ahead, 0..20 (doubled unless single mode)
    int PriorCount = 1;      // pictures behind, 0..20
    bool FileCache = true;   // keep the bytes of further files in memory
    int FileCacheSize = 10;  // megabytes for them, 0..256

    bool operator==(const TViewCacheOptions&) const = default;
};
