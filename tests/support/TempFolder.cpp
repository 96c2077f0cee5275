#include "support/TempFolder.h"

#include <cstdlib>
#include <stdexcept>

#include "base/PathUtils.h"
#include "platform/FileStream.h"
#include "platform/FileSystem.h"

TTempFolder::TTempFolder()
{
    std::string base = GetEnv("TMPDIR");
    if (base.empty())
        base = "/tmp";
    std::string pattern = IncludeTrailingPathDelimiter(base) + "mireva-test-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    fPath = pattern + "/";
}

TTempFolder::~TTempFolder()
{
    RemoveTree(fPath);
}

std::string TTempFolder::File(std::string_view name) const
{
    return fPath + std::string(name);
}

std::string TTempFolder::Write(std::string_view name, std::string_view bytes) const
{
    const std::string path = File(name);
    ForceDirectories(ExtractFilePath(path));
    TFileStream file(path, TFileMode::fmCreate);
    file.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    file.Close();
    return path;
}

std::string TTempFolder::Read(std::string_view name) const
{
    return ReadWholeFile(File(name));
}
