#include "StartFixture.h"

#include "common/Text.h"
#include "platform/FileSystem.h"

TStartTree::TStartTree()
{
    fWork = fRoot.File("work/");
    fData = fRoot.File("data/");
    for (const char* name : {"work/book/01.bmp", "work/pic.bmp", "work/alt.lys", "work/alt.ini", "work/notes.txt",
                              "work/outer.zip", "work/comics.cbz", "work/UPPER.ZIP", "work/漫画/第1巻.zip",
                              "work/表ソ/01.bmp", "data/Named.lys", "data/Mireva.ini"})
        fRoot.Write(name, "x");
    ForceDirectories(fRoot.File("work/conf.lys"));
}

std::string TStartTree::Expand(const std::string& text) const
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 3, "{W}") == 0) {
            out += fWork;
            i += 2;
        } else if (text.compare(i, 3, "{D}") == 0) {
            out += fData;
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::string> TStartTree::Expand(const std::vector<std::string>& texts) const
{
    std::vector<std::string> out;
    for (const std::string& text : texts)
        out.push_back(Expand(text));
    return out;
}

TAppFolders TStartTree::Folders() const
{
    TAppFolders folders;
    folders.ProgramFolder = fRoot.File("program/");
    folders.DataFolder = fData;
    folders.WorkingFolder = fWork;
    folders.TemporaryBase = fRoot.File("temp/");
    folders.TemporaryName = "Mireva";
    ForceDirectories(folders.TemporaryBase);
    return folders;
}

TResolveContext TStartTree::Context(bool archiveFolder, bool knowArchives) const
{
    TResolveContext context;
    context.WorkingFolder = fWork;
    context.DataFolder = fData;
    if (knowArchives)
        context.IsArchiveExtension = [](std::string_view ext) { return SameText(ext, ".zip") || SameText(ext, ".cbz"); };
    context.ArchiveFolder = archiveFolder;
    return context;
}
