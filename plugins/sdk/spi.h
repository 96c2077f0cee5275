#pragma once

/*
 * The interface between Mireva and its plug-ins. A plug-in is an ELF shared
 * object named "*.spi" that exports the functions below with C linkage; an
 * image plug-in reports "00IN" as information number 0, an archive plug-in
 * "00AM". Texts are zero-terminated UTF-8. Memory handed from a plug-in to the
 * program is allocated with the Local* functions of libspimem (declared at
 * the end), which host and plug-ins both link, so either side can free what
 * the other allocated.
 *
 * The layouts below are fixed byte for byte: plug-ins built by others rely on
 * them. Usable from C and C++.
 */

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define SPI_EXPORT __attribute__((visibility("default")))

/* A block of plug-in memory; see the Local* functions. */
typedef struct SpiLocalBlock* HLOCAL;

/* Progress callback: current, total, user value. Returns 0 to go on; any
 * other value asks the plug-in to stop and return SPI_ABORTED, which the
 * program does once a newer page move has abandoned the picture. A plug-in
 * should call it between rows or chunks of its decoding. */
typedef int32_t (*SpiProgress)(int32_t current, int32_t total, intptr_t user);

/* Results of the plug-in functions. */
enum {
    SPI_SUCCESS = 0,
    SPI_NOT_IMPLEMENTED = -1,
    SPI_ABORTED = 1,
    SPI_UNKNOWN_FORMAT = 2,
    SPI_BROKEN_DATA = 3,
    SPI_NO_MEMORY = 4,
    SPI_MEMORY_ERROR = 5,
    SPI_FILE_READ_ERROR = 6,
    SPI_WINDOW_ERROR = 7,
    SPI_INTERNAL_ERROR = 8,
    SPI_FILE_WRITE_ERROR = 9,
    SPI_END_OF_FILE = 10
};

/* Flags of GetPicture, GetPreview, GetArchiveInfo and GetFile. The low three
 * bits tell the source: a file name (the length argument is the offset of the
 * data in the file) or a block of memory (the length is its size). */
#define SPI_SOURCE_MASK 0x7u
#define SPI_SOURCE_FILE 0x0u
#define SPI_SOURCE_MEMORY 0x1u
/* GetFile: where the member goes; a folder name, or the address of an HLOCAL
 * that receives a block with the member's bytes. */
#define SPI_DEST_MASK 0x700u
#define SPI_DEST_FOLDER 0x000u
#define SPI_DEST_MEMORY 0x100u

/* The Windows device-independent bitmap header: 40 bytes, little-endian. */
#pragma pack(push, 1)
typedef struct SpiBitmapInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight; /* negative: rows are stored top-down */
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
} SpiBitmapInfoHeader;

typedef struct SpiRGBQuad {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
} SpiRGBQuad;

/* One record of the member list of GetArchiveInfo: 428 bytes. The list ends
 * at the block's end or at the first record whose method starts with 0. */
#define SPI_PATH_FIELD 200
typedef struct SpiFileInfo {
    uint8_t method[8];        /* compression method, text; "" ends the list */
    uint32_t position;        /* the member's identification for GetFile */
    uint32_t compsize;        /* stored size */
    uint32_t filesize;        /* size after extraction */
    int32_t timestamp;        /* seconds since 1970-01-01 */
    char path[SPI_PATH_FIELD];     /* folder inside the archive, '/' or '\' separated */
    char filename[SPI_PATH_FIELD]; /* file name */
    uint32_t crc;
} SpiFileInfo;

/* What GetPictureInfo fills in: the picture's place and size, its density,
 * its bits per pixel, and a block of text (may be NULL) that the caller
 * frees with LocalFree. */
typedef struct SpiPictureInfo {
    int32_t left;
    int32_t top;
    int32_t width;
    int32_t height;
    uint16_t x_density;
    uint16_t y_density;
    int16_t colorDepth;
    HLOCAL hInfo;
} SpiPictureInfo;
#pragma pack(pop)

#define SPI_BI_RGB 0u

#ifdef __cplusplus
static_assert(sizeof(SpiBitmapInfoHeader) == 40, "bitmap header is 40 bytes");
static_assert(offsetof(SpiBitmapInfoHeader, biBitCount) == 14, "biBitCount at 14");
static_assert(offsetof(SpiBitmapInfoHeader, biClrUsed) == 32, "biClrUsed at 32");
static_assert(sizeof(SpiRGBQuad) == 4, "colour table entries are 4 bytes");
static_assert(sizeof(SpiFileInfo) == 428, "member records are 428 bytes");
static_assert(offsetof(SpiPictureInfo, colorDepth) == 20, "colorDepth at 20");
static_assert(offsetof(SpiPictureInfo, hInfo) == 22, "hInfo at 22");
static_assert(offsetof(SpiFileInfo, position) == 8, "position at 8");
static_assert(offsetof(SpiFileInfo, compsize) == 12, "compsize at 12");
static_assert(offsetof(SpiFileInfo, filesize) == 16, "filesize at 16");
static_assert(offsetof(SpiFileInfo, timestamp) == 20, "timestamp at 20");
static_assert(offsetof(SpiFileInfo, path) == 24, "path at 24");
static_assert(offsetof(SpiFileInfo, filename) == 224, "filename at 224");
static_assert(offsetof(SpiFileInfo, crc) == 424, "crc at 424");
#endif

/* The exports of a plug-in, as the program calls them. */
typedef int32_t (*SpiGetPluginInfoFunc)(int32_t number, char* buffer, int32_t length);
typedef int32_t (*SpiIsSupportedFunc)(const char* fileName, const void* header);
typedef int32_t (*SpiGetPictureFunc)(const char* source, intptr_t length, uint32_t flag, HLOCAL* info,
                                     HLOCAL* bits, SpiProgress progress, intptr_t user);
typedef int32_t (*SpiGetPictureInfoFunc)(const char* source, intptr_t length, uint32_t flag, void* info);
typedef int32_t (*SpiGetArchiveInfoFunc)(const char* source, intptr_t length, uint32_t flag, HLOCAL* list);
typedef int32_t (*SpiGetFileInfoFunc)(const char* source, intptr_t length, const char* name, uint32_t flag,
                                      SpiFileInfo* info);
typedef int32_t (*SpiGetFileFunc)(const char* source, intptr_t position, char* dest, uint32_t flag,
                                  SpiProgress progress, intptr_t user);
typedef int32_t (*SpiConfigurationDlgFunc)(uintptr_t parent, int32_t function);

/* Optional. A plug-in that exports SpiThreadSafe and returns 1 declares that
 * every one of its exports may be called from several threads at once: it
 * keeps no mutable state of its own between calls (or guards what it keeps),
 * and the libraries it uses are re-entrant too. The program then calls it
 * without serialising, and the thumbnail workers and the viewer's two pages
 * decode side by side. A plug-in without the export, or returning anything
 * else, is called by one thread at a time, as plug-ins written for the
 * original interface expect. Asked once, when the library is loaded. */
typedef int32_t (*SpiThreadSafeFunc)(void);
#define SPI_THREAD_SAFE 1

/* Optional, exported as "GetPreviewForBox". GetPreview for a caller that
 * will fit the picture into a box of boxWidth x boxHeight pixels (never
 * enlarging it): the plug-in may hand a picture reduced further than its own
 * preview, as long as the picture fitted into the box can still be scaled
 * down from it. The thumbnails of large photographs are made much faster
 * from such a picture. Other arguments and results as GetPreview. */
typedef int32_t (*SpiGetPreviewForBoxFunc)(const char* source, intptr_t length, uint32_t flag, int32_t boxWidth,
                                           int32_t boxHeight, HLOCAL* info, HLOCAL* bits, SpiProgress progress,
                                           intptr_t user);

/* Plug-in memory (libspimem). A block is one allocation whose size is exactly
 * what was asked for. Thread-safe; a handle the library did not hand out is
 * refused (LocalLock gives NULL, LocalSize 0, LocalFree returns the handle). */
#define LMEM_FIXED 0x0000u
#define LMEM_MOVEABLE 0x0002u
#define LMEM_ZEROINIT 0x0040u
#define LHND (LMEM_MOVEABLE | LMEM_ZEROINIT)
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)

SPI_EXPORT HLOCAL LocalAlloc(uint32_t flags, size_t bytes);
SPI_EXPORT HLOCAL LocalReAlloc(HLOCAL block, size_t bytes, uint32_t flags);
SPI_EXPORT void* LocalLock(HLOCAL block);
SPI_EXPORT int32_t LocalUnlock(HLOCAL block);
SPI_EXPORT size_t LocalSize(HLOCAL block);
/* NULL on success; the handle itself when it was not a live block. */
SPI_EXPORT HLOCAL LocalFree(HLOCAL block);
/* The number of live blocks, for tests that check nothing leaks. */
SPI_EXPORT size_t LocalLiveCount(void);

#ifdef __cplusplus
}
#endif
