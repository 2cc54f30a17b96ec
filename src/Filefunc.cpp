// The folder chooser, the file tests and the folder scan.
#include "Main.h"

#include "fileinfo.h"
#include "filename.h"
#include "filesystem.h"
#include "collation.h"
#include "shell.h"

std::optional<std::string> TfrmMain::SelectFolder(TForm* owner, const std::string& title)
{
    std::string path;
    if (!BrowseForFolder(owner, title, path))
        return std::nullopt;
    return path;
}

int TfrmMain::FindFiles(const std::string& folder, const std::string& ext, TStringList* list)
{
    const std::string wanted = CharLower(!ext.empty() && ext[0] == '.' ? ext : "." + ext);
    TWin32FindData fd;
    // The search describes every entry it yields with a file-status call, the bulk of the
    // cost in a folder of thousands of pages; asking only for names that end in the
    // extension halves it. The extension is still compared below, so the result is that of
    // a search for "*".
    HFIND h = FindFirstFile(folder + "*" + wanted, fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    int count = 0;
    do {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (CharLower(ExtractFileExt(fd.cFileName)) == wanted) {
            list->Add(folder + fd.cFileName);
            ++count;
        }
    } while (FindNextFile(h, fd));
    FindClose(h);
    return count;
}

// Decided by the dropped item itself: the first entry of a name search could be another
// item that merely starts with the same characters.
bool TfrmMain::IsDirectory(const std::string& path)
{
    return DirectoryExists(path);
}

bool TfrmMain::IsFileExist(const std::string& path)
{
    TWin32FindData fd;
    HFIND h = FindFirstFile(path, fd);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool same = CharLower(fd.cFileName) == CharLower(ExtractFileName(path));
    FindClose(h);
    return same;
}

void TfrmMain::ClearPageList()
{
    if (PageList)
        PageList->Clear();
}
