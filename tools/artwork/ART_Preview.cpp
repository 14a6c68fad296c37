#include "tools/artwork/ART_Preview.h"

#include "gfx/GFX_Theme.h"
#include "tools/artwork/ART_Shapes.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>

namespace
{
const double Pi = 3.14159265358979323846;
const double GlobeRadius = 5555.5;

double Clamp01(double v)
{
    return std::min(1.0, std::max(0.0, v));
}

struct Vec
{
    double x = 0.0, y = 0.0, z = 0.0;
    Vec operator+(const Vec& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec operator-(const Vec& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec operator*(double k) const { return {x * k, y * k, z * k}; }
    double Dot(const Vec& o) const { return x * o.x + y * o.y + z * o.z; }
    Vec Cross(const Vec& o) const
    {
        return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
    }
    double Length() const { return std::sqrt(Dot(*this)); }
    Vec Unit() const { return *this * (1.0 / Length()); }
};

ART_Color Rgb(const GFX_Vector3& v)
{
    return ART_Rgba(v.x, v.y, v.z);
}
ART_Color Rgba(const GFX_ColorRGBA& c)
{
    return ART_Rgba(c.r, c.g, c.b, c.a);
}

// A texture as the GPU holds it: RGBA8 levels down to 1 × 1, each texel the mean of four in the
// level above, sampled trilinearly.
class Texture
{
public:
    Texture(const ART_Canvas& canvas, bool repeat) : repeat(repeat)
    {
        Level base{canvas.Width(), canvas.Height(), {}};
        const std::vector<uint8_t> bytes = canvas.ToRgba8();
        base.texels.assign(bytes.begin(), bytes.end());
        for (double& v : base.texels)
            v = v / 255.0;
        levels.push_back(base);
        while (levels.back().width > 1 || levels.back().height > 1)
        {
            const Level& up = levels.back();
            Level down{std::max(1, up.width / 2), std::max(1, up.height / 2), {}};
            down.texels.assign(size_t(down.width) * size_t(down.height) * 4, 0.0);
            for (int y = 0; y < down.height; ++y)
                for (int x = 0; x < down.width; ++x)
                    for (int k = 0; k < 4; ++k)
                    {
                        double sum = 0.0;
                        for (int j = 0; j < 2; ++j)
                            for (int i = 0; i < 2; ++i)
                                sum += up.At(std::min(up.width - 1, 2 * x + i),
                                             std::min(up.height - 1, 2 * y + j), k);
                        down.texels[(size_t(y) * size_t(down.width) + size_t(x)) * 4 + size_t(k)] =
                            sum / 4.0;
                    }
            levels.push_back(std::move(down));
        }
    }

    int Width() const { return levels[0].width; }
    int Height() const { return levels[0].height; }

    // (s, t) with t = 0 at the bottom of the picture; `lod` is log2 of texels per pixel.
    ART_Color Sample(double s, double t, double lod) const
    {
        lod = std::max(0.0, std::min(lod, double(levels.size() - 1)));
        const int l0 = int(std::floor(lod));
        const int l1 = std::min(l0 + 1, int(levels.size()) - 1);
        const double f = lod - l0;
        return ART_Mix(Bilinear(levels[size_t(l0)], s, t), Bilinear(levels[size_t(l1)], s, t), f);
    }

private:
    struct Level
    {
        int width, height;
        std::vector<double> texels; // straight RGBA, top row first
        double At(int x, int y, int k) const
        {
            return texels[(size_t(y) * size_t(width) + size_t(x)) * 4 + size_t(k)];
        }
    };

    int Wrap(int i, int n) const
    {
        if (repeat)
            return ((i % n) + n) % n;
        return std::min(n - 1, std::max(0, i));
    }

    ART_Color Bilinear(const Level& level, double s, double t) const
    {
        const double x = s * level.width - 0.5;
        const double y = (1.0 - t) * level.height - 0.5;
        const int x0 = int(std::floor(x)), y0 = int(std::floor(y));
        const double fx = x - x0, fy = y - y0;
        double c[4] = {0, 0, 0, 0};
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i)
            {
                const double w = (i ? fx : 1.0 - fx) * (j ? fy : 1.0 - fy);
                const int xi = Wrap(x0 + i, level.width), yi = Wrap(y0 + j, level.height);
                for (int k = 0; k < 4; ++k)
                    c[k] += w * level.At(xi, yi, k);
            }
        return ART_Rgba(c[0], c[1], c[2], c[3]);
    }

    bool repeat;
    std::vector<Level> levels;
};

ART_Color Modulate(const ART_Color& a, const ART_Color& b)
{
    return ART_Rgba(a.r * b.r, a.g * b.g, a.b * b.b, a.a * b.a);
}

// An opaque window with a depth buffer, addressed in GL window coordinates: origin at the
// bottom-left corner, y up.
class Frame
{
public:
    Frame(int width, int height)
        : width(width), height(height), rgb(size_t(width) * size_t(height) * 3, 0.0),
          depth(size_t(width) * size_t(height), 1e30)
    {
    }

    int width, height;

    struct State
    {
        bool blend = false;
        bool depthTest = false;
        bool depthWrite = false;
        bool fog = false;
        ART_Color fogColor;
        double fogStart = 20000.0, fogEnd = 27500.0;
    };
    State state;

    void Clear(const ART_Color& c)
    {
        for (size_t i = 0; i < rgb.size(); i += 3)
        {
            rgb[i] = c.r;
            rgb[i + 1] = c.g;
            rgb[i + 2] = c.b;
        }
        std::fill(depth.begin(), depth.end(), 1e30);
    }

    void Fragment(int x, int y, ART_Color c, double z)
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return;
        const size_t i = size_t(height - 1 - y) * size_t(width) + size_t(x);
        if (state.depthTest && z > depth[i])
            return;
        if (state.fog)
        {
            const double f = Clamp01((state.fogEnd - z) / (state.fogEnd - state.fogStart));
            c.r = c.r * f + state.fogColor.r * (1.0 - f);
            c.g = c.g * f + state.fogColor.g * (1.0 - f);
            c.b = c.b * f + state.fogColor.b * (1.0 - f);
        }
        const double a = state.blend ? Clamp01(c.a) : 1.0;
        double* p = &rgb[i * 3];
        p[0] = Clamp01(c.r) * a + p[0] * (1.0 - a);
        p[1] = Clamp01(c.g) * a + p[1] * (1.0 - a);
        p[2] = Clamp01(c.b) * a + p[2] * (1.0 - a);
        if (state.depthWrite)
            depth[i] = z;
    }

    // A parallelogram with corner p0 at texture (s0, t0), p1 at (s1, t0) and p3 at (s0, t1), all
    // at depth z, in `color` times the texture (or plain colour without one).
    void Quad(double x0, double y0, double x1, double y1, double x3, double y3, double s0,
              double t0, double s1, double t1, const ART_Color& color, const Texture* texture,
              double z = 0.0)
    {
        const double ax = x1 - x0, ay = y1 - y0, bx = x3 - x0, by = y3 - y0;
        const double det = ax * by - ay * bx;
        if (std::fabs(det) < 1e-9)
            return;
        const double minX = std::min({x0, x1, x3, x1 + bx}), maxX = std::max({x0, x1, x3, x1 + bx});
        const double minY = std::min({y0, y1, y3, y1 + by}), maxY = std::max({y0, y1, y3, y1 + by});
        // Derivatives of (u, v) over window x and y give the level of detail.
        const double dudx = by / det, dudy = -bx / det, dvdx = -ay / det, dvdy = ax / det;
        double lod = 0.0;
        if (texture)
        {
            const double w = texture->Width() * (s1 - s0), h = texture->Height() * (t1 - t0);
            const double rx = std::hypot(dudx * w, dvdx * h), ry = std::hypot(dudy * w, dvdy * h);
            lod = std::log2(std::max(1e-9, std::max(rx, ry)));
        }
        for (int y = int(std::floor(minY)); y <= int(std::ceil(maxY)); ++y)
            for (int x = int(std::floor(minX)); x <= int(std::ceil(maxX)); ++x)
            {
                const double px = x + 0.5 - x0, py = y + 0.5 - y0;
                const double u = (px * by - py * bx) / det, v = (ax * py - ay * px) / det;
                if (u < 0.0 || u >= 1.0 || v < 0.0 || v >= 1.0)
                    continue;
                ART_Color c = color;
                if (texture)
                    c = Modulate(c, texture->Sample(s0 + u * (s1 - s0), t0 + v * (t1 - t0), lod));
                Fragment(x, y, c, z);
            }
    }

    // An axis-aligned rectangle, texture (0, 0) at its lower-left corner and (1, 1) at the upper
    // right.
    void Rect(double left, double bottom, double right, double top, const ART_Color& color,
              const Texture* texture, double z = 0.0)
    {
        Quad(left, bottom, right, bottom, left, top, 0, 0, 1, 1, color, texture, z);
    }

    ART_Canvas ToCanvas() const
    {
        ART_Canvas canvas(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
            {
                const double* p = &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3];
                canvas.SetPixel(x, y, ART_Rgba(p[0], p[1], p[2]));
            }
        return canvas;
    }

private:
    std::vector<double> rgb; // top row first
    std::vector<double> depth;
};

// Texture coordinates of a direction on a cube-sphere model: the face it lies on and the
// face's (row, column) fractions, which the models use as (s, t).
void CubeSphereTexCoord(const Vec& w, double& s, double& t)
{
    const double ax = std::fabs(w.x), ay = std::fabs(w.y), az = std::fabs(w.z);
    const double m = 2.0 * std::max({ax, ay, az});
    const Vec q{w.x / m, w.y / m, w.z / m};
    if (ax >= ay && ax >= az)
    {
        t = q.y + 0.5;
        s = w.x > 0 ? 0.5 - q.z : q.z + 0.5;
    }
    else if (ay >= az)
    {
        s = 0.5 - q.z;
        t = w.y > 0 ? 0.5 - q.x : q.x + 0.5;
    }
    else
    {
        t = q.y + 0.5;
        s = w.z > 0 ? q.x + 0.5 : 0.5 - q.x;
    }
}

// A lit textured ball: centre (cx, cy) in window pixels, radius in pixels, depth z at its centre
// and `depthPerPixel` scene units per pixel; `toModel` turns a view direction (x right, y up,
// z towards the viewer) into the model's frame; light `light` in view space.
template <typename ToModel>
void Ball(Frame& frame, double cx, double cy, double radius, double z, double depthPerPixel,
          const Texture& texture, const ART_Color& color, const Vec& light, ToModel toModel)
{
    auto texCoord = [&](double px, double py, double& s, double& t)
    {
        const double dx = (px - cx) / radius, dy = (py - cy) / radius;
        const double r2 = dx * dx + dy * dy;
        if (r2 >= 1.0)
            return false;
        CubeSphereTexCoord(toModel(Vec{dx, dy, std::sqrt(1.0 - r2)}), s, t);
        return true;
    };
    for (int y = int(cy - radius) - 1; y <= int(cy + radius) + 1; ++y)
        for (int x = int(cx - radius) - 1; x <= int(cx + radius) + 1; ++x)
        {
            const double px = x + 0.5, py = y + 0.5;
            const double dx = (px - cx) / radius, dy = (py - cy) / radius;
            const double r2 = dx * dx + dy * dy;
            if (r2 >= 1.0)
                continue;
            const Vec n{dx, dy, std::sqrt(1.0 - r2)};
            double s, t;
            texCoord(px, py, s, t);
            // The finest texel step to a neighbour on the same face sets the level of detail.
            double rho = 1e9;
            for (const auto& o : {std::pair<int, int>{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
            {
                double s2, t2;
                if (!texCoord(px + o.first, py + o.second, s2, t2))
                    continue;
                const double d =
                    std::hypot((s2 - s) * texture.Width(), (t2 - t) * texture.Height());
                if (d < 0.5 * texture.Width())
                    rho = std::min(rho, d);
            }
            const double lod = rho < 1e9 ? std::log2(std::max(rho, 1e-9)) : 0.0;
            const double lit = std::max(0.0, n.Dot(light));
            ART_Color c = Modulate(texture.Sample(s, t, lod), color);
            c.r *= lit;
            c.g *= lit;
            c.b *= lit;
            c.a = color.a;
            frame.Fragment(x, y, c, z - n.z * radius * depthPerPixel);
        }
}

// Stand-in profile pictures for the mock-up.
ART_Canvas Portrait(int seed)
{
    const ART_Color backgrounds[] = {ART_Rgba(0.85, 0.62, 0.45), ART_Rgba(0.35, 0.55, 0.42),
                                     ART_Rgba(0.55, 0.62, 0.80), ART_Rgba(0.78, 0.72, 0.55),
                                     ART_Rgba(0.60, 0.40, 0.50), ART_Rgba(0.30, 0.42, 0.58)};
    const ART_Color shirts[] = {ART_Rgba(0.20, 0.25, 0.45), ART_Rgba(0.85, 0.85, 0.80),
                                ART_Rgba(0.60, 0.15, 0.15), ART_Rgba(0.15, 0.35, 0.30)};
    const ART_Color skins[] = {ART_Rgba(0.93, 0.78, 0.66), ART_Rgba(0.72, 0.52, 0.38),
                               ART_Rgba(0.48, 0.33, 0.24), ART_Rgba(0.86, 0.70, 0.56)};
    const ART_Color hairs[] = {ART_Rgba(0.15, 0.10, 0.07), ART_Rgba(0.55, 0.35, 0.18),
                               ART_Rgba(0.85, 0.72, 0.45), ART_Rgba(0.30, 0.28, 0.27)};
    const int w = 96, h = 128 - (seed % 3) * 16; // not all square
    ART_Canvas c(w, h);
    const ART_Color bg = backgrounds[seed % 6];
    c.Fill(ART_BoxShape(w / 2.0, h / 2.0, w, h),
           ART_LinearGradient(0, 0, ART_Mix(bg, ART_Gray(1.0), 0.3), 0, h, bg));
    const double headY = h * 0.42, headR = w * 0.2;
    c.Fill(ART_CircleShape(w / 2.0, h + w * 0.12, w * 0.46), ART_Solid(shirts[seed % 4]));
    c.Fill(ART_CircleShape(w / 2.0, headY - headR * 0.25, headR * 1.12),
           ART_Solid(hairs[(seed / 2) % 4]));
    c.Fill(ART_CircleShape(w / 2.0, headY, headR), ART_Solid(skins[(seed / 3) % 4]));
    return c;
}

struct ThemeEntry
{
    std::string name;
    GFX_Theme theme;
};

// The themes of the file with the names their comments give them ("// Night sky: …").
std::vector<ThemeEntry> ReadThemes(const std::string& path)
{
    std::vector<GFX_Theme> themes;
    GFX_Theme current;
    LoadThemes(path, themes, current);
    const std::vector<std::string> names = ReadThemeNames(path);
    std::vector<ThemeEntry> entries;
    for (size_t i = 0; i < themes.size(); ++i)
        entries.push_back(
            {i < names.size() && !names[i].empty() ? names[i] : "Theme " + std::to_string(i + 1),
             themes[i]});
    if (entries.empty())
        entries.push_back({"Defaults", GFX_Theme()});
    return entries;
}

struct Person
{
    std::string name;
    int portrait; // -1: none, the placeholder shows
};

const Person People[] = {
    {"Mira Castell", 0}, {"Jonas Berg", 1},  {"Ana Souza", 2},       {"Tomás Ibáñez", -1},
    {"Lea Hoffmann", 3}, {"Kofi Mensah", 4}, {"Yuki Tanaka", 5},     {"Oskar Lund", -1},
    {"Priya Nair", 6},   {"Sam O'Neill", 7}, {"Élodie Marchand", 8}, {"Noah Weiss", 9},
    {"Zoë Adler", 10},   {"Rui Costa", -1},  {"Hana Novak", 11},     {"Björn Ek", 12},
};
const int PeopleCount = int(sizeof(People) / sizeof(People[0]));

// The name as the viewer's 8-bit text holds it: Latin-1.
std::string Latin1(const std::string& utf8)
{
    std::string out;
    for (char32_t c : ART_Utf32(utf8))
        out.push_back(c < 256 ? char(c) : '?');
    return out;
}

class Mockup
{
public:
    Mockup(const std::map<std::string, const ART_Canvas*>& canvases, const GFX_Theme& theme)
        : theme(theme)
    {
        auto make = [&](const char* file, bool repeat)
        {
            auto it = canvases.find(file);
            textures[file] =
                it == canvases.end() ? nullptr : std::make_unique<Texture>(*it->second, repeat);
        };
        for (const char* file :
             {"halvane.tga", "vessun.tga", "sphere_button.tga", "billboard.tga", "color_ball.tga",
              "widget.tga", "top_bar.tga", "locator.tga", "question.tga", "fixed_font.tga"})
            make(file, false);
        for (const char* file :
             {"dial.tga", "rot_but_1.tga", "rot_but_2.tga", "rot_but_3.tga", "ruler.tga"})
            make(file, true);
        for (int i = 0; i < 13; ++i)
            portraits.push_back(std::make_unique<Texture>(Portrait(i), false));
    }

    ART_Canvas Draw(int width, int height)
    {
        Frame frame(width, height);
        frame.Clear(Rgb(theme.BackgroundColor));
        DrawScene(frame);
        DrawInterface(frame);
        return frame.ToCanvas();
    }

private:
    const Texture* Tex(const char* file) const { return textures.at(file).get(); }

    const Texture* Picture(int person) const
    {
        const int p = People[person % PeopleCount].portrait;
        return p < 0 ? Tex("question.tga") : portraits[size_t(p)].get();
    }

    // The camera of the scene: heading 0 would face longitude 0; this one faces the user.
    struct Camera
    {
        Vec eye, right, up, forward;
        double focal; // pixels per unit at depth 1
        double cx, cy;
        bool Project(const Vec& p, double& x, double& y, double& z) const
        {
            const Vec d = p - eye;
            z = d.Dot(forward);
            if (z <= 1.0)
                return false;
            x = cx + d.Dot(right) * focal / z;
            y = cy + d.Dot(up) * focal / z;
            return true;
        }
    };

    static Vec GlobePosition(double longitude, double latitude)
    {
        const double l = longitude * Pi / 180.0, t = (90.0 - latitude) * Pi / 180.0;
        return Vec{GlobeRadius * std::sin(t) * std::cos(l), GlobeRadius * std::cos(t),
                   GlobeRadius * std::sin(t) * std::sin(l)};
    }

    static ART_Color PositionColor(const Vec& p)
    {
        auto c = [](double v) { return Clamp01(((v / GlobeRadius) * 1.5 + 1.0) * 0.5); };
        return ART_Rgba(c(p.x), c(p.y), c(p.z));
    }

    void Text(Frame& frame, const std::string& latin1, double x, double y, double g, double h,
              const ART_Color& color, double z)
    {
        const Texture* font = Tex("fixed_font.tga");
        for (size_t i = 0; i < latin1.size(); ++i)
        {
            const int code = static_cast<unsigned char>(latin1[i]);
            const int col = code % 16, row = code / 16;
            const double T = 15 - row;
            const double bx = x + i * g;
            frame.Quad(bx, y, bx + g, y, bx, y + h, col / 16.0, T / 16.0, (col + 0.5) / 16.0,
                       (T + 0.95) / 16.0, color, font, z);
        }
    }

    void DrawScene(Frame& frame)
    {
        const int count = 40; // the user and friends
        // Golden-angle spiral, as the viewer lays people out.
        std::vector<Vec> positions;
        std::vector<double> longitudes, latitudes;
        const double phi = (3.0 - std::sqrt(5.0)) * Pi;
        double y = 1.0 - 1.0 / count, angle = 0.0;
        for (int i = 0; i < count; ++i)
        {
            const double latitude = 90.0 - std::acos(y) * 180.0 / Pi;
            double longitude = std::fmod(angle * 180.0 / Pi, 360.0);
            if (longitude > 180.0)
                longitude -= 360.0;
            positions.push_back(GlobePosition(longitude, latitude));
            longitudes.push_back(longitude);
            latitudes.push_back(latitude);
            y -= 2.0 / count;
            angle += phi;
        }
        // The camera turned to the user, as after the friends arrive.
        heading = longitudes[0] + 0.5 + 14.0;
        pitch = latitudes[0] - 12.0;
        const double h = heading * Pi / 180.0, p = pitch * Pi / 180.0;
        const Vec target{0.0, 500.0, 0.0};
        Camera cam;
        cam.eye = target +
                  Vec{std::cos(p) * std::cos(h), std::sin(p), std::cos(p) * std::sin(h)} * 18500.0;
        cam.forward = (target - cam.eye).Unit();
        cam.right = cam.forward.Cross(Vec{0, 1, 0}).Unit();
        cam.up = cam.right.Cross(cam.forward);
        cam.focal = 0.5 * frame.height / std::tan(22.5 * Pi / 180.0);
        cam.cx = 0.5 * frame.width;
        cam.cy = 0.5 * frame.height;
        const Vec toViewer = cam.forward * -1.0;
        const Vec light =
            Vec{cam.eye.Dot(cam.right), cam.eye.Dot(cam.up), -cam.eye.Dot(cam.forward)}.Unit();
        eyeLight = light;

        frame.state = Frame::State();
        frame.state.depthTest = true;
        frame.state.depthWrite = true;
        frame.state.fog = true;
        frame.state.fogColor = Rgb(theme.BackgroundColor);

        for (int i = 0; i < count; ++i)
        {
            const bool selected = i == 0;
            const double size = selected ? 2250.0 : 750.0, ball = 100.0;
            const Vec& pos = positions[size_t(i)];
            const Vec d = pos.Unit();
            const double a = d.Dot(cam.up), b = d.Dot(cam.right);
            const double su = a > 0 ? 1 : a < 0 ? -1 : 0, sr = b > 0 ? 1 : b < 0 ? -1 : 0;
            const Vec centre = pos + cam.up * ((size * 0.5 + ball * 0.75) * su) +
                               cam.right * ((size * 0.5 + ball * 0.75) * sr) + toViewer * 100.0;

            // The ball.
            double bx, by, bz;
            if (!cam.Project(pos, bx, by, bz))
                continue;
            const double k = cam.focal / bz;
            frame.state.blend = false;
            Ball(frame, bx, by, ball * k, bz, 1.0 / k, *Tex("color_ball.tga"), PositionColor(pos),
                 light,
                 [&](const Vec& n) { return cam.right * n.x + cam.up * n.y + toViewer * n.z; });

            // The label.
            double lx, ly, lz;
            if (!cam.Project(centre, lx, ly, lz))
                continue;
            const double half = 0.5 * size * cam.focal / lz;
            frame.Rect(lx - half, ly - half, lx + half, ly + half,
                       Rgb(selected ? theme.LocatorBillboardColorSel : theme.LocatorBillboardColor),
                       Tex("locator.tga"), lz);

            // Picture and name.
            const int person = i;
            const Texture* picture = Picture(person);
            const bool placeholder = People[person % PeopleCount].portrait < 0;
            double fw = 0.9, fh = selected ? 0.675 : 0.9;
            const double aspect = double(picture->Width()) / picture->Height();
            if (fh * aspect <= fw + 0.0001)
                fw = fh * aspect;
            else
                fh = fw / aspect;
            const double W = 2.0 * half;
            frame.state.blend = placeholder;
            frame.Rect(lx - 0.5 * fw * W, ly - 0.5 * fh * W, lx + 0.5 * fw * W, ly + 0.5 * fh * W,
                       placeholder
                           ? Rgb(selected ? theme.LocatorTextColorSel : theme.LocatorTextColor)
                           : ART_Gray(1.0),
                       picture, lz - 10.0);
            if (selected || placeholder)
            {
                const std::string name = Latin1(People[person % PeopleCount].name);
                const double k2 = double(name.size());
                double g = 0.9 * W / k2;
                const double gh = (0.95 - 0.7) * W * 0.55;
                if (gh * 0.5 < g)
                    g = gh * 0.5;
                const double ox = lx - k2 * g * 0.5;
                const double oy = ly - 0.825 * W * 0.5 - gh * 0.5;
                frame.state.blend = true;
                Text(frame, name, ox, oy, g, gh,
                     Rgb(selected ? theme.LocatorTextColorSel : theme.LocatorTextColor), lz - 20.0);
            }
        }

        // Connection dots in one batch: depth-tested, not depth-written, blended.
        frame.state.blend = true;
        frame.state.depthWrite = false;
        auto connect = [&](int i, int j, bool highlighted, double dimAlpha)
        {
            const Vec s = positions[size_t(i)], e = positions[size_t(j)];
            const Vec d = e - s;
            const double L = d.Length();
            const int n = int(L / 90.0);
            const double spacing = L / n;
            for (int k = 1; k < n; ++k)
            {
                const Vec q = s + d.Unit() * (k * spacing);
                double x, y, z;
                if (!cam.Project(q, x, y, z))
                    continue;
                const double half = 0.5 * (highlighted ? 125.0 : 90.0) * cam.focal / z;
                ART_Color c = PositionColor(q);
                c.a = highlighted ? 1.0 : dimAlpha;
                frame.Rect(x - half, y - half, x + half, y + half, c, Tex("billboard.tga"), z);
            }
        };
        for (int j = 1; j < count; ++j)
            connect(0, j, j < 9, 0.15);
        for (int i = 1; i < count; ++i)
            for (int j = i + 1; j < count; ++j)
                if ((i * 7 + j * 3) % 11 == 0)
                    connect(i, j, false, 0.4);
    }

    void DrawInterface(Frame& frame)
    {
        const double W = frame.width, H = frame.height;
        frame.state = Frame::State();
        frame.state.blend = true;

        // Dial, turned by the longitude, with the globe inside.
        const ART_Color dial = Rgba(theme.NavWidgetDialColor);
        const double a = heading / 57.29578;
        const double mx = 5 + 56, my = 5 + 56;
        auto turn = [&](double x, double y, double& ox, double& oy)
        {
            ox = mx + std::cos(a) * x + std::sin(a) * y;
            oy = my - std::sin(a) * x + std::cos(a) * y;
        };
        double x0, y0, x1, y1, x3, y3;
        turn(-56, -56, x0, y0);
        turn(56, -56, x1, y1);
        turn(-56, 56, x3, y3);
        frame.Quad(x0, y0, x1, y1, x3, y3, 0, 0, 1, 1, dial, Tex("dial.tga"));
        frame.state.blend = false;
        const double lat = pitch * Pi / 180.0, lon = (heading - 90.0) * Pi / 180.0;
        Ball(frame, mx, my, 40.0, 0.0, 1.0, *Tex("sphere_button.tga"),
             Rgba(theme.NavWidgetGlobeColor), eyeLight,
             [&](const Vec& n)
             {
                 // Undo the rotation by the latitude about x, then by longitude − 90 about y.
                 const Vec r{n.x, std::cos(lat) * n.y + std::sin(lat) * n.z,
                             -std::sin(lat) * n.y + std::cos(lat) * n.z};
                 return Vec{std::cos(lon) * r.x - std::sin(lon) * r.z, r.y,
                            std::sin(lon) * r.x + std::cos(lon) * r.z};
             });
        frame.state.blend = true;

        // Rotation buttons; the tour is on.
        const char* buttons[3] = {"rot_but_1.tga", "rot_but_2.tga", "rot_but_3.tga"};
        const double bx[3] = {1, 93, 121};
        for (int i = 0; i < 3; ++i)
            frame.Rect(bx[i], 1, bx[i] + 28, 29, i == 2 ? Rgba(theme.NavWidgetDialColorSel) : dial,
                       Tex(buttons[i]));

        // Top bar, logo, watermark.
        frame.Rect(0, H - 32, W, H, Rgba(theme.TopBarColor), Tex("top_bar.tga"));
        frame.Rect(2, H - 132, 132, H - 2, ART_Gray(1.0), Tex("halvane.tga"));
        frame.Rect(W - 200, -104, W - 70, 26, ART_Gray(1.0, 0.1), Tex("vessun.tga"));

        // The user's dock: one selected item at the top-left.
        DockedItem(frame, 2, H - 27 - 64, 66, H - 27, true, 0);

        // The friends dock, magnified round its fourth item, with its strip.
        const double sizes[] = {48, 50.6, 62.6, 85.3, 96, 85.3, 62.6, 50.6, 48, 48, 48};
        double top = H - 26 - 1;
        std::vector<std::pair<double, double>> segments;
        for (int i = 0; i < int(sizeof(sizes) / sizeof(sizes[0])); ++i)
        {
            const double s = sizes[i];
            const double right = W - 2 - 16;
            DockedItem(frame, right - s, top - s, right, top, false, i + 1);
            segments.push_back({top, top - s - 1});
            top -= s + 1;
        }
        for (const auto& seg : segments)
            frame.Rect(W - 17, seg.second, W - 1, seg.first, Rgba(theme.ButtonColor),
                       Tex("ruler.tga"));
    }

    void DockedItem(Frame& frame, double left, double bottom, double right, double top,
                    bool selected, int person)
    {
        frame.state.blend = true;
        frame.Rect(left, bottom, right, top,
                   Rgba(selected ? theme.ButtonColorSel : theme.ButtonColor), Tex("widget.tga"));
        const Texture* picture = Picture(person);
        const bool placeholder = People[person % PeopleCount].portrait < 0;
        // Fitted inside the 4-pixel inset.
        const double l = left + 4, r = right - 4, t = top - 4, b = bottom + 4;
        const double w = r - l, h = t - b;
        double k = w / picture->Width();
        if (picture->Height() * k > h + 0.1)
            k = h / picture->Height();
        const double pw = picture->Width() * k, ph = picture->Height() * k;
        const double cx = 0.5 * (l + r), cy = 0.5 * (b + t);
        frame.state.blend = placeholder;
        frame.Rect(cx - 0.5 * pw, cy - 0.5 * ph, cx + 0.5 * pw, cy + 0.5 * ph,
                   placeholder ? Rgb(selected ? theme.LocatorTextColorSel : theme.LocatorTextColor)
                               : ART_Gray(1.0),
                   picture);
        frame.state.blend = true;
    }

    GFX_Theme theme;
    std::map<std::string, std::unique_ptr<Texture>> textures;
    std::vector<std::unique_ptr<Texture>> portraits;
    double heading = 0.0, pitch = 0.0;
    Vec eyeLight{0, 0, 1};
};

void Paste(ART_Canvas& sheet, const ART_Canvas& picture, int left, int top, int zoom = 1)
{
    for (int y = 0; y < picture.Height() * zoom; ++y)
        for (int x = 0; x < picture.Width() * zoom; ++x)
        {
            const int sx = left + x, sy = top + y;
            if (sx < 0 || sy < 0 || sx >= sheet.Width() || sy >= sheet.Height())
                continue;
            const ART_Color c = picture.Pixel(x / zoom, y / zoom);
            const ART_Color under = sheet.Pixel(sx, sy);
            sheet.SetPixel(sx, sy, ART_Mix(under, ART_Rgba(c.r, c.g, c.b, 1.0), c.a));
        }
}

void Caption(ART_Canvas& sheet, const ART_Fonts& fonts, const std::string& text, double x, double y,
             double size = 13.0)
{
    ART_Mask mask(sheet.Width(), sheet.Height());
    ART_Typeface::Style style;
    style.size = size;
    fonts.sans->Draw(mask, ART_Utf32(text), x, y, style);
    sheet.Composite(mask, ART_Solid(ART_Gray(0.92)));
}
} // namespace

ART_Canvas ART_DrawContactSheet(const std::vector<ART_Texture>& textures, const ART_Fonts& fonts,
                                const std::string& themesPath)
{
    std::map<std::string, const ART_Canvas*> canvases;
    for (const ART_Texture& t : textures)
        canvases[t.file] = &t.canvas;
    const std::vector<ThemeEntry> themes = ReadThemes(themesPath);

    const int frameW = 960, frameH = 600, pad = 16, captionH = 24, labelH = 28;
    const int sheetW = frameW + 2 * pad;

    // Lay the textures out in rows first, small ones enlarged, to know the sheet's height.
    struct Place
    {
        const ART_Texture* texture;
        int x, y, zoom;
    };
    std::vector<Place> places;
    int x = pad, y = 0, rowHeight = 0;
    for (const ART_Texture& t : textures)
    {
        const int zoom = t.canvas.Width() <= 32 ? 4 : t.canvas.Width() <= 64 ? 2 : 1;
        const int w = t.canvas.Width() * zoom, h = t.canvas.Height() * zoom;
        if (x + w > sheetW - pad)
        {
            x = pad;
            y += rowHeight + labelH;
            rowHeight = 0;
        }
        places.push_back({&t, x, y, zoom});
        x += std::max(w, 90) + pad;
        rowHeight = std::max(rowHeight, h);
    }
    const int texturesH = captionH + y + rowHeight + labelH + pad;
    const int sheetH = int(themes.size()) * (frameH + captionH + pad) + pad + texturesH;

    ART_Canvas sheet(sheetW, sheetH);
    sheet.Fill(ART_BoxShape(sheetW / 2.0, sheetH / 2.0, sheetW, sheetH), ART_Solid(ART_Gray(0.16)));
    int top = pad;
    for (const ThemeEntry& entry : themes)
    {
        Caption(sheet, fonts, entry.name, pad, top + 16);
        Mockup mockup(canvases, entry.theme);
        Paste(sheet, mockup.Draw(frameW, frameH), pad, top + captionH);
        top += frameH + captionH + pad;
    }
    Caption(sheet, fonts, "Textures (small ones enlarged ×2 or ×4)", pad, top + 16);
    top += captionH;
    for (const Place& place : places)
    {
        const ART_Canvas& canvas = place.texture->canvas;
        const int w = canvas.Width() * place.zoom, h = canvas.Height() * place.zoom;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i)
                sheet.SetPixel(place.x + i, top + place.y + j,
                               ((i / 8 + j / 8) % 2) ? ART_Gray(0.42) : ART_Gray(0.30));
        Paste(sheet, canvas, place.x, top + place.y, place.zoom);
        Caption(sheet, fonts, place.texture->file, place.x, top + place.y + h + 15, 11.0);
    }
    return sheet;
}
