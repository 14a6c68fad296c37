#include "scene/GFX_RibbonTiles.h"

#include "gfx/GFX_Image.h"
#include "gfx/OGL_Names.h"

#include <algorithm>
#include <cmath>

namespace
{
float Clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

// The picture's texel (x, y), clamped to its edges, as RGBA floats of 0…1.
void Texel(const GFX_Image& image, int x, int y, float out[4])
{
    const int w = image.GetWidth(), h = image.GetHeight();
    x = std::clamp(x, 0, w - 1);
    y = std::clamp(y, 0, h - 1);
    const int channels = image.GetBitsPerPixel() / 8;
    const unsigned char* p = image.GetPixels() + (size_t(y) * w + x) * channels;
    switch (channels)
    {
    case 1:
        out[0] = out[1] = out[2] = p[0] / 255.0f;
        out[3] = 1.0f;
        break;
    case 2:
        out[0] = out[1] = out[2] = p[0] / 255.0f;
        out[3] = p[1] / 255.0f;
        break;
    default:
        for (int i = 0; i < 3; ++i)
            out[i] = p[i] / 255.0f;
        out[3] = channels == 4 ? p[3] / 255.0f : 1.0f;
        break;
    }
}

// The picture sampled bilinearly at texture coordinates (s, t), edges clamped, as GL samples
// its full-size level.
void Sample(const GFX_Image& image, float s, float t, float out[4])
{
    const float x = s * image.GetWidth() - 0.5f, y = t * image.GetHeight() - 0.5f;
    const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
    const float fx = x - x0, fy = y - y0;
    float a[4], b[4], c[4], d[4];
    Texel(image, x0, y0, a);
    Texel(image, x0 + 1, y0, b);
    Texel(image, x0, y0 + 1, c);
    Texel(image, x0 + 1, y0 + 1, d);
    for (int i = 0; i < 4; ++i)
        out[i] = (a[i] * (1 - fx) + b[i] * fx) * (1 - fy) + (c[i] * (1 - fx) + d[i] * fx) * fy;
}
} // namespace

int GFX_RibbonTiles::RatioStep(float ratio)
{
    if (!(ratio >= MinRatio && ratio <= MaxRatio))
        return -1;
    const float place = std::log(ratio / MinRatio) / std::log(MaxRatio / MinRatio);
    return std::min(RatioSteps - 1, int(place * RatioSteps));
}

float GFX_RibbonTiles::StepRatio(int step)
{
    return MinRatio * std::pow(MaxRatio / MinRatio, (step + 0.5f) / RatioSteps);
}

std::vector<unsigned char> GFX_RibbonTiles::MakeTile(const GFX_Image& dot, float ratio, float alpha,
                                                     int tileWidth)
{
    std::vector<unsigned char> tile;
    if (!dot.HasPixels() || tileWidth <= 0 || ratio <= 0.0f)
        return tile;
    const int height = dot.GetHeight();
    tile.resize(size_t(tileWidth) * height * 4);
    // The neighbours on either side that a dot `ratio` intervals wide reaches into the tile.
    const int reach = int(std::ceil(ratio * 0.5f + 0.5f));
    for (int y = 0; y < height; ++y)
    {
        const float t = (y + 0.5f) / height;
        for (int x = 0; x < tileWidth; ++x)
        {
            // Along the row in intervals from the tile's own dot; the dots are drawn from the
            // row's start on, each over the ones before it.
            const float u = (x + 0.5f) / tileWidth - 0.5f;
            float premultiplied[3] = {0, 0, 0};
            float coverage = 0.0f;
            for (int k = -reach; k <= reach; ++k)
            {
                const float s = 0.5f + (u - float(k)) / ratio;
                if (s < 0.0f || s > 1.0f)
                    continue;
                float texel[4];
                Sample(dot, s, t, texel);
                const float a = alpha * texel[3];
                for (int i = 0; i < 3; ++i)
                    premultiplied[i] = texel[i] * a + premultiplied[i] * (1.0f - a);
                coverage = a + coverage * (1.0f - a);
            }
            unsigned char* out = &tile[(size_t(y) * tileWidth + x) * 4];
            for (int i = 0; i < 3; ++i)
                out[i] = static_cast<unsigned char>(std::lround(
                    255.0f * (coverage > 0.0f ? Clamp01(premultiplied[i] / coverage) : 1.0f)));
            out[3] = static_cast<unsigned char>(std::lround(255.0f * Clamp01(coverage)));
        }
    }
    return tile;
}

void GFX_RibbonTiles::MakeTexture(Tile& tile, const GFX_Image& dot, int step, float alpha)
{
    // As many texels along an interval as the dot texture has across a dot of that size on
    // screen, so the same mipmap level is read as for the dots themselves.
    const float ratio = StepRatio(step);
    tile.tileWidth = std::max(4, int(std::lround(dot.GetWidth() / ratio)));
    const std::vector<unsigned char> pixels = MakeTile(dot, ratio, alpha, tile.tileWidth);
    if (pixels.empty())
        return;
    tile.texture = OGL_Names::GenTexture();
    glBindTexture(GL_TEXTURE_2D, tile.texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, tile.tileWidth, dot.GetHeight(), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, pixels.data());
}

GLuint GFX_RibbonTiles::Texture(const GFX_Image& dot, float alpha, int step)
{
    Tile& tile = tiles[{alpha, step}];
    if (tile.texture == 0)
        MakeTexture(tile, dot, step, alpha);
    return tile.texture;
}

void GFX_RibbonTiles::Delete()
{
    for (auto& [key, tile] : tiles)
        OGL_Names::DeleteTexture(tile.texture);
    tiles.clear();
}
