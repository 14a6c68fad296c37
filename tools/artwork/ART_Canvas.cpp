#include "tools/artwork/ART_Canvas.h"

#include <algorithm>
#include <cmath>

namespace
{
double Clamp01(double v)
{
    return std::min(1.0, std::max(0.0, v));
}

uint8_t ToByte(double v)
{
    return uint8_t(std::lround(Clamp01(v) * 255.0));
}
} // namespace

ART_Color ART_Rgba(double r, double g, double b, double a)
{
    return ART_Color{r, g, b, a};
}

ART_Color ART_Gray(double v, double a)
{
    return ART_Color{v, v, v, a};
}

ART_Color ART_Mix(const ART_Color& x, const ART_Color& y, double t)
{
    return ART_Color{x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
                     x.a + (y.a - x.a) * t};
}

ART_Paint ART_Solid(const ART_Color& color)
{
    return [color](double, double) { return color; };
}

ART_Paint ART_LinearGradient(double x0, double y0, const ART_Color& c0, double x1, double y1,
                             const ART_Color& c1)
{
    const double dx = x1 - x0, dy = y1 - y0;
    const double length2 = dx * dx + dy * dy;
    return [=](double x, double y)
    {
        const double t = length2 > 0.0 ? ((x - x0) * dx + (y - y0) * dy) / length2 : 0.0;
        return ART_Mix(c0, c1, Clamp01(t));
    };
}

ART_Paint ART_RadialGradient(double cx, double cy, double radius, const ART_Color& c0,
                             const ART_Color& c1)
{
    return [=](double x, double y)
    {
        const double t = std::hypot(x - cx, y - cy) / radius;
        return ART_Mix(c0, c1, Clamp01(t));
    };
}

ART_Mask::ART_Mask(int width, int height)
    : width(width), height(height), value(size_t(width) * size_t(height), 0.0)
{
}

ART_Mask ART_Mask::FromShape(int width, int height, const ART_Shape& shape)
{
    ART_Mask mask(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            mask.At(x, y) = Clamp01(0.5 - shape(x + 0.5, y + 0.5));
    return mask;
}

ART_Mask& ART_Mask::Blur(double sigma)
{
    if (sigma <= 0.0)
        return *this;
    const int radius = int(std::ceil(sigma * 3.0));
    std::vector<double> kernel(size_t(2 * radius + 1));
    double sum = 0.0;
    for (int i = -radius; i <= radius; ++i)
    {
        kernel[size_t(i + radius)] = std::exp(-0.5 * (i * i) / (sigma * sigma));
        sum += kernel[size_t(i + radius)];
    }
    for (double& k : kernel)
        k /= sum;

    std::vector<double> pass(value.size(), 0.0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            double acc = 0.0;
            for (int i = -radius; i <= radius; ++i)
                if (x + i >= 0 && x + i < width)
                    acc += kernel[size_t(i + radius)] * At(x + i, y);
            pass[size_t(y) * size_t(width) + size_t(x)] = acc;
        }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            double acc = 0.0;
            for (int i = -radius; i <= radius; ++i)
                if (y + i >= 0 && y + i < height)
                    acc += kernel[size_t(i + radius)] *
                           pass[size_t(y + i) * size_t(width) + size_t(x)];
            At(x, y) = acc;
        }
    return *this;
}

ART_Mask& ART_Mask::Multiply(double factor)
{
    for (double& v : value)
        v = Clamp01(v * factor);
    return *this;
}

ART_Mask& ART_Mask::Unite(const ART_Mask& other)
{
    for (size_t i = 0; i < value.size(); ++i)
        value[i] = std::max(value[i], other.value[i]);
    return *this;
}

ART_Mask& ART_Mask::Subtract(const ART_Mask& other)
{
    for (size_t i = 0; i < value.size(); ++i)
        value[i] = value[i] * (1.0 - other.value[i]);
    return *this;
}

ART_Mask& ART_Mask::Intersect(const ART_Mask& other)
{
    for (size_t i = 0; i < value.size(); ++i)
        value[i] = value[i] * other.value[i];
    return *this;
}

ART_Canvas::ART_Canvas(int width, int height)
    : width(width), height(height), rgba(size_t(width) * size_t(height) * 4, 0.0)
{
}

void ART_Canvas::Composite(const ART_Mask& mask, const ART_Paint& paint, ART_Blend blend)
{
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const double coverage = mask.At(x, y);
            if (coverage <= 0.0)
                continue;
            const ART_Color c = paint(x + 0.5, y + 0.5);
            double* p = &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
            switch (blend)
            {
            case ART_Blend::Over:
            {
                const double a = Clamp01(c.a) * coverage;
                p[0] = c.r * a + p[0] * (1.0 - a);
                p[1] = c.g * a + p[1] * (1.0 - a);
                p[2] = c.b * a + p[2] * (1.0 - a);
                p[3] = a + p[3] * (1.0 - a);
                break;
            }
            case ART_Blend::Replace:
            {
                const double a = Clamp01(c.a);
                p[0] += (c.r * a - p[0]) * coverage;
                p[1] += (c.g * a - p[1]) * coverage;
                p[2] += (c.b * a - p[2]) * coverage;
                p[3] += (a - p[3]) * coverage;
                break;
            }
            case ART_Blend::Erase:
            {
                const double keep = 1.0 - Clamp01(c.a) * coverage;
                for (int k = 0; k < 4; ++k)
                    p[k] *= keep;
                break;
            }
            }
        }
}

void ART_Canvas::Fill(const ART_Shape& shape, const ART_Paint& paint, ART_Blend blend)
{
    Composite(ART_Mask::FromShape(width, height, shape), paint, blend);
}

void ART_Canvas::Over(const ART_Canvas& other)
{
    for (size_t i = 0; i < rgba.size(); i += 4)
    {
        const double a = other.rgba[i + 3];
        for (int k = 0; k < 4; ++k)
            rgba[i + size_t(k)] = other.rgba[i + size_t(k)] + rgba[i + size_t(k)] * (1.0 - a);
    }
}

ART_Color ART_Canvas::Pixel(int x, int y) const
{
    const double* p = &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
    if (p[3] <= 0.0)
        return ART_Color{0.0, 0.0, 0.0, 0.0};
    return ART_Color{p[0] / p[3], p[1] / p[3], p[2] / p[3], p[3]};
}

void ART_Canvas::SetPixel(int x, int y, const ART_Color& color)
{
    double* p = &rgba[(size_t(y) * size_t(width) + size_t(x)) * 4];
    const double a = Clamp01(color.a);
    p[0] = color.r * a;
    p[1] = color.g * a;
    p[2] = color.b * a;
    p[3] = a;
}

std::vector<uint8_t> ART_Canvas::ToRgba8() const
{
    const size_t count = size_t(width) * size_t(height);
    std::vector<uint8_t> bytes(count * 4, 0);
    std::vector<char> known(count, 0);
    for (size_t i = 0; i < count; ++i)
    {
        const double* p = &rgba[i * 4];
        const uint8_t alpha = ToByte(p[3]);
        bytes[i * 4 + 3] = alpha;
        if (alpha == 0)
            continue;
        for (int k = 0; k < 3; ++k)
            bytes[i * 4 + size_t(k)] = ToByte(p[k] / p[3]);
        known[i] = 1;
    }

    // Grow the visible colours outwards one ring at a time, each transparent pixel taking the
    // mean of its already coloured neighbours.
    for (bool grew = true; grew;)
    {
        grew = false;
        std::vector<char> next = known;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
            {
                const size_t i = size_t(y) * size_t(width) + size_t(x);
                if (known[i])
                    continue;
                int sum[3] = {0, 0, 0};
                int n = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                    {
                        const int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= width || ny >= height)
                            continue;
                        const size_t j = size_t(ny) * size_t(width) + size_t(nx);
                        if (!known[j])
                            continue;
                        for (int k = 0; k < 3; ++k)
                            sum[k] += bytes[j * 4 + size_t(k)];
                        ++n;
                    }
                if (n == 0)
                    continue;
                for (int k = 0; k < 3; ++k)
                    bytes[i * 4 + size_t(k)] = uint8_t((sum[k] + n / 2) / n);
                next[i] = 1;
                grew = true;
            }
        known.swap(next);
    }
    return bytes;
}
