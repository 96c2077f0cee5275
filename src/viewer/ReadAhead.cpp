#include "viewer/ReadAhead.h"

#include "platform/FileStream.h"
#include "platform/FileSystem.h"

TReadResult ReadFileAhead(const std::string& path, int64_t maxBytes, TMemoryStream& out)
{
    out.Clear();
    try {
        const TFileStatus status = QueryFile(path);
        if (status.Kind != TFileKind::fkFile)
            return TReadResult::rrFailed;
        if (status.Size > maxBytes)
            return TReadResult::rrTooLarge;
        TFileStream file(path, TFileMode::fmOpenRead);
        // The file may have changed since it was looked at: its size is
        // checked again on the open file.
        const int64_t size = file.Size();
        if (size > maxBytes)
            return TReadResult::rrTooLarge;
        out.SetSize(size);
        int64_t got = 0;
        while (got < size) {
            const int64_t n = file.Read(out.Memory() + got, size - got);
            if (n <= 0)
                break;
            got += n;
        }
        // A file that shrank meanwhile keeps what was there.
        out.SetSize(got);
        out.SetPosition(0);
        return TReadResult::rrRead;
    } catch (const std::exception&) {
        out.Clear();
        return TReadResult::rrFailed;
    }
}
