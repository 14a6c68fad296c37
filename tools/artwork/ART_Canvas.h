#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// Straight (not premultiplied) RGBA colour, every channel 0…1.
struct ART_Color
{
    double r = 0.0, g = 0.0, b = 0.0, a = 1.0;
};

ART_Color ART_Rgba(double r, double g, double b, double a = 1.0);
// Gray level `v` at opacity `a`.
ART_Color ART_Gray(double v, double a = 1.0);
// Channel-wise linear mix: x at t = 0, y at t = 1.
ART_Color ART_Mix(const ART_Color& x, const ART_Color& y, double t);

// The colour a paint gives to the point (x, y) of a canvas, in pixels with the origin at the
// top-left corner and y growing downwards; pixel (i, j) has its centre at (i + 0.5, j + 0.5).
using ART_Paint = std::function<ART_Color(double x, double y)>;

ART_Paint ART_Solid(const ART_Color& color);
// Colour c0 at (x0, y0) blending linearly into c1 at (x1, y1), constant beyond either end.
ART_Paint ART_LinearGradient(double x0, double y0, const ART_Color& c0, double x1, double y1,
                             const ART_Color& c1);
// Colour c0 at the centre blending into c1 at `radius`, constant beyond it.
ART_Paint ART_RadialGradient(double cx, double cy, double radius, const ART_Color& c0,
                             const ART_Color& c1);

// A signed distance in pixels from a point to a shape's outline, negative inside.
using ART_Shape = std::function<double(double x, double y)>;

// Coverage of every pixel, 0…1: where a shape, a glyph or a blurred glow lies.
class ART_Mask
{
public:
    ART_Mask(int width, int height);

    // Anti-aliased coverage of a shape: a pixel whose centre lies on the outline is half covered,
    // and coverage ramps over one pixel across it.
    static ART_Mask FromShape(int width, int height, const ART_Shape& shape);

    int Width() const { return width; }
    int Height() const { return height; }
    double At(int x, int y) const { return value[size_t(y) * size_t(width) + size_t(x)]; }
    double& At(int x, int y) { return value[size_t(y) * size_t(width) + size_t(x)]; }

    // Separable Gaussian blur of standard deviation `sigma` pixels; the outside counts as empty.
    ART_Mask& Blur(double sigma);
    ART_Mask& Multiply(double factor);
    // Coverage of either mask (the larger of the two per pixel).
    ART_Mask& Unite(const ART_Mask& other);
    // Removes the other mask's coverage from this one.
    ART_Mask& Subtract(const ART_Mask& other);
    // Keeps only what both masks cover.
    ART_Mask& Intersect(const ART_Mask& other);

private:
    int width;
    int height;
    std::vector<double> value;
};

enum class ART_Blend
{
    Over,    // paint laid on top of what is there, weighted by coverage and its alpha
    Replace, // what is there moves towards the paint (colour and alpha) by the coverage
    Erase,   // what is there loses opacity by the coverage times the paint's alpha
};

// An RGBA picture drawn in floating point: premultiplied colour, top row first. Everything is
// computed in double precision from fixed inputs, so the same program draws the same bytes.
class ART_Canvas
{
public:
    ART_Canvas(int width, int height);

    int Width() const { return width; }
    int Height() const { return height; }

    void Composite(const ART_Mask& mask, const ART_Paint& paint, ART_Blend blend = ART_Blend::Over);
    void Fill(const ART_Shape& shape, const ART_Paint& paint, ART_Blend blend = ART_Blend::Over);
    // Lays `other` (same size) over this canvas.
    void Over(const ART_Canvas& other);

    // Straight colour of a pixel; a fully transparent pixel reads as transparent black.
    ART_Color Pixel(int x, int y) const;
    void SetPixel(int x, int y, const ART_Color& color);

    // Straight RGBA bytes, top row first. Fully transparent pixels take the colour of the nearest
    // visible ones, so that filtering a texture never pulls dark fringes into its edges.
    std::vector<uint8_t> ToRgba8() const;

private:
    int width;
    int height;
    std::vector<double> rgba; // premultiplied
};
