#pragma once

#include <GL/gl.h>
#include <map>
#include <utility>
#include <vector>

class GFX_Image;

// The tile textures of the dot ribbons: for dots of one opacity whose size on screen stands in
// one ratio to the interval between them, a tile one interval long holding a dot and whatever of
// its neighbours reaches into it, composited as the dots themselves would blend. A ribbon's
// texture repeats it once per dot. The ratios that have tiles of their own are spread evenly on
// a logarithmic scale from MinRatio to MaxRatio.
//
// MakeTile and the ratio arithmetic are plain code; Texture makes a GL texture on first use,
// on the GL thread, and Delete releases them all with the context current.
class GFX_RibbonTiles
{
public:
    GFX_RibbonTiles() = default;
    GFX_RibbonTiles(const GFX_RibbonTiles&) = delete;
    GFX_RibbonTiles& operator=(const GFX_RibbonTiles&) = delete;

    // The texture of the tile for dots of `alpha` at ratio step `step`, made from the picture
    // `dot` the first time; 0 for a picture without pixels.
    GLuint Texture(const GFX_Image& dot, float alpha, int step);
    void Delete();

    // The tile for dots of opacity `alpha` at `ratio`, RGBA rows bottom-up as GL reads them:
    // `tileWidth` texels along the row (one interval) by the dot texture's height across, the
    // tile's own dot in the middle. The colour is that of the composited dots over the texture's
    // colour, the alpha their combined coverage. Empty for a picture without pixels.
    static std::vector<unsigned char> MakeTile(const GFX_Image& dot, float ratio, float alpha,
                                               int tileWidth);
    // The step of the ratio range that `ratio` falls in, or −1 outside it.
    static int RatioStep(float ratio);
    static float StepRatio(int step);

    static constexpr float MinRatio = 0.5f;
    static constexpr float MaxRatio = 3.0f;
    static constexpr int RatioSteps = 32;

private:
    struct Tile
    {
        GLuint texture = 0;
        int tileWidth = 0;
    };
    void MakeTexture(Tile& tile, const GFX_Image& dot, int step, float alpha);

    // By opacity and ratio step.
    std::map<std::pair<float, int>, Tile> tiles;
};
