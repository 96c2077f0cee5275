#include "platform/Folders.h"

#include <cerrno>
#include <climits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Errors.h"
#include "base/PathUtils.h"
#include "platform/FileSystem.h"
#include "base/Texts.h"

// The installed program's own files, relative to the prefix; the build's
// install rules pass the same folder.
#ifndef MIREVA_INSTALL_PKGLIBDIR
#define MIREVA_INSTALL_PKGLIBDIR "lib/mireva"
#endif

TProgramLocation LocateProgram(const std::string& executablePath)
{
    TProgramLocation location;
    const std::string own = ExtractFilePath(executablePath);
    location.Folder = own.empty() ? CurrentDirectory() : own;
    // "/usr/bin/" gives "/usr/lib/mireva/"; an executable in "/" has no
    // prefix above it and is never installed.
    const std::string bin = ExcludeTrailingPathDelimiter(own);
    if (bin.empty() || bin == "/")
        return location;
    const std::string prefix = ExtractFilePath(bin);
    if (prefix.empty())
        return location;
    const std::string installed = IncludeTrailingPathDelimiter(JoinPath(prefix, MIREVA_INSTALL_PKGLIBDIR));
    if (DirectoryExists(installed)) {
        location.Folder = installed;
        location.Installed = true;
    }
    return location;
}

TProgramLocation LocateProgram()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return {CurrentDirectory(), false};
    buffer[n] = '\0';
    return LocateProgram(buffer);
}

std::string ProgramFolder()
{
    return LocateProgram().Folder;
}

std::string DataFolder(const std::string& portableFolder, const std::string& explicitHome)
{
    std::string folder = explicitHome;
    if (folder.empty())
        folder = GetEnv("MIREVA_HOME");
    if (folder.empty() && !portableFolder.empty() && ::access(portableFolder.c_str(), W_OK) == 0)
        folder = portableFolder;
    if (folder.empty()) {
        std::string config = GetEnv("XDG_CONFIG_HOME");
        if (config.empty() || !IsAbsolutePath(config))
            config = HomeDirectory() + ".config/";
        folder = JoinPath(config, "Mireva/");
    }
    folder = IncludeTrailingPathDelimiter(ExpandFileName(folder, CurrentDirectory()));
    ForceDirectories(folder);
    return folder;
}

namespace {

// $XDG_RUNTIME_DIR/ when it can hold private files: a set variable that is
// not private (a shared folder by mistake) would let other users plant links
// or sockets under our names.
std::string UsableRuntimeDirectory()
{
    const std::string runtime = GetEnv("XDG_RUNTIME_DIR");
    if (runtime.empty() || !IsAbsolutePath(runtime))
        return {};
    const std::string folder = ExcludeTrailingPathDelimiter(NormalizePath(runtime));
    if (!IsPrivateFolder(folder) || ::access(folder.c_str(), W_OK | X_OK) != 0)
        return {};
    return IncludeTrailingPathDelimiter(folder);
}

}  // namespace

bool IsPrivateFolder(const std::string& path)
{
    struct stat st {};
    const std::string folder = ExcludeTrailingPathDelimiter(path);
    if (folder.empty() || ::lstat(folder.c_str(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 0022) == 0;
}

std::string TemporaryBase()
{
    const std::string runtime = UsableRuntimeDirectory();
    return runtime.empty() ? std::string("/tmp/") : runtime;
}

std::string TemporaryFolderName(const std::string& base)
{
    if (base == UsableRuntimeDirectory() && !base.empty())
        return "Mireva";
    return "Mireva-" + std::to_string(::geteuid());
}

std::string RuntimeFolder()
{
    const std::string runtime = UsableRuntimeDirectory();
    if (!runtime.empty())
        return runtime;
    return CreatePrivateFolder("/tmp/", "Mireva-" + std::to_string(::geteuid()) + ".run");
}

std::string CreatePrivateFolder(const std::string& base, const std::string& name)
{
    const std::string path = JoinPath(base, name);
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        throw EFileError(SystemErrorText(path, errno));
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        throw EFileError(SystemErrorText(path, errno));
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & 0077) != 0)
        throw EFileError(Tx("一時フォルダ '") + path + Tx("' を安全に使えません  "));
    return IncludeTrailingPathDelimiter(path);
}

TTemporaryFolder::TTemporaryFolder(const std::string& base, const std::string& name)
    : fPath(CreatePrivateFolder(base, name))
{
}

TTemporaryFolder::~TTemporaryFolder()
{
    RemoveTree(fPath);
}

void TTemporaryFolder::Clean()
{
    RemoveTree(fPath);
    const std::string base = ExtractFilePath(ExcludeTrailingPathDelimiter(fPath));
    fPath = CreatePrivateFolder(base, ExtractFileName(ExcludeTrailingPathDelimiter(fPath)));
}
