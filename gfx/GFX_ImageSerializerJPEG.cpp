#include "gfx/GFX_ImageSerializer.h"

#include "util/UTL_File.h"

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs size_t and FILE declared before it.
#include <jerror.h>
#include <jpeglib.h>

namespace
{
// libjpeg's standard error manager ends the process on an error. This one jumps back to the
// decoder instead, which then abandons the picture. Warnings about damaged data in the scans are
// treated as errors too: libjpeg would otherwise fill a truncated or corrupt picture with grey
// and report success.
struct ErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jump;
    // Until the header is in, warnings are about the markers around the picture data (stray
    // bytes between segments, an unusual JFIF version), which libjpeg skips without loss.
    bool readingHeader;
};

[[noreturn]] void ErrorExit(j_common_ptr decoder)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(decoder->err)->jump, 1);
}

bool IsHarmlessWarning(int code)
{
    // Unusual but intact headers; the picture decodes correctly.
    return code == JWRN_JFIF_MAJOR || code == JWRN_ADOBE_XFORM || code == JWRN_BOGUS_ICC;
}

void EmitMessage(j_common_ptr decoder, int level)
{
    // Level -1 is a warning; higher levels are trace messages, which are not shown.
    if (level < 0)
    {
        ++decoder->err->num_warnings;
        const auto* errors = reinterpret_cast<const ErrorManager*>(decoder->err);
        if (!errors->readingHeader && !IsHarmlessWarning(decoder->err->msg_code))
            ErrorExit(decoder);
    }
}

void OutputMessage(j_common_ptr) {}

// Everything the decoding touches lives here, outside the function that calls setjmp, so that
// nothing it relies on after a longjmp is a local variable changed since the setjmp.
struct Decoder
{
    jpeg_decompress_struct info;
    ErrorManager errors;
    // Every scanline is in: a complaint while finishing (junk before the end marker, a
    // missing end marker) no longer costs the picture.
    bool complete;
};
} // namespace

GFX_ImageSerializerJPEG::~GFX_ImageSerializerJPEG() = default;

bool GFX_ImageSerializerJPEG::Load(const std::string& path, std::unique_ptr<uint8_t[]>& outPixels,
                                   uint8_t& outBitsPerPixel, int32_t& outWidth, int32_t& outHeight)
{
    UTL_File file;
    FILE* stream = file.Open(path, UTL_File::ReadMode);
    if (!stream)
    {
        std::fprintf(stderr, "JPEG Error: Can't open file %s\n", path.c_str());
        Clear();
        return HandOut(outPixels, outBitsPerPixel, outWidth, outHeight);
    }
    return LoadStream(stream, outPixels, outBitsPerPixel, outWidth, outHeight);
}

bool GFX_ImageSerializerJPEG::LoadStream(FILE* stream, std::unique_ptr<uint8_t[]>& outPixels,
                                         uint8_t& outBitsPerPixel, int32_t& outWidth,
                                         int32_t& outHeight)
{
    Clear();
    Decoder decoder{};
    if (!Decode(&decoder, stream))
        Clear();
    return HandOut(outPixels, outBitsPerPixel, outWidth, outHeight);
}

bool GFX_ImageSerializerJPEG::Decode(void* state, FILE* stream)
{
    // No object with a destructor may live in this frame: a longjmp from libjpeg skips them.
    Decoder* decoder = static_cast<Decoder*>(state);
    jpeg_decompress_struct* info = &decoder->info;
    info->err = jpeg_std_error(&decoder->errors.base);
    decoder->errors.base.error_exit = ErrorExit;
    decoder->errors.base.emit_message = EmitMessage;
    decoder->errors.base.output_message = OutputMessage;
    if (setjmp(decoder->errors.jump))
    {
        jpeg_destroy_decompress(info);
        return decoder->complete;
    }

    jpeg_create_decompress(info);
    info->mem->max_memory_to_use = MaxDecoderMemory;
    jpeg_stdio_src(info, stream);
    decoder->errors.readingHeader = true;
    jpeg_read_header(info, TRUE);
    decoder->errors.readingHeader = false;

    // Refuse absurd sizes and pictures that cannot become RGB (grey, CMYK) before libjpeg
    // allocates its buffers.
    if (!IsWithinSideLimit(info->image_width, info->image_height) ||
        info->out_color_space != JCS_RGB)
    {
        jpeg_destroy_decompress(info);
        return false;
    }
    info->scale_num = unsigned(ScaleEighthsFor(info->image_width, info->image_height));
    info->scale_denom = 8;
    jpeg_start_decompress(info);
    if (info->out_color_components != 3 || info->output_components != 3 ||
        !IsSensibleSize(info->output_width, info->output_height))
    {
        jpeg_destroy_decompress(info);
        return false;
    }

    const size_t rowBytes = size_t(info->output_width) * 3;
    pixels = Allocate(rowBytes * info->output_height, false);
    if (!pixels)
    {
        jpeg_destroy_decompress(info);
        return false;
    }
    // The first scanline is the top of the picture: it goes to the last row, so that the
    // block is bottom row first like every other reader's.
    while (info->output_scanline < info->output_height)
    {
        JSAMPROW row = pixels.get() + (info->output_height - 1 - info->output_scanline) * rowBytes;
        jpeg_read_scanlines(info, &row, 1);
    }
    bitsPerPixel = 24;
    width = int32_t(info->output_width);
    height = int32_t(info->output_height);
    decoder->complete = true;
    jpeg_finish_decompress(info);
    jpeg_destroy_decompress(info);
    return true;
}

int GFX_ImageSerializerJPEG::ScaleEighthsFor(int64_t width, int64_t height)
{
    const int64_t longer = width > height ? width : height;
    if (longer <= DisplaySide)
        return 8;
    // The fewest eighths whose share of the longer side still reaches DisplaySide.
    const int64_t eighths = (8 * int64_t(DisplaySide) + longer - 1) / longer;
    return eighths < 1 ? 1 : int(eighths);
}

bool GFX_ImageSerializerJPEG::Save(const std::string&, const uint8_t*, uint8_t, int32_t, int32_t)
{
    return false;
}
