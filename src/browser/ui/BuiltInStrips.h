#pragma once

// The icon strips the program draws for itself, used wherever the user put
// no strip of his own into the program folder's "Icon/" folder. Each strip is
// a row of square frames on the aqua transparent colour: frame 0 the icon of
// the list's root (a bookcase, a stack of discs, a pair of tags), then
// BuiltInIconCount folder icons in different colours, the first in the
// kind's own colour (amber shelves, blue media, green categories). A
// medium's alternative frames, shown while its disc is in a drive, carry a
// green light; the alternative strips of shelves and categories are the
// normal ones.

#include <QImage>

#include "browser/CollectionIcons.h"
#include "collections/IconStrip.h"
#include "common/Bitmap.h"

// How many icons a built-in strip offers to choose from (frame 0 is the root).
inline constexpr int BuiltInIconCount = 8;

// The strip with alpha, side pixels high: a 16-pixel strip is drawn without
// smoothing so that its edges stay sharp.
QImage PaintCollectionStrip(TIconCollection kind, TIconSize size, bool alternative);

// The strip as the folder lists cut it: 24-bit, the transparent pixels aqua.
TBitmap BuiltInStrip(TIconCollection kind, TIconSize size, bool alternative);

// A picture with alpha as a strip: pixels at least half covered keep their
// colour, the others become aqua.
TBitmap StripFromImage(const QImage& image);
