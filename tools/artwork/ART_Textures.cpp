#include "tools/artwork/ART_Textures.h"

#include "tools/artwork/ART_Shapes.h"
#include "tools/artwork/ART_Tga.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace
{
const double Pi = 3.14159265358979323846;

double Clamp01(double v)
{
    return std::min(1.0, std::max(0.0, v));
}

double SmoothStep(double e0, double e1, double x)
{
    const double t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0 - 2.0 * t);
}

// Sets every pixel from a function of its centre, averaged over n × n samples inside it.
void Shade(ART_Canvas& canvas, const std::function<ART_Color(double x, double y)>& colorAt,
           int n = 4)
{
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
        {
            double r = 0.0, g = 0.0, b = 0.0, a = 0.0;
            for (int j = 0; j < n; ++j)
                for (int i = 0; i < n; ++i)
                {
                    const ART_Color c = colorAt(x + (i + 0.5) / n, y + (j + 0.5) / n);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            if (a <= 0.0)
                canvas.SetPixel(x, y, ART_Color{0.0, 0.0, 0.0, 0.0});
            else
                canvas.SetPixel(x, y, ART_Color{r / a, g / a, b / a, a / (n * n)});
        }
}

// Coverage of a line of text centred on (cx, baseline).
ART_Mask CenteredText(const ART_Typeface& face, int width, int height, const std::string& utf8,
                      double cx, double baseline, ART_Typeface::Style style)
{
    ART_Mask mask(width, height);
    const std::u32string text = ART_Utf32(utf8);
    face.Draw(mask, text, cx - 0.5 * face.LineWidth(text, style.size, style.tracking), baseline,
              style);
    return mask;
}

// ---------------------------------------------------------------------------------------------
// The bitmap font.

// Windows code page 1252 in 0x80…0x9F, where names from a Windows-era system put their curly
// quotes, dashes and the few Latin letters Latin-1 lacks; 0 leaves a cell empty.
const char32_t Cp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                 0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// The character drawn in the cell of an 8-bit code: printable ASCII, code page 1252's extras and
// Latin-1; 0 for control codes and blanks.
char32_t FontCharacter(int code)
{
    if (code > 0x20 && code < 0x7F)
        return char32_t(code);
    if (code >= 0x80 && code < 0xA0)
        return Cp1252High[code - 0x80];
    if (code > 0xA0 && code <= 0xFF)
        return char32_t(code);
    return 0;
}

ART_Canvas DrawFixedFont(const ART_Fonts& fonts)
{
    const ART_Typeface& face = *fonts.mono;
    const int cell = ART_FontTextureSize / ART_FontCells;
    const int sampledWidth = cell / 2;
    // Rows of a cell that the viewer samples start 5 % below its top; keep half a pixel clear
    // of both ends so that filtering does not cut the glyphs.
    const double margin = 0.6;
    const double top = 0.05 * cell + margin;
    const double bottom = cell - margin;

    double ascent = 0.0, descent = 0.0, advance = 0.0;
    for (int code = 0; code < 256; ++code)
        if (char32_t c = FontCharacter(code))
        {
            const ART_Typeface::Extent e = face.Measure(c);
            ascent = std::max(ascent, e.top);
            descent = std::min(descent, e.bottom);
            advance = std::max(advance, face.Advance(c));
        }
    const double size =
        std::min((bottom - top) / (ascent - descent), (sampledWidth - 2.0 * margin) / advance);
    const double baseline = top + ascent * size;
    const double left = 0.5 * (sampledWidth - advance * size);

    ART_Typeface::Style style;
    style.size = size;
    ART_Mask ink(ART_FontTextureSize, ART_FontTextureSize);
    for (int code = 0; code < 256; ++code)
        if (char32_t c = FontCharacter(code))
        {
            const int cx = (code % ART_FontCells) * cell, cy = (code / ART_FontCells) * cell;
            ART_Mask glyph(ART_FontTextureSize, ART_FontTextureSize);
            face.Draw(glyph, std::u32string(1, c), cx + left, cy + baseline, style);
            // Nothing may reach outside the sampled part of its own cell.
            const int firstRow = int(std::ceil(0.05 * cell));
            for (int y = cy + firstRow; y < cy + cell; ++y)
                for (int x = cx; x < cx + sampledWidth; ++x)
                    ink.At(x, y) = glyph.At(x, y);
        }
    ART_Canvas canvas(ART_FontTextureSize, ART_FontTextureSize);
    canvas.Composite(ink, ART_Solid(ART_Gray(1.0)));
    for (int y = 0; y < canvas.Height(); ++y)
        for (int x = 0; x < canvas.Width(); ++x)
            if (canvas.Pixel(x, y).a <= 0.0)
                canvas.SetPixel(x, y, ART_Gray(1.0, 0.0));
    return canvas;
}

// ---------------------------------------------------------------------------------------------
// Scene textures.

// A connection dot: an opaque core inside a soft halo that fades to nothing before the edge,
// so that a row of overlapping dots reads as a glowing bead string.
ART_Canvas DrawConnectionDot()
{
    const int size = 64;
    ART_Canvas canvas(size, size);
    Shade(canvas,
          [&](double x, double y)
          {
              const double r = std::hypot(x - 0.5 * size, y - 0.5 * size) / (0.5 * size);
              const double core = 1.0 - SmoothStep(0.14, 0.34, r);
              const double halo = 0.5 * std::exp(-(r * r) / (0.48 * 0.48));
              const double fade = 1.0 - SmoothStep(0.75, 0.98, r);
              return ART_Gray(1.0, std::max(core, halo) * fade);
          });
    return canvas;
}

// A locator ball's skin, repeated on each of the six faces of the cube-sphere: white with a
// faint pearl sheen towards each face's middle. Its borders are the same all round, so the
// faces meet without seams in any orientation.
ART_Canvas DrawColorBall()
{
    const int size = 64;
    ART_Canvas canvas(size, size);
    Shade(canvas,
          [&](double x, double y)
          {
              const double dx = x / size - 0.5, dy = y / size - 0.5;
              const double r2 = (dx * dx + dy * dy) * 2.0; // 1 at the corners
              return ART_Gray(0.90 + 0.10 * (1.0 - r2));
          });
    return canvas;
}

// The navigation globe's skin, repeated on each cube-sphere face: a slate sea under a graticule
// of fine lines with brighter face borders and a node at every crossing. The pattern has the
// square's symmetries, so neighbouring faces continue it in whatever orientation they meet.
ART_Canvas DrawSphereButton()
{
    const int size = 128;
    ART_Canvas canvas(size, size);
    const ART_Color sea = ART_Rgba(0.30, 0.43, 0.58);
    const ART_Color line = ART_Rgba(0.80, 0.89, 1.0);
    const ART_Color node = ART_Rgba(1.0, 1.0, 1.0);
    Shade(canvas,
          [&](double x, double y)
          {
              const double u = x / size, v = y / size;
              // Depth shading: a touch lighter in the middle of a face.
              const double r2 = ((u - 0.5) * (u - 0.5) + (v - 0.5) * (v - 0.5)) * 2.0;
              ART_Color c = ART_Mix(sea, ART_Rgba(0.36, 0.50, 0.66), 1.0 - r2);
              auto lineCover = [&](double t, double width)
              {
                  // Distance to the nearest grid line at multiples of 1/4, in pixels.
                  const double k = std::round(t * 4.0) / 4.0;
                  const double d = std::fabs(t - k) * size;
                  const bool major = std::fmod(k * 4.0, 2.0) == 0.0;
                  return Clamp01(0.5 * (major ? width * 1.6 : width) - d + 0.5);
              };
              const double grid = std::max(lineCover(u, 2.4), lineCover(v, 2.4));
              c = ART_Mix(c, line, 0.85 * grid);
              // Nodes where the fine lines cross.
              const double nu = std::round(u * 4.0) / 4.0, nv = std::round(v * 4.0) / 4.0;
              const bool inner = nu > 0.0 && nu < 1.0 && nv > 0.0 && nv < 1.0;
              if (inner)
              {
                  const double d = std::hypot(u - nu, v - nv) * size;
                  c = ART_Mix(c, node, Clamp01(4.0 - d + 0.5));
              }
              return c;
          });
    return canvas;
}

// A locator's label: a square photo card, light paper with a crisp darker rim and a bright
// bevel inside it. Labels are drawn opaque, so the card fills the square.
ART_Canvas DrawLocatorLabel()
{
    const int size = 256;
    ART_Canvas canvas(size, size);
    Shade(
        canvas,
        [&](double x, double y)
        {
            const double edge = std::min(std::min(x, size - x), std::min(y, size - y));
            ART_Color paper = ART_Mix(ART_Gray(1.0), ART_Gray(0.91), y / size);
            if (edge < 5.0)
                return ART_Gray(0.70 + 0.04 * edge);
            if (edge < 8.0)
                return ART_Mix(paper, ART_Gray(1.0), 0.8);
            return paper;
        },
        1);
    return canvas;
}

// ---------------------------------------------------------------------------------------------
// Interface textures.

// A docked person's backing card: rounded, light, with a darker rim so that it stands out on
// light backgrounds too. The picture covers all but its outer four pixels.
ART_Canvas DrawDockedItem()
{
    const int size = 64;
    ART_Canvas canvas(size, size);
    const double c = 0.5 * size;
    const ART_Shape outer = ART_BoxShape(c, c, c - 0.5, c - 0.5, 9.0);
    canvas.Fill(outer, ART_Solid(ART_Gray(0.45, 0.85)));
    canvas.Fill(ART_Offset(outer, -1.2),
                ART_LinearGradient(0, 0, ART_Gray(1.0), 0, size, ART_Gray(0.88)),
                ART_Blend::Replace);
    canvas.Fill(ART_Difference(ART_Offset(outer, -1.2), ART_Offset(outer, -2.4)),
                ART_Solid(ART_Gray(1.0)), ART_Blend::Replace);
    return canvas;
}

// The friends dock's strip, one copy per item: a translucent grey rail with a bright edge
// towards the items and a ruler's white ticks, each with a dark shadow line so that it shows on
// light themes too. The long tick marks where two items meet; the texture repeats, so it is
// split between the first and the last rows.
ART_Canvas DrawDockRuler()
{
    const int width = 16, height = 64;
    ART_Canvas canvas(width, height);
    canvas.Fill(ART_BoxShape(0.5 * width, 0.5 * height, 0.5 * width, height),
                ART_LinearGradient(0, 0, ART_Gray(0.50, 0.50), width, 0, ART_Gray(0.36, 0.42)));
    canvas.Fill(ART_BoxShape(1.0, 0.5 * height, 1.0, height), ART_Solid(ART_Gray(1.0, 0.9)));
    auto tick = [&](double y, double length, double thickness, double alpha)
    {
        canvas.Fill(ART_BoxShape(2.0 + 0.5 * length, y + 0.5 * thickness + 0.5, 0.5 * length, 0.5),
                    ART_Solid(ART_Gray(0.05, 0.5)));
        canvas.Fill(ART_BoxShape(2.0 + 0.5 * length, y, 0.5 * length, 0.5 * thickness),
                    ART_Solid(ART_Gray(1.0, alpha)));
    };
    tick(0.0, 11.0, 2.0, 1.0);
    tick(height, 11.0, 2.0, 1.0);
    tick(0.5 * height, 7.0, 1.6, 0.95);
    tick(0.25 * height, 4.0, 1.3, 0.85);
    tick(0.75 * height, 4.0, 1.3, 0.85);
    return canvas;
}

// The top bar, stretched across the window and tinted with the theme: a soft vertical sheen,
// a bright line along its lower edge and a short shadow under it.
ART_Canvas DrawTopBar()
{
    const int width = 32, height = 32;
    ART_Canvas canvas(width, height);
    Shade(
        canvas,
        [&](double, double y)
        {
            if (y < 27.0)
                return ART_Mix(ART_Gray(0.96), ART_Gray(0.78), y / 27.0);
            if (y < 28.0)
                return ART_Gray(1.0);
            if (y < 29.0)
                return ART_Gray(0.55);
            const double fade = (32.0 - y) / 3.0;
            return ART_Gray(0.0, 0.45 * fade * fade);
        },
        1);
    return canvas;
}

// Marks cut into the dial and the buttons: dark and mostly transparent, so that they read as
// holes against light and dark themes alike.
const ART_Color MarkColor = ART_Gray(0.10, 0.12);

// The navigation dial: a compass ring around the globe (which covers the middle, radius 40 of
// the dial's 56), with degree ticks, the four cardinal letters set radially and a north mark.
// Marks are cut into the ring, so they show the scene through it in every theme.
ART_Canvas DrawNavigationDial(const ART_Fonts& fonts)
{
    const int size = 128;
    const double c = 0.5 * size;
    const double scale = size / 112.0; // texels per screen pixel
    const double globe = 40.0 * scale;
    const double outer = 0.5 * size - 0.75;
    const double inner = globe + 1.5;
    ART_Canvas canvas(size, size);

    // A soft shadow round the globe, then the ring.
    ART_Mask shadow =
        ART_Mask::FromShape(size, size, ART_RingShape(c, c, globe - 2.0, globe + 1.0));
    shadow.Blur(1.6).Subtract(ART_Mask::FromShape(size, size, ART_CircleShape(c, c, globe - 1.0)));
    canvas.Composite(shadow, ART_Solid(ART_Gray(0.0, 0.45)));
    canvas.Fill(ART_RingShape(c, c, inner, outer),
                ART_RadialGradient(c, c, outer, ART_Gray(0.80, 0.86), ART_Gray(1.0, 0.92)));
    canvas.Fill(ART_RingShape(c, c, outer - 1.3, outer), ART_Solid(ART_Gray(1.0)));
    canvas.Fill(ART_RingShape(c, c, inner, inner + 1.1), ART_Solid(ART_Gray(1.0)));

    for (int degrees = 0; degrees < 360; degrees += 10)
    {
        if (degrees % 90 == 0)
            continue;
        const double angle = Pi / 2.0 - degrees * Pi / 180.0;
        const bool major = degrees % 30 == 0;
        const double r0 = outer - 2.4, r1 = r0 - (major ? 4.6 : 2.8);
        canvas.Fill(ART_LineShape(ART_Polar(c, c, r0, angle), ART_Polar(c, c, r1, angle),
                                  major ? 1.5 : 1.0),
                    ART_Solid(MarkColor), ART_Blend::Replace);
    }

    // The cardinal letters, each upright when its side of the dial is at the top. North stands
    // out the other way round: a solid letter in a round hole.
    const char* const letters[4] = {"N", "E", "S", "W"};
    const double letterRadius = 0.5 * (inner + outer);
    for (int k = 0; k < 4; ++k)
    {
        const double angle = Pi / 2.0 - k * Pi / 2.0; // k quarter turns clockwise from the top
        ART_Typeface::Style style;
        style.size = 11.5;
        style.angle = angle - Pi / 2.0;
        const std::u32string text = ART_Utf32(letters[k]);
        const double width = fonts.sansBold->LineWidth(text, style.size);
        const double capHeight = 0.729 * style.size;
        // From the letter's centre on the ring, back half its width along the baseline and down
        // half its cap height towards the dial's centre.
        const ART_Point centre = ART_Polar(c, c, letterRadius, angle);
        const double bx = std::cos(style.angle), by = -std::sin(style.angle);
        const double ox = std::cos(angle), oy = -std::sin(angle);
        ART_Mask mask(size, size);
        fonts.sansBold->Draw(mask, text, centre.x - 0.5 * width * bx - 0.5 * capHeight * ox,
                             centre.y - 0.5 * width * by - 0.5 * capHeight * oy, style);
        if (k == 0)
        {
            const double badge = 0.5 * (outer - inner) - 0.4;
            canvas.Fill(ART_CircleShape(centre.x, centre.y, badge), ART_Solid(MarkColor),
                        ART_Blend::Replace);
            canvas.Composite(mask, ART_Solid(ART_Gray(1.0)), ART_Blend::Replace);
        }
        else
            canvas.Composite(mask, ART_Solid(MarkColor), ART_Blend::Replace);
    }
    return canvas;
}

// A round button's disc; the symbol is cut into it like the dial's marks.
ART_Canvas ButtonDisc(int size)
{
    ART_Canvas canvas(size, size);
    const double c = 0.5 * size;
    canvas.Fill(ART_CircleShape(c, c, c - 0.6),
                ART_LinearGradient(0, 0, ART_Gray(1.0, 0.95), 0, size, ART_Gray(0.82, 0.92)));
    canvas.Fill(ART_RingShape(c, c, c - 1.7, c - 0.6), ART_Solid(ART_Gray(1.0)));
    return canvas;
}

// Turn west (counter-clockwise, the way the dial turns then) or east (clockwise): most of a
// circle whose arrowhead points along the turn at the top.
ART_Canvas DrawTurnButton(bool west)
{
    const int size = 32;
    const double c = 0.5 * size;
    ART_Canvas canvas = ButtonDisc(size);
    const double r = 7.0, stroke = 2.5;
    // Drawn for west; east is its mirror image. The arc runs counter-clockwise from the left,
    // round the bottom and up the right side to the top, where the head points left.
    const double start = 2.8, end = 2.0 * Pi + 1.2;
    const double cy = c + 0.8; // the head rises above the circle; centre the whole sign
    const ART_Shape arc = ART_ArcShape(c, cy, r, start, end, stroke);
    const ART_Point base = ART_Polar(c, cy, r, end);
    const double tx = -std::sin(end), ty = -std::cos(end); // direction of travel, as seen
    const double nx = std::cos(end), ny = -std::sin(end);  // outwards
    const double length = 6.2, half = 4.4;
    const ART_Point apex{base.x + tx * length, base.y + ty * length};
    const ART_Point b0{base.x + nx * half, base.y + ny * half};
    const ART_Point b1{base.x - nx * half, base.y - ny * half};
    ART_Shape symbol = ART_Union(arc, ART_PolygonShape({apex, b0, b1}));
    if (!west)
        symbol = [symbol, size](double x, double y) { return symbol(size - x, y); };
    canvas.Fill(symbol, ART_Solid(MarkColor), ART_Blend::Replace);
    return canvas;
}

// Random tour: the shuffle sign, two crossing paths with arrowheads.
ART_Canvas DrawTourButton()
{
    const int size = 32;
    ART_Canvas canvas = ButtonDisc(size);
    const double stroke = 2.2;
    auto path = [&](double y0, double y1)
    {
        // Level start, an S-bend across, level run into the head.
        std::vector<ART_Point> points;
        for (int i = 0; i <= 24; ++i)
        {
            const double t = i / 24.0;
            const double x = 8.0 + 13.0 * t;
            const double s = SmoothStep(0.15, 0.85, t);
            points.push_back({x, y0 + (y1 - y0) * s});
        }
        ART_Shape shape = ART_LineShape(points[0], points[1], stroke);
        for (size_t i = 1; i + 1 < points.size(); ++i)
            shape = ART_Union(shape, ART_LineShape(points[i], points[i + 1], stroke));
        const ART_Point end = points.back();
        shape = ART_Union(shape, ART_PolygonShape({{end.x + 4.5, end.y},
                                                   {end.x - 0.5, end.y - 4.2},
                                                   {end.x - 0.5, end.y + 4.2}}));
        return shape;
    };
    canvas.Fill(path(11.0, 21.0), ART_Solid(MarkColor), ART_Blend::Replace);
    canvas.Fill(ART_Offset(path(21.0, 11.0), 1.4), ART_Solid(ART_Gray(0.9, 0.92)),
                ART_Blend::Replace);
    canvas.Fill(path(21.0, 11.0), ART_Solid(MarkColor), ART_Blend::Replace);
    return canvas;
}

// The placeholder of a person without a picture: a head-and-shoulders silhouette with a
// question mark cut out of the head. Tinted dark by the viewer. The lowest seventh stays clear,
// because an unselected label writes the name over it.
ART_Canvas DrawPlaceholder(const ART_Fonts& fonts)
{
    const int size = 256;
    ART_Canvas canvas(size, size);
    const double c = 0.5 * size;
    const double head = 48.0, headY = 88.0;
    const double bodyTop = headY + head + 12.0, bodyBottom = 0.855 * size;
    const ART_Shape body = ART_Intersection(
        ART_CircleShape(c, bodyTop + 118.0, 118.0),
        ART_BoxShape(c, 0.5 * (bodyTop + bodyBottom), 110.0, 0.5 * (bodyBottom - bodyTop), 0.0));
    canvas.Fill(ART_Union(ART_CircleShape(c, headY, head), ART_Offset(body, 0.0)),
                ART_Solid(ART_Gray(1.0)));
    ART_Typeface::Style style;
    style.size = 78.0;
    ART_Mask mark = CenteredText(*fonts.sansBold, size, size, "?", c, headY + 28.0, style);
    canvas.Composite(mark, ART_Solid(ART_Gray(1.0)), ART_Blend::Erase);
    return canvas;
}

// ---------------------------------------------------------------------------------------------
// Logos.

const ART_Color BrandDeep = ART_Rgba(0.05, 0.22, 0.48);
const ART_Color BrandBright = ART_Rgba(0.36, 0.82, 1.0);

// The product logo, drawn at the window's top-left corner over the top bar: the Halvane mark (a
// small globe crossed by a glowing arc of connected friends) and the wordmark, both inside the
// bar's height. The rest of the square stays clear for the user's own picture below.
// The globe mark of the logo and the icon, of radius r around (cx, cy): a blue globe with its
// equator and two meridians, and three friends joined on an arc across it. Every length is
// the one drawn at r = 10.5, scaled.
void DrawGlobeMark(ART_Canvas& art, double markX, double markY, double markR)
{
    const double s = markR / 10.5;
    art.Fill(
        ART_CircleShape(markX, markY, markR),
        ART_RadialGradient(markX - 3.5 * s, markY - 4.0 * s, markR * 1.6, BrandBright, BrandDeep));
    const ART_Shape inside = ART_CircleShape(markX, markY, markR - 1.0 * s);
    auto inMark = [&](ART_Shape shape) { return ART_Intersection(shape, inside); };
    const ART_Color grid = ART_Rgba(1.0, 1.0, 1.0, 0.45);
    art.Fill(inMark(ART_LineShape({markX - markR, markY}, {markX + markR, markY}, 0.9 * s)),
             ART_Solid(grid));
    art.Fill(inMark(ART_Intersection(ART_RingShape(markX + 9.0 * s, markY, 12.0 * s, 12.9 * s),
                                     ART_BoxShape(markX, markY, markR, markR))),
             ART_Solid(grid));
    art.Fill(inMark(ART_Intersection(ART_RingShape(markX - 9.0 * s, markY, 12.0 * s, 12.9 * s),
                                     ART_BoxShape(markX, markY, markR, markR))),
             ART_Solid(grid));
    // Three friends on an arc across the globe, the way the viewer joins people.
    auto onArc = [&](double t)
    {
        // A quadratic curve from lower left over the top to the right.
        const ART_Point p0{markX - 7.0 * s, markY + 4.5 * s}, p1{markX - 0.5 * s, markY - 9.5 * s},
            p2{markX + 7.5 * s, markY - 1.0 * s};
        const double u = 1.0 - t;
        return ART_Point{u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x,
                         u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y};
    };
    ART_Shape curve = ART_LineShape(onArc(0.0), onArc(0.05), 1.3 * s);
    for (int i = 1; i < 20; ++i)
        curve = ART_Union(curve, ART_LineShape(onArc(i / 20.0), onArc((i + 1) / 20.0), 1.3 * s));
    art.Fill(inMark(curve), ART_Solid(ART_Rgba(1.0, 1.0, 1.0, 0.9)));
    for (double t : {0.0, 0.5, 1.0})
    {
        const ART_Point p = onArc(t);
        art.Fill(ART_CircleShape(p.x, p.y, (t == 0.5 ? 2.2 : 1.8) * s), ART_Solid(ART_Gray(1.0)));
    }
    art.Fill(ART_RingShape(markX, markY, markR - 0.9 * s, markR),
             ART_Solid(ART_Rgba(1, 1, 1, 0.7)));
}

// A soft dark halo under what `art` covers, blurred by `blur` pixels, then `art` itself.
ART_Canvas WithHalo(const ART_Canvas& art, double blur, double strength)
{
    ART_Canvas canvas(art.Width(), art.Height());
    ART_Mask halo(art.Width(), art.Height());
    for (int y = 0; y < art.Height(); ++y)
        for (int x = 0; x < art.Width(); ++x)
            halo.At(x, y) = art.Pixel(x, y).a;
    halo.Blur(blur).Multiply(strength);
    canvas.Composite(halo, ART_Solid(ART_Rgba(0.0, 0.04, 0.12, 0.5)));
    canvas.Over(art);
    return canvas;
}

ART_Canvas DrawProductLogo(const ART_Fonts& fonts)
{
    const int size = 128;
    const double barMiddle = 14.0; // the top bar's middle, in texels of this square
    const double markR = 10.5, markX = 4.0 + markR, markY = barMiddle;

    ART_Canvas art(size, size);
    DrawGlobeMark(art, markX, markY, markR);

    // The wordmark.
    ART_Typeface::Style style;
    style.size = 19.0;
    style.tracking = 0.4;
    ART_Mask word(size, size);
    fonts.sansBold->Draw(word, ART_Utf32("halvane"), markX + markR + 5.0, barMiddle + 7.0, style);
    art.Composite(word, ART_LinearGradient(0, barMiddle - 8.0, ART_Gray(1.0), 0, barMiddle + 7.0,
                                           ART_Rgba(0.84, 0.93, 1.0)));

    // A soft dark halo keeps both legible on light backgrounds.
    return WithHalo(art, 1.5, 0.9);
}

// The maker's watermark. The viewer lets only the top fifth of it into the window's lower-right
// corner, faintly, so the whole sign — a rising sun on its horizon beside the wordmark — lives
// in that band; the rest of the square stays clear.
ART_Canvas DrawMakerLogo(const ART_Fonts& fonts)
{
    const int size = 128;
    ART_Canvas canvas(size, size);
    const double horizon = 20.0; // the wordmark's baseline and the sun's horizon

    ART_Typeface::Style style;
    style.size = 17.0;
    style.tracking = 0.8;
    const std::u32string word = ART_Utf32("vessun");
    const double wordWidth = fonts.sansBold->LineWidth(word, style.size, style.tracking);
    const double sunR = 5.5, gap = 6.0;
    const double sunWidth = 2.0 * (sunR + 5.0);
    const double left = 0.5 * (size - (sunWidth + gap + wordWidth));
    const double sunX = left + 0.5 * sunWidth;

    // Half a sun on the horizon with five rays.
    canvas.Fill(ART_Intersection(ART_CircleShape(sunX, horizon - 1.5, sunR),
                                 ART_BoxShape(sunX, horizon - 1.5 - 0.5 * sunR - 0.5, sunR + 1.0,
                                              0.5 * sunR + 0.5)),
                ART_Solid(ART_Gray(1.0)));
    for (int k = 0; k < 5; ++k)
    {
        const double angle = Pi * (k + 1) / 6.0;
        canvas.Fill(ART_LineShape(ART_Polar(sunX, horizon - 1.5, sunR + 2.0, angle),
                                  ART_Polar(sunX, horizon - 1.5, sunR + 4.6, angle), 1.5),
                    ART_Solid(ART_Gray(1.0)));
    }
    canvas.Fill(ART_BoxShape(sunX, horizon + 0.25, 0.5 * sunWidth, 0.75), ART_Solid(ART_Gray(1.0)));

    ART_Mask mask(size, size);
    fonts.sansBold->Draw(mask, word, left + sunWidth + gap, horizon, style);
    canvas.Composite(mask, ART_Solid(ART_Gray(1.0)));
    return canvas;
}

} // namespace

bool ART_Fonts::Open(const std::string& directory, std::string& error)
{
    mono = ART_Typeface::Open(directory + "/DejaVuSansMono.ttf", error);
    if (!mono)
        return false;
    sans = ART_Typeface::Open(directory + "/DejaVuSans.ttf", error);
    if (!sans)
        return false;
    sansBold = ART_Typeface::Open(directory + "/DejaVuSans-Bold.ttf", error);
    return sansBold != nullptr;
}

std::vector<ART_Texture> ART_DrawTextures(const ART_Fonts& fonts)
{
    std::vector<ART_Texture> textures;
    auto add = [&](const char* file, const char* look, ART_Canvas canvas) {
        textures.push_back(ART_Texture{file, look, std::move(canvas)});
    };
    add("halvane.tga", "product logo: globe mark and wordmark sized to the top bar",
        DrawProductLogo(fonts));
    add("vessun.tga", "maker watermark: wordmark under a rising sun's crown", DrawMakerLogo(fonts));
    add("sphere_button.tga", "navigation globe: slate sea, graticule and nodes per cube face",
        DrawSphereButton());
    add("fixed_font.tga", "DejaVu Sans Mono, ASCII, code page 1252 extras and Latin-1",
        DrawFixedFont(fonts));
    add("ruler.tga", "friends dock strip: translucent rail with ruler ticks", DrawDockRuler());
    add("billboard.tga", "connection dot: opaque core in a soft glow", DrawConnectionDot());
    add("color_ball.tga", "locator ball skin: white with a faint pearl sheen", DrawColorBall());
    add("widget.tga", "docked item card: rounded, light, with a rim", DrawDockedItem());
    add("top_bar.tga", "top bar: vertical sheen, bright lower edge, short shadow", DrawTopBar());
    add("locator.tga", "label: square photo card with rim and bevel", DrawLocatorLabel());
    add("dial.tga", "compass ring: ticks, N E S W, north wedge", DrawNavigationDial(fonts));
    add("rot_but_1.tga", "turn west: counter-clockwise arrow on a disc", DrawTurnButton(true));
    add("rot_but_2.tga", "turn east: clockwise arrow on a disc", DrawTurnButton(false));
    add("rot_but_3.tga", "random tour: shuffle arrows on a disc", DrawTourButton());
    add("question.tga", "placeholder: head and shoulders with a question mark",
        DrawPlaceholder(fonts));
    return textures;
}

ART_Canvas ART_DrawIcon(int size)
{
    // The globe fills the square but for a margin its halo shows in.
    ART_Canvas art(size, size);
    const double margin = std::max(0.5, size / 32.0);
    DrawGlobeMark(art, 0.5 * size, 0.5 * size, 0.5 * size - margin);
    return WithHalo(art, std::max(0.5, size / 64.0), 0.6);
}

bool ART_WriteTextures(const ART_Fonts& fonts, const std::string& directory, std::string& error)
{
    for (const ART_Texture& texture : ART_DrawTextures(fonts))
    {
        const std::string path = directory + "/" + texture.file;
        if (!ART_WriteFile(path, ART_EncodeTga(texture.canvas)))
        {
            error = "cannot write " + path;
            return false;
        }
    }
    return true;
}
