#include "jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

#include <jpeglib.h>

#include "bounds.h"
#include "buffers.h"
#include "exceptions.h"
#include "fileio.h"

// Error handling: libjpeg reports a fatal error through error_exit, which must not return.
// Ours longjmps back to a guard frame (Guarded below) that holds no C++ objects, and the
// EJPEG is thrown only after that, from ordinary C++ code: no exception ever unwinds through
// libjpeg's C frames, and the longjmp skips no destructor.

namespace {

struct ErrorMgr {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void FailWith(j_common_ptr cinfo, const char* message)
{
    auto* err = reinterpret_cast<ErrorMgr*>(cinfo->err);
    std::snprintf(err->message, sizeof err->message, "%s", message);
    std::longjmp(err->jump, 1);
}

[[noreturn]] void OnErrorExit(j_common_ptr cinfo)
{
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    FailWith(cinfo, text);
}

// Warnings (corrupt data the decoder works around, a file cut short) are ignored: the
// decoder completes the picture itself.
void OnEmitMessage(j_common_ptr, int) {}
void OnOutputMessage(j_common_ptr) {}

void OnProgress(j_common_ptr cinfo)
{
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > MaxProgressiveScans)
        FailWith(cinfo, "Too many scans in a progressive JPEG file");
    const auto* cancel = static_cast<const std::atomic<bool>*>(cinfo->client_data);
    if (cancel && cancel->load(std::memory_order_relaxed))
        FailWith(cinfo, "JPEG decode cancelled");
}

// The libjpeg side of the decoder: plain data that the guarded steps below work on.
struct Decoder {
    jpeg_decompress_struct cinfo;
    ErrorMgr err;
    jpeg_progress_mgr progress;
    const unsigned char* data = nullptr;  // the encoded file
    size_t size = 0;
    std::uint32_t* target = nullptr;      // first output row; rows follow without padding
    std::uint32_t* scratch = nullptr;     // or the one row the probe decodes into
    JDIMENSION width = 0, height = 0;     // the size the buffer was made for

    Decoder()
    {
        cinfo.err = jpeg_std_error(&err.pub);
        cinfo.client_data = nullptr;  // the cancel flag; jpeg_create_decompress keeps it
        err.pub.error_exit = OnErrorExit;
        err.pub.emit_message = OnEmitMessage;
        err.pub.output_message = OnOutputMessage;
        err.message[0] = '\0';
        if (setjmp(err.jump))  // jpeg_create_decompress fails only when memory runs out
            throw std::bad_alloc();
        jpeg_create_decompress(&cinfo);
        cinfo.mem->max_memory_to_use = MaxDecoderMemory;
        progress = {};
        progress.progress_monitor = OnProgress;
        cinfo.progress = &progress;
    }
    ~Decoder() { jpeg_destroy_decompress(&cinfo); }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
};

using Step = void (*)(Decoder&);

void ReadHeaderStep(Decoder& d)
{
    // An empty buffer makes jpeg_mem_src itself fail with "Empty input file".
    jpeg_mem_src(&d.cinfo, d.data, static_cast<unsigned long>(d.size));
    jpeg_read_header(&d.cinfo, TRUE);
}

// Adobe CMYK is stored inverted (0 = full ink) and libjpeg hands it over as stored, so
// R = C*K/255. With t = x*k + 128, (t + (t >> 8)) >> 8 is x*k/255 rounded, exact for bytes.
inline std::uint32_t InkMul(std::uint32_t x, std::uint32_t k)
{
    const std::uint32_t t = x * k + 128;
    return (t + (t >> 8)) >> 8;
}

void CmykToBgrx(std::uint32_t* row, JDIMENSION width, bool inverted)
{
    const auto* p = reinterpret_cast<const unsigned char*>(row);
    for (JDIMENSION x = 0; x < width; ++x, p += 4) {
        std::uint32_t c = p[0], m = p[1], y = p[2], k = p[3];
        if (!inverted) {
            c = 255 - c; m = 255 - m; y = 255 - y; k = 255 - k;
        }
        row[x] = 0xFF000000u | (InkMul(c, k) << 16) | (InkMul(m, k) << 8) | InkMul(y, k);
    }
}

void DecodeStep(Decoder& d)
{
    j_decompress_ptr cinfo = &d.cinfo;
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    // BGRX puts each pixel down as the word 0xFFRRGGBB: no conversion pass. CMYK is the one
    // colour space libjpeg cannot turn into RGB; its 4 bytes per pixel fit the same buffer.
    // Anything else (2 or 7 components of unknown meaning) is refused right here by libjpeg.
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    jpeg_start_decompress(cinfo);
    if (cinfo->output_components != 4 || cinfo->output_width != d.width ||
        cinfo->output_height != d.height)
        FailWith(reinterpret_cast<j_common_ptr>(cinfo), "Unexpected JPEG output format");
    const JDIMENSION width = cinfo->output_width;
    const bool inverted = cinfo->saw_Adobe_marker;
    while (cinfo->output_scanline < cinfo->output_height) {
        if (!d.target) {
            // The probe only needs to know that all the data decodes.
            JSAMPROW row = reinterpret_cast<JSAMPROW>(d.scratch);
            jpeg_read_scanlines(cinfo, &row, 1);
            continue;
        }
        constexpr JDIMENSION Batch = 16;
        JSAMPROW rows[Batch];
        const JDIMENSION first = cinfo->output_scanline;
        JDIMENSION count = cinfo->output_height - first;
        if (count > Batch)
            count = Batch;
        for (JDIMENSION i = 0; i < count; ++i)
            rows[i] = reinterpret_cast<JSAMPROW>(d.target + static_cast<size_t>(first + i) * width);
        const JDIMENSION got = jpeg_read_scanlines(cinfo, rows, count);
        if (cmyk)
            for (JDIMENSION i = 0; i < got; ++i)
                CmykToBgrx(d.target + static_cast<size_t>(first + i) * width, width, inverted);
    }
    jpeg_finish_decompress(cinfo);
}

// Runs one step of libjpeg work. Returns false when libjpeg raised an error: the message is
// then in d.err.message and the decompressor is reset for its next use. Neither this frame
// nor the steps hold C++ objects with destructors.
bool Guarded(Decoder& d, Step step)
{
    if (setjmp(d.err.jump)) {
        jpeg_abort_decompress(&d.cinfo);
        return false;
    }
    step(d);
    return true;
}

}  // namespace

struct TJPEGImage::Impl {
    Decoder dec;
    std::vector<unsigned char> file;     // the whole file, as read
    TFileIdentity source;                // which version of the file that was
    bool loaded = false;                 // the header of `file` parsed without an error
    bool headerReady = false;            // the decompressor sits right after jpeg_read_header
    bool decoded = false;                // the last DIBNeeded succeeded ...
    bool decodedKept = false;            // ... and kept its pixels
    int width = 0, height = 0;
    // The pixel buffer, reused from page to page. It keeps its size between loads, so that
    // a page of the same size as the last one (the usual case in a book) neither allocates
    // nor clears memory; Picture() shows it only while it holds a decoded picture.
    TPixelSurface picture;
    std::vector<std::uint32_t> scratch;  // the probe's row

    // Parses the header of `file`; on a decoder error raises EJPEG.
    void ReadHeader()
    {
        headerReady = false;
        dec.data = file.data();
        dec.size = file.size();
        if (!Guarded(dec, ReadHeaderStep))
            throw EJPEG(dec.err.message);
        headerReady = true;
    }

    void Abort()
    {
        jpeg_abort_decompress(&dec.cinfo);
        headerReady = false;
    }
};

TJPEGImage::TJPEGImage() : impl_(std::make_unique<Impl>()) {}
TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::LoadFromFile(const std::string& path)
{
    Impl& d = *impl_;
    d.Abort();
    d.loaded = d.decoded = d.decodedKept = false;
    d.width = d.height = 0;

    const FileStatus read = ReadWholeFile(path, d.file, MaxPictureFileBytes, &d.source);
    if (read.fault == FileStatus::TooLarge)
        throw EJPEG("JPEG ファイルが大きすぎます: \"" + path + "\"");
    if (!read.Ok())
        throw EFOpenError("ファイル \"" + path + "\" を開けません。" + read.Reason());
    d.ReadHeader();
    d.loaded = true;
    d.width = static_cast<int>(d.dec.cinfo.image_width);
    d.height = static_cast<int>(d.dec.cinfo.image_height);
}

void TJPEGImage::DIBNeeded()
{
    Impl& d = *impl_;
    if (!d.loaded)
        throw EJPEG("展開する JPEG データがありません");
    if (d.decoded && (d.decodedKept || !KeepPixels))
        return;
    d.decoded = d.decodedKept = false;
    if (!d.headerReady)  // decoded before: start over on the same data
        d.ReadHeader();

    const std::int64_t w = d.dec.cinfo.image_width, h = d.dec.cinfo.image_height;
    if (w * h > MaxPicturePixels) {
        d.Abort();
        throw EJPEG("JPEG 画像が大きすぎます: " + std::to_string(w) + " x " + std::to_string(h) +
                    " 画素は " + std::to_string(MaxPicturePixels) + " 画素を超えます");
    }
    // The output buffer is taken here in C++, before libjpeg starts; at full scale the output
    // size is the image size.
    const bool keep = KeepPixels;
    try {
        if (keep) {
            d.picture.Reset(static_cast<int>(w), static_cast<int>(h));
        } else {
            SizeForOverwrite(d.scratch, static_cast<size_t>(w));
        }
    } catch (...) {
        d.Abort();
        throw;
    }
    d.dec.target = keep ? d.picture.Data.data() : nullptr;
    d.dec.scratch = d.scratch.data();
    d.dec.width = static_cast<JDIMENSION>(w);
    d.dec.height = static_cast<JDIMENSION>(h);

    const bool ok = Guarded(d.dec, DecodeStep);
    d.headerReady = false;
    d.dec.target = d.dec.scratch = nullptr;
    if (!ok)
        throw EJPEG(d.dec.err.message);
    d.decoded = true;
    d.decodedKept = keep;
}

const TFileIdentity& TJPEGImage::Source() const { return impl_->source; }

void TJPEGImage::Swap(TJPEGImage& other)
{
    void* const mine = impl_->dec.cinfo.client_data;
    void* const theirs = other.impl_->dec.cinfo.client_data;
    std::swap(impl_, other.impl_);
    impl_->dec.cinfo.client_data = mine;
    other.impl_->dec.cinfo.client_data = theirs;
}

void TJPEGImage::KeepBuffersFor(std::size_t pixels)
{
    Impl& d = *impl_;
    if (!OversizedFor(d.picture.Data.capacity(), pixels))
        return;
    std::vector<std::uint32_t>().swap(d.picture.Data);
    d.picture.Width = d.picture.Height = 0;
    d.decoded = d.decodedKept = false;
}

void TJPEGImage::SetCancelFlag(const std::atomic<bool>* flag)
{
    impl_->dec.cinfo.client_data = const_cast<std::atomic<bool>*>(flag);
}

int TJPEGImage::Width() const { return impl_->width; }
int TJPEGImage::Height() const { return impl_->height; }
bool TJPEGImage::Empty() const { return !impl_->loaded; }
const TPixelSurface& TJPEGImage::Picture() const
{
    static const TPixelSurface none;
    return impl_->decodedKept ? impl_->picture : none;
}
