#include "common/AtomicSave.h"

#include "base/PathUtils.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"

TAtomicFile::TAtomicFile(std::string path) : fPath(std::move(path))
{
    // A settings file kept as a link (to a dotfiles folder, say) stays a link:
    // the new content replaces the file it points to.
    if (QueryFile(fPath, false).IsLink) {
        const std::string real = RealPath(fPath);
        if (!real.empty())
            fPath = real;
    }
    fTemporary = fPath + "$$";
    // A "$$" file left by a crash is ours to replace; a link of that name is
    // removed, never followed.
    const TFileStatus old = QueryFile(fTemporary, false);
    if (old.Kind != TFileKind::fkNone && old.Kind != TFileKind::fkFolder)
        DeleteFile(fTemporary);
    unsigned mode = 0644;
    const TFileStatus target = QueryFile(fPath);
    if (target.Kind == TFileKind::fkFile)
        mode = target.Mode & 0777;
    fFile = std::make_unique<TFileStream>(fTemporary, TFileMode::fmCreateNew, true, mode);
}

TAtomicFile::~TAtomicFile()
{
    if (!fCommitted) {
        fFile.reset();
        DeleteFile(fTemporary);
    }
}

TStream& TAtomicFile::Stream()
{
    return *fFile;
}

void TAtomicFile::Commit()
{
    fFile->Sync();
    fFile->Close();
    RenameFile(fTemporary, fPath);
    fCommitted = true;
    std::string folder = ExtractFilePath(fPath);
    SyncDirectory(folder.empty() ? "." : folder);
}

void SaveFileAtomically(const std::string& path, std::string_view bytes)
{
    TAtomicFile file(path);
    file.Stream().WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    file.Commit();
}
