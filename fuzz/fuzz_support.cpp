#include "fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "Fmconfig.h"
#include "Frmver.h"
#include "Main.h"
#include "programfiles.h"
#include "forms.h"

namespace {

struct Folder {
    std::string path;
    Folder()
    {
        // In memory where there is a place for it: the settings target flushes every write.
        char shm[] = "/dev/shm/fovi-fuzz-XXXXXX";
        char tmp[] = "/tmp/fovi-fuzz-XXXXXX";
        const char* made = mkdtemp(shm);
        if (!made)
            made = mkdtemp(tmp);
        if (!made)
            std::abort();
        path = made;
    }
    ~Folder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
};

}  // namespace

const std::string& FuzzFolder()
{
    static Folder folder;
    return folder.path;
}

TfrmMain& FuzzMainWindow()
{
    static TfrmMain* main = [] {
        SetProgramDirForTesting(FuzzFolder());
        new TApplication;  // headless until a realisation is installed; it sets Application
        Application->SetTitle("Folivo");
        Application->CreateForm(frmMain);
        Application->CreateForm(frmVersion);
        Application->CreateForm(frmConfig);
        frmMain->Show();
        return frmMain;
    }();
    return *main;
}

void WriteFuzzFile(const std::string& path, const unsigned char* data, std::size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || (size && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0)
        std::abort();
}
