#include "viewer.h"

#include <cstdio>
#include <cstring>
#include <jpeglib.h>

#include "dragdrop.h"
#include "fileinfo.h"

void ViewerTest::SetUp()
{
    programDir_ = std::make_unique<TempDir>();
    data_ = std::make_unique<TempDir>();
    SetProgramDirForTesting(programDir_->Path());
    app_ = std::make_unique<AppScope>();
}

void ViewerTest::TearDown()
{
    app_.reset();
    frmMain = nullptr;
    frmVersion = nullptr;
    frmConfig = nullptr;
    SetProgramDirForTesting("");
}

void ViewerTest::Start(bool show)
{
    Application->SetTitle("Folivo");
    Application->CreateForm(frmMain);
    Application->CreateForm(frmVersion);
    Application->CreateForm(frmConfig);
    started_ = true;
    if (show)
        frmMain->Show();
}

std::string ViewerTest::MakeFolder(const std::string& name,
                                   const std::vector<std::pair<std::string, std::string>>& files)
{
    const std::string folder = data_->Path() + "/" + name;
    std::string mk = "mkdir -p '" + folder + "'";
    if (std::system(mk.c_str()) != 0)
        throw std::runtime_error("mkdir failed");
    for (const auto& [file, bytes] : files)
        data_->Write(name + "/" + file, bytes);
    return folder;
}

void ViewerTest::OpenFolder(const std::string& folder)
{
    Screen().FolderAnswers.push_back(folder);
    Application->Deliver([] { frmMain->spbOpenFolderClick(frmMain->spbOpenFolder); });
}

void ViewerTest::Drop(const std::vector<std::string>& paths)
{
    const HDROP h = NewDropHandle(paths);
    Application->Deliver([h] { frmMain->scrMain->Perform(WM_DROPFILES, h, 0); });
}

void ViewerTest::PostDrop(const std::vector<std::string>& paths)
{
    Application->PostMessage(frmMain->scrMain, WM_DROPFILES, NewDropHandle(paths), 0);
}

namespace {
void ErrorExit(j_common_ptr) { throw std::runtime_error("jpeg encode failed"); }
}

std::string SmallJpeg(int width, int height, unsigned rgb)
{
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    err.error_exit = ErrorExit;
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &out, &size);
    c.image_width = static_cast<JDIMENSION>(width);
    c.image_height = static_cast<JDIMENSION>(height);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    jpeg_start_compress(&c, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
    while (c.next_scanline < c.image_height) {
        for (int x = 0; x < width; ++x) {
            const bool mark = x < 8 && c.next_scanline < 8;
            row[x * 3 + 0] = mark ? 0 : (rgb >> 16) & 0xFF;
            row[x * 3 + 1] = mark ? 0 : (rgb >> 8) & 0xFF;
            row[x * 3 + 2] = mark ? 0 : rgb & 0xFF;
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&c, &r, 1);
    }
    jpeg_finish_compress(&c);
    std::string bytes(reinterpret_cast<char*>(out), size);
    jpeg_destroy_compress(&c);
    std::free(out);
    return bytes;
}

std::string SmallBmp(int width, int height, unsigned rgb)
{
    const int stride = (width * 3 + 3) & ~3;
    const unsigned pixels = static_cast<unsigned>(stride * height);
    std::string b(54 + pixels, '\0');
    auto put16 = [&b](size_t at, unsigned v) { b[at] = char(v & 0xFF); b[at + 1] = char((v >> 8) & 0xFF); };
    auto put32 = [&](size_t at, unsigned v) { put16(at, v & 0xFFFF); put16(at + 2, v >> 16); };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, 54 + pixels);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<unsigned>(width));
    put32(22, static_cast<unsigned>(height));
    put16(26, 1);
    put16(28, 24);
    put32(34, pixels);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t at = 54 + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 3;
            b[at] = char(rgb & 0xFF);
            b[at + 1] = char((rgb >> 8) & 0xFF);
            b[at + 2] = char((rgb >> 16) & 0xFF);
        }
    return b;
}
