#pragma once

// The byte layouts of the thumbnail store: the index "Thumbs.px" that gives
// every folder or archive with thumbnails a number, the numbered data files
// ("00001/0001.ltf") that hold one folder's thumbnails as JPEG streams with the
// facts that tell whether each is still valid, and the media thumbnail files
// (".mtf") of older versions. Readers check every length and count against
// the bytes that remain and keep what came before damage; writers produce the
// current version (258) only. Nothing here touches the disk except through
// the streams it is handed.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Stream.h"
#include "common/DateTime.h"

inline constexpr std::string_view ThumbIndexSignature = "Mireva ThumbnailList";
inline constexpr std::string_view ThumbDataSignature = "Mireva ThumbnailData";
inline constexpr std::string_view LegacyMediaSignature = "Mireva MediaThumbnailList";
inline constexpr std::string_view LegacyMediaBlockSignature = "Media Thumbnails";
inline constexpr int32_t ThumbFileVersion = 258;
// Data files are named by five-digit folders of 1024 files each, so numbers
// beyond 99999 folders would need a sixth digit and collide with other names.
inline constexpr int32_t ThumbNumberLimit = 99999 * 1024;

inline bool IsValidThumbNumber(int64_t number)
{
    return number >= 0 && number < ThumbNumberLimit;
}

// "00001/0001.ltf" for number 0, "00002/0001.ltf" for 1024: relative to the
// store folder. The number must be valid.
std::string ThumbDataFileName(int32_t number);

// The bytes that follow a thumbnail's JPEG stream in a data file of the
// given version: 41 from version 258, 37 from 250, 33 before.
int32_t ThumbTrailerSize(int32_t version);

// What a thumbnail record came from, which decides where its bytes are
// copied from when a data file is written again.
enum class TThumbOrigin : uint8_t {
    toWritten = 0,  // in the data file written last
    toRead = 1,     // read from the data file of Number
    toMade = 2,     // newly made; the JPEG bytes are in Jpeg
    toCopied = 3,   // copied from the normal store into the media store
};

struct TThumbnailRecord {
    std::string Name;
    int32_t Number = -1;      // the data file the JPEG bytes are in
    int32_t DataLength = 0;
    int64_t DataOffset = 0;   // where the JPEG bytes start in that file
    int32_t Width = 0;        // of the source picture
    int32_t Height = 0;
    int32_t Bits = 0;
    int64_t FileSize = 0;     // of the source file (folder or archive for folder thumbnails)
    TDateTime FileTime = 0;
    int32_t BoxWidth = 0;     // the thumbnail box the record was made for
    int32_t BoxHeight = 0;
    uint8_t FolderFlag = 0;   // 1: stands for a folder or an archive
    TThumbOrigin Origin = TThumbOrigin::toRead;
    std::vector<uint8_t> Jpeg;  // the stream itself, for toMade records

    bool operator==(const TThumbnailRecord&) const = default;
};

// One entry of an index file.
struct TThumbIndexRow {
    std::string Key;
    int32_t Number = 0;
    int32_t DataSize = 0;
    int32_t Count = 0;
    TDateTime LastUsed = 0;
    bool operator==(const TThumbIndexRow&) const = default;
};

// How far a reader got: Complete is false when it stopped at damage (or the
// signature was foreign), Error says why. Rows or records read before the
// damage are kept.
struct TThumbReadOutcome {
    bool Complete = true;
    bool Foreign = false;  // the signature is not the expected one: nothing read
    std::string Error;
};

struct TThumbIndexContents {
    int32_t Version = 0;
    std::vector<TThumbIndexRow> Rows;  // in file order; keys appear once
    TThumbReadOutcome Outcome;
};

// Reads an index from the stream's position to its end. A key seen before
// is skipped with its entry; an entry with a number out of range or one that
// an earlier entry holds already is dropped, so that no two folders ever share
// a data file.
TThumbIndexContents ReadThumbIndex(TStream& stream);
// Writes the signature, the current version and the rows in the given order.
void WriteThumbIndex(TStream& stream, const std::vector<TThumbIndexRow>& rows);

// Whether a stored name may name a thumbnail of its folder or archive. A
// folder's thumbnails are named by plain names, so "/" or a "." or ".." name
// would point outside the folder when its existence is checked; names inside
// an archive are member paths, which may have folders but never climb out.
bool IsSafeThumbName(std::string_view name, bool inArchive);

struct TThumbDataContents {
    int32_t Version = 0;
    std::vector<TThumbnailRecord> Records;  // Origin toRead, Number as given
    int32_t EntriesRead = 0;  // entries in the file, kept or not
    TThumbReadOutcome Outcome;
};

// Reads at most maxCount entries of a data file from the stream's start;
// inArchive tells member paths from plain names (IsSafeThumbName).
// keep decides for each safe name whether the entry is taken (the folder's
// file still exists); unsafe names and names taken before are skipped. A
// record's DataOffset is where its stream lies in the file as read, so a
// damaged offset field never makes a later copy take the wrong bytes.
TThumbDataContents ReadThumbData(TStream& stream, int32_t number, int32_t maxCount, bool inArchive,
                                 const std::function<bool(const std::string&)>& keep);

// Gives the JPEG bytes of a record that are not in memory: reads them from
// the data file they lie in. Returns nothing when they cannot be had.
using TThumbBytesSource = std::function<std::optional<std::vector<uint8_t>>(const TThumbnailRecord&)>;

// Writes a data file of the current version: the records in the given order,
// each with its JPEG stream from memory (toMade) or from source. A record
// whose bytes cannot be had is left out rather than written with wrong ones.
// Each written record gets its new DataOffset, Number and Origin toWritten
// (and loses its in-memory stream); the records left out are removed from the
// vector. Returns the file's size.
int64_t WriteThumbData(TStream& stream, int32_t number, std::vector<TThumbnailRecord>& records,
                       const TThumbBytesSource& source);

// Reads the JPEG bytes of a record from an open data file, checked against
// the file's size.
std::optional<std::vector<uint8_t>> ReadThumbBytes(TStream& file, const TThumbnailRecord& record);

// A media thumbnail file of older versions, read whole into memory.
struct TLegacyMediaFolder {
    std::string Path;  // below the medium's root
    int32_t Count = 0;
    std::vector<TThumbnailRecord> Records;  // Origin toMade, bytes in Jpeg
};
struct TLegacyMediaContents {
    int32_t Version = 0;
    std::vector<TLegacyMediaFolder> Folders;
    TThumbReadOutcome Outcome;
};
TLegacyMediaContents ReadLegacyMediaFile(TStream& stream);

// The size a picture of w x h gets in a box of bw x bh: never enlarged; the
// side with the smaller ratio fills the box and the other is rounded, at
// least 1.
struct TThumbSize {
    int32_t Width = 0;
    int32_t Height = 0;
    bool operator==(const TThumbSize&) const = default;
};
TThumbSize FitThumbnail(int32_t w, int32_t h, int32_t bw, int32_t bh);

// Whether a record still stands for its source: same size, a time within
// 2.5 seconds (file systems that keep times in 2-second steps), and a box
// that gives the picture the same fitted size as the record's box did.
enum class TThumbCheck : uint8_t { tcValid, tcValidOtherBox, tcInvalid };
TThumbCheck CheckThumbnail(const TThumbnailRecord& record, int64_t fileSize, TDateTime fileTime, int32_t boxWidth,
                           int32_t boxHeight);

// The width and height in the first start-of-frame marker of a JPEG stream;
// 0 x 0 when there is none before the end.
TThumbSize JpegFrameSize(const uint8_t* data, size_t size);
