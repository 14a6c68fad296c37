#include "gfx/GFX_ImageSerializer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

// One libFuzzer target per picture reader; HALVANE_FUZZ_READER names the reader's class. Each
// input is a whole file, read through an in-memory stream exactly as a file on disk would be.
// Beyond what the sanitizers catch, a reader must hand out either a picture whose block is as
// large as its sizes say, or nothing at all.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FILE* stream = fmemopen(const_cast<uint8_t*>(data), size, "rb");
    if (!stream)
        return 0;
    HALVANE_FUZZ_READER reader;
    std::unique_ptr<uint8_t[]> pixels;
    uint8_t bits = 0;
    int32_t width = 0;
    int32_t height = 0;
    const bool decoded = reader.LoadStream(stream, pixels, bits, width, height);
    std::fclose(stream);

    if (!decoded)
    {
        if (pixels || bits != 0 || width != 0 || height != 0)
            std::abort(); // a failed read must leave a wholly empty picture
        return 0;
    }
    if (!pixels || width <= 0 || height <= 0 || width > GFX_ImageSerializer::MaxSide ||
        height > GFX_ImageSerializer::MaxSide || (bits != 8 && bits != 24 && bits != 32))
        std::abort();
    // Touch both ends of the block: AddressSanitizer reports a block shorter than the picture.
    const size_t bytes = size_t(width) * size_t(height) * (bits / 8);
    volatile uint8_t ends = pixels[0] ^ pixels[bytes - 1];
    (void)ends;
    return 0;
}
