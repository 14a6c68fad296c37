#define GL_GLEXT_PROTOTYPES 1
#include "scene/GFX_DotRibbons.h"

#include "gfx/GFX_Image.h"
#include "gfx/OGL_Texture2D.h"
#include "scene/GFX_DotRow.h"
#include "scene/GFX_Globe.h"

#include <GL/glext.h>
#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
// A colour component of a place before it is clamped: linear in the position, so that a ribbon's
// vertex colours interpolate to each dot's own colour wherever no component saturates.
float LinearComponent(float coordinate)
{
    return ((coordinate / GFX_Globe::Radius) * 1.5f + 1.0f) * 0.5f;
}

GFX_Vector3 LinearColor(const GFX_Vector3& p)
{
    return {LinearComponent(p.x), LinearComponent(p.y), LinearComponent(p.z)};
}

float Clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

bool Saturated(float v)
{
    return v < 0.0f || v > 1.0f;
}

// Which components are clamped, and to which end: a ribbon piece keeps one pattern throughout.
int SaturationPattern(const GFX_Vector3& linear)
{
    int pattern = 0;
    for (float v : {linear.x, linear.y, linear.z})
        pattern = pattern * 3 + (v < 0.0f ? 0 : (v > 1.0f ? 2 : 1));
    return pattern;
}

} // namespace

GFX_DotRibbons::GFX_DotRibbons() = default;

GFX_DotRibbons::~GFX_DotRibbons() = default;

void GFX_DotRibbons::ReleaseGL()
{
    tiles.Delete();
    slicedQuads.Delete();
}

void GFX_DotRibbons::Begin(const GFX_Vector3& newUp, const GFX_Vector3& newRight)
{
    up = newUp;
    right = newRight;
    double modelView[16], projection[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelView);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_VIEWPORT, viewport);
    // Column-major, as GL keeps them: projection × modelview.
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row)
        {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k)
                sum += projection[k * 4 + row] * modelView[column * 4 + k];
            modelViewProjection[column * 4 + row] = sum;
        }
    dotBillboard.SetBillboardAxes(up, right);
    for (auto& [key, vertices] : groups)
        vertices.clear();
    for (auto& [key, vertices] : dotGroups)
        vertices.clear();
    quadCount = 0;
    singleDots = 0;
    layer = 0;
    ribbonInLayer = false;
    slicedQuads.Forget();
    occluders.Reset(int(viewport[2]), int(viewport[3]));
    hiddenDots = 0;
}

void GFX_DotRibbons::ReleaseArrays()
{
    groups.clear();
    dotGroups.clear();
    std::vector<bool>().swap(hiddenStretches);
}

void GFX_DotRibbons::SetLayer(int value)
{
    if (value != layer)
        ribbonInLayer = false;
    layer = value;
}

void GFX_DotRibbons::AddOccluder(const GFX_Vector3 corners[4])
{
    Screen c[4];
    float depth = 0.0f;
    for (int i = 0; i < 4; ++i)
    {
        c[i] = Project(corners[i]);
        if (!(c[i].w > 0.0f))
            return;
        depth = std::max(depth, c[i].w);
    }
    // Square on the screen, as a quad along the camera's own axes is: its edges may then be
    // taken as they are. Half a pixel in from each, for the rounding of our projection against
    // the GL's.
    constexpr float Slack = 0.5f;
    if (std::abs(c[0].y - c[1].y) > Slack || std::abs(c[3].y - c[2].y) > Slack ||
        std::abs(c[0].x - c[3].x) > Slack || std::abs(c[1].x - c[2].x) > Slack)
        return;
    occluders.AddRectangle(std::max(c[0].x, c[3].x) + Slack, std::max(c[0].y, c[1].y) + Slack,
                           std::min(c[1].x, c[2].x) - Slack, std::min(c[2].y, c[3].y) - Slack,
                           depth);
}

GFX_DotRibbons::Screen GFX_DotRibbons::Project(const GFX_Vector3& p) const
{
    const double* m = modelViewProjection;
    double clip[4];
    for (int row = 0; row < 4; ++row)
        clip[row] = m[row] * p.x + m[4 + row] * p.y + m[8 + row] * p.z + m[12 + row];
    Screen screen;
    screen.w = float(clip[3]);
    if (clip[3] > 0.0)
    {
        screen.x = float((clip[0] / clip[3] * 0.5 + 0.5) * viewport[2]);
        screen.y = float((clip[1] / clip[3] * 0.5 + 0.5) * viewport[3]);
    }
    return screen;
}

float GFX_DotRibbons::RatioAt(const GFX_Vector3& centre) const
{
    const Screen before = Project(centre.Minus(rowStep.Times(0.5f)));
    const Screen after = Project(centre.Plus(rowStep.Times(0.5f)));
    const Screen middle = Project(centre);
    const Screen side = Project(centre.Plus(right.Times(rowSize)));
    if (before.w <= 0.0f || after.w <= 0.0f || middle.w <= 0.0f)
        return INFINITY;
    const float interval = std::hypot(after.x - before.x, after.y - before.y);
    const float size = std::hypot(side.x - middle.x, side.y - middle.y);
    return interval > 0.0f ? size / interval : INFINITY;
}

GFX_Vector3 GFX_DotRibbons::ColorAt(float interval) const
{
    return rowColor ? *rowColor : rowLinearColor.Plus(rowLinearStep.Times(interval));
}

bool GFX_DotRibbons::AddRow(const GFX_Vector3& start, const GFX_Vector3& end, float size,
                            float alpha, const std::optional<GFX_Vector3>& color)
{
    GFX_Vector3 direction = end.Minus(start);
    const float length = direction.Length();
    const int intervals = GFX_DotRow::Intervals(length);
    if (intervals < 2)
        return true;
    direction.Normalize();
    rowStart = start;
    rowStep = direction.Times(length / float(intervals));
    rowSize = size;
    rowAlpha = alpha;
    rowColor = color;
    // The colour before clamping is linear in the place, so linear along the row.
    rowLinearColor = LinearColor(start);
    rowLinearStep = LinearColor(start.Plus(rowStep)).Minus(rowLinearColor);

    // The dots pile up most at one end or the other: the interval on screen is largest where
    // the row passes closest to the eye.
    const int last = intervals - 1;
    const GFX_Vector3 firstDot = start.Plus(rowStep);
    const GFX_Vector3 lastDot = start.Plus(rowStep.Times(float(last)));
    const Screen a = Project(start), b = Project(end);
    const bool inFront = a.w > 0.0f && b.w > 0.0f;
    // Across the row on screen, in the plane the dots face the viewer in: the ribbon's edges
    // run where the dots' edges do.
    float ax = b.x - a.x, ay = b.y - a.y;
    const float screenLength = std::hypot(ax, ay);
    if (!inFront || !(screenLength > 0.0f) || RatioAt(firstDot) > MaxRatio ||
        RatioAt(lastDot) > MaxRatio)
    {
        AddDots(direction, length / float(intervals), intervals, inFront);
        return false;
    }
    ax /= screenLength;
    ay /= screenLength;
    rowOffset = right.Times(-ay).Plus(up.Times(ax)).Times(size * 0.5f);
    ribbonInLayer = true;

    // The pieces are made as if nothing were hidden and then drawn without their hidden
    // stretches, so that what shows is drawn exactly as it would be otherwise.
    FindHiddenStretches(last);
    if (!AllHidden(1, last))
        AddRun(1, last);
    return true;
}

void GFX_DotRibbons::FindHiddenStretches(int last)
{
    hiddenStretches.clear();
    if (occluders.IsEmpty())
        return;
    // The row in clip space, and half a dot's width on screen times its depth (a length across
    // the view keeps its size on screen times depth wherever it lies).
    const double* m = modelViewProjection;
    for (int row = 0; row < 4; ++row)
    {
        clipStart[row] =
            m[row] * rowStart.x + m[4 + row] * rowStart.y + m[8 + row] * rowStart.z + m[12 + row];
        clipStep[row] = m[row] * rowStep.x + m[4 + row] * rowStep.y + m[8 + row] * rowStep.z;
    }
    const GFX_Vector3 firstDot = rowStart.Plus(rowStep);
    const Screen centre = Project(firstDot);
    const Screen across = Project(firstDot.Plus(right.Times(rowSize * 0.5f)));
    const Screen upwards = Project(firstDot.Plus(up.Times(rowSize * 0.5f)));
    rowHalfWidthDepth = std::max(std::hypot(across.x - centre.x, across.y - centre.y),
                                 std::hypot(upwards.x - centre.x, upwards.y - centre.y)) *
                        centre.w;

    // Four stretches are tested together first: what hides them all hides each.
    for (int block = 1; block <= last; block += 4 * DotsPerOcclusionTest)
    {
        const bool blockHidden =
            Hidden(block, std::min(last, block + 4 * DotsPerOcclusionTest - 1));
        for (int first = block; first <= std::min(last, block + 3 * DotsPerOcclusionTest);
             first += DotsPerOcclusionTest)
        {
            const int to = std::min(last, first + DotsPerOcclusionTest - 1);
            const bool hidden = blockHidden || Hidden(first, to);
            hiddenStretches.push_back(hidden);
            if (hidden)
                hiddenDots += to - first + 1;
        }
    }
}

void GFX_DotRibbons::AddDots(const GFX_Vector3& direction, float spacing, int intervals,
                             bool inFront)
{
    const int last = intervals - 1;
    // Only rows wholly in front of the eye are tested: the reach of a dot is taken at the first.
    hiddenStretches.clear();
    if (inFront)
        FindHiddenStretches(last);
    std::vector<DotVertex>& vertices = dotGroups[{layer, ribbonInLayer}];
    dotBillboard.SetSize(rowSize, rowSize);
    const float s[4] = {0, 1, 1, 0}, t[4] = {0, 0, 1, 1};
    for (int i = 1; i <= last; ++i)
    {
        if (DotHidden(i))
            continue;
        const GFX_Vector3 centre = GFX_DotRow::Centre(rowStart, direction, spacing, i);
        const GFX_Vector3 color = rowColor ? *rowColor : GFX_Globe::PositionColor(centre);
        dotBillboard.SetPosition(centre);
        dotBillboard.UpdateCorners();
        for (int k = 0; k < 4; ++k)
        {
            DotVertex v;
            std::copy_n(dotBillboard.GetCorner(k).Data(), 3, v.position);
            v.texCoord[0] = s[k];
            v.texCoord[1] = t[k];
            std::copy_n(color.Data(), 3, v.color);
            v.color[3] = rowAlpha;
            vertices.push_back(v);
        }
        ++singleDots;
    }
}

bool GFX_DotRibbons::Hidden(int first, int last) const
{
    // What a piece of these dots covers: the intervals around them along the row, a dot's width
    // across it, and a pixel more for the rasteriser's rounding.
    float x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY, depth = INFINITY;
    for (const float interval : {first - 0.5f, last + 0.5f})
    {
        double clip[4];
        for (int row = 0; row < 4; ++row)
            clip[row] = clipStart[row] + clipStep[row] * interval;
        if (!(clip[3] > 0.0))
            return false;
        const float w = float(clip[3]);
        const float x = float((clip[0] / clip[3] * 0.5 + 0.5) * viewport[2]);
        const float y = float((clip[1] / clip[3] * 0.5 + 0.5) * viewport[3]);
        const float reach = rowHalfWidthDepth / w + 1.0f;
        x0 = std::min(x0, x - reach);
        x1 = std::max(x1, x + reach);
        y0 = std::min(y0, y - reach);
        y1 = std::max(y1, y + reach);
        depth = std::min(depth, w);
    }
    return occluders.Hides(x0, y0, x1, y1, depth);
}

void GFX_DotRibbons::AddRun(int firstOfRun, int lastOfRun)
{
    if (rowColor)
    {
        AddPiece(firstOfRun, lastOfRun);
        return;
    }
    // Runs of dots whose components saturate alike; where a run's outer vertex would need a
    // colour beyond 0…1 (GL would clamp it), its end dot goes alone, in its own colour.
    for (int first = firstOfRun; first <= lastOfRun;)
    {
        const int pattern = SaturationPattern(ColorAt(float(first)));
        int runEnd = first;
        while (runEnd < lastOfRun && SaturationPattern(ColorAt(float(runEnd + 1))) == pattern)
            ++runEnd;
        int from = first, to = runEnd;
        auto outerFits = [&](float interval, int dot)
        {
            const GFX_Vector3 atDot = ColorAt(float(dot)), atVertex = ColorAt(interval);
            for (int i = 0; i < 3; ++i)
                if (!Saturated(atDot.Data()[i]) && Saturated(atVertex.Data()[i]))
                    return false;
            return true;
        };
        while (from < to && !outerFits(from - 0.5f, from))
        {
            AddPiece(from, from);
            ++from;
        }
        while (from < to && !outerFits(to + 0.5f, to))
        {
            AddPiece(to, to);
            --to;
        }
        AddPiece(from, to);
        first = runEnd + 1;
    }
}

void GFX_DotRibbons::AddPiece(int first, int last)
{
    // A piece that is hidden throughout would draw nothing however it were cut.
    if (AllHidden(first, last))
        return;
    const int mid = (first + last) / 2;
    if (last - first + 1 > MaxTilesPerPiece)
    {
        AddPiece(first, mid);
        AddPiece(mid + 1, last);
        return;
    }
    // The ratio changes smoothly along a piece, least where it passes closest to the eye: one
    // tile serves the piece while its ends and middle stay within RatioTolerance of the ratio
    // the tile is made for.
    auto ratioAt = [this](int dot)
    { return std::clamp(RatioAt(rowStart.Plus(rowStep.Times(float(dot)))), MinRatio, MaxRatio); };
    const float atFirst = ratioAt(first);
    if (first == last)
    {
        EmitPiece(first, last, GFX_RibbonTiles::RatioStep(atFirst));
        return;
    }
    const float atLast = ratioAt(last), atMid = ratioAt(mid);
    const float low = std::min({atFirst, atLast, atMid});
    const float high = std::max({atFirst, atLast, atMid});
    const int step = GFX_RibbonTiles::RatioStep(std::sqrt(low * high));
    const float made = GFX_RibbonTiles::StepRatio(step);
    if (high <= made * (1.0f + RatioTolerance) && low >= made / (1.0f + RatioTolerance))
    {
        EmitPiece(first, last, step);
        return;
    }
    AddPiece(first, mid);
    AddPiece(mid + 1, last);
}

bool GFX_DotRibbons::AllHidden(int first, int last) const
{
    if (hiddenStretches.empty())
        return false;
    for (int stretch = (first - 1) / DotsPerOcclusionTest;
         stretch <= (last - 1) / DotsPerOcclusionTest; ++stretch)
        if (!hiddenStretches[size_t(stretch)])
            return false;
    return true;
}

bool GFX_DotRibbons::DotHidden(int dot) const
{
    const size_t stretch = size_t((dot - 1) / DotsPerOcclusionTest);
    return stretch < hiddenStretches.size() && hiddenStretches[stretch];
}

void GFX_DotRibbons::EmitPiece(int first, int last, int step)
{
    // A dot alone takes its own colour throughout, even where part of a longer piece is all
    // that shows of it.
    const bool alone = first == last;
    for (int from = first; from <= last;)
    {
        if (DotHidden(from))
        {
            ++from;
            continue;
        }
        int to = from;
        while (to < last && !DotHidden(to + 1))
            ++to;
        EmitQuad(from, to, step, alone);
        from = to + 1;
    }
}

void GFX_DotRibbons::EmitQuad(int first, int last, int step, bool alone)
{
    // The piece covers the intervals around its dots; the texture repeats once per interval,
    // each repeat centred on a dot.
    const float from = first - 0.5f, to = last + 0.5f;
    float colorFrom[3], colorTo[3];
    std::copy_n(ColorAt(from).Data(), 3, colorFrom);
    std::copy_n(ColorAt(to).Data(), 3, colorTo);
    if (!rowColor)
    {
        const GFX_Vector3 atFirst = ColorAt(float(first));
        for (int i = 0; i < 3; ++i)
        {
            const float dotValue = atFirst.Data()[i];
            if (alone || Saturated(dotValue))
                colorFrom[i] = colorTo[i] = Clamp01(dotValue);
        }
    }
    const GFX_Vector3 p0 = rowStart.Plus(rowStep.Times(from));
    const GFX_Vector3 p1 = rowStart.Plus(rowStep.Times(to));
    const GFX_Vector3 corners[4] = {p0.Minus(rowOffset), p1.Minus(rowOffset), p1.Plus(rowOffset),
                                    p0.Plus(rowOffset)};
    const float s[4] = {from - 0.5f, to - 0.5f, to - 0.5f, from - 0.5f};
    const float t[4] = {0, 0, 1, 1};
    const float* colors[4] = {colorFrom, colorTo, colorTo, colorFrom};

    std::vector<Vertex>& vertices = groups[{layer, rowAlpha, step}];
    for (int i = 0; i < 4; ++i)
    {
        Vertex v;
        std::copy_n(corners[i].Data(), 3, v.position);
        v.texCoord[0] = s[i];
        v.texCoord[1] = t[i];
        std::copy_n(colors[i], 3, v.color);
        vertices.push_back(v);
    }
    ++quadCount;
}

void GFX_DotRibbons::Draw(OGL_Texture2D& dotTexture, int drawnLayer)
{
    if (quadCount == 0 && singleDots == 0)
        return;
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    auto drawDots = [&](bool afterRibbons)
    {
        const auto it = dotGroups.find({drawnLayer, afterRibbons});
        if (it == dotGroups.end() || it->second.empty())
            return;
        dotTexture.Bind();
        const DotVertex* v = it->second.data();
        glVertexPointer(3, GL_FLOAT, sizeof(DotVertex), v->position);
        glTexCoordPointer(2, GL_FLOAT, sizeof(DotVertex), v->texCoord);
        glColorPointer(4, GL_FLOAT, sizeof(DotVertex), v->color);
        slicedQuads.Draw((long long)(it->second.size() / 4));
    };
    drawDots(false);
    const GFX_Image* dot = dotTexture.GetImage();
    GLuint bound = 0;
    const GroupKey layerStart{drawnLayer, -INFINITY, std::numeric_limits<int>::min()};
    for (auto it = groups.lower_bound(layerStart);
         dot && dot->HasPixels() && it != groups.end() && it->first.layer == drawnLayer; ++it)
    {
        const GroupKey& key = it->first;
        std::vector<Vertex>& vertices = it->second;
        if (vertices.empty())
            continue;
        const GLuint tile = tiles.Texture(*dot, key.alpha, key.step);
        if (tile == 0)
            continue;
        if (tile != bound)
            glBindTexture(GL_TEXTURE_2D, tile);
        bound = tile;
        const Vertex* v = vertices.data();
        glVertexPointer(3, GL_FLOAT, sizeof(Vertex), v->position);
        glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), v->texCoord);
        glColorPointer(3, GL_FLOAT, sizeof(Vertex), v->color);
        slicedQuads.Draw((long long)(vertices.size() / 4));
    }
    drawDots(true);
    glPopClientAttrib();
}
