#include "shellviews/SizeText.h"

#include "common/ByteSize.h"

std::string FormatSizeColumn(int64_t bytes, TSizeUnit unit)
{
    switch (unit) {
    case TSizeUnit::suBytes:
        return FormatByteCount(bytes);
    case TSizeUnit::suBest:
        return FormatByteSize(bytes);
    case TSizeUnit::suKiloBytes:
        break;
    }
    return FormatKBSize(bytes);
}
