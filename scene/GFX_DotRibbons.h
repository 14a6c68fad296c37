#pragma once

#include "gfx/GFX_OcclusionGrid.h"
#include "gfx/GFX_Vector3.h"
#include "gfx/OGL_SlicedQuads.h"
#include "scene/GFX_Billboard.h"
#include "scene/GFX_RibbonTiles.h"

#include <GL/gl.h>
#include <map>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

class OGL_Texture2D;

// Rows of friendship dots drawn as a few long quads instead of one quad a dot. A row seen from
// the side is a strip of evenly spaced dots of one size and opacity whose colour changes
// linearly along it, so a single camera-facing quad along the row shows the same thing when its
// texture repeats once per dot interval: each repeat is one tile, centred on a dot, holding that
// dot and whatever of its neighbours reaches into the tile, composited as the dots themselves
// would blend. The tiles (GFX_RibbonTiles) are made from the dot texture for each opacity in use
// and for a range of ratios between a dot's size on screen and the interval between dots on
// screen, which is how strongly the row is foreshortened; a row is cut into pieces wherever the
// ratio, or a
// colour component's saturation, changes, and no longer than MaxTilesPerPiece, so that fog,
// interpolated per vertex, stays that of the dots.
//
// Rows that run nearly towards the viewer (their dots pile up on screen) go dot by dot instead:
// a quad a dot, as GFX_Connection draws them, gathered into arrays with the ribbons and drawn
// in their place among them.
//
// Opaque quads already in the depth buffer (the locator labels) may be named as occluders: the
// parts of rows wholly behind them are left out, ribbons and single dots alike, since the depth
// test would discard every one of their fragments; on a crowded globe that is most of them.
//
// Begin reads the current matrices and viewport, so it is called with the frame's projection and
// camera applied. GL thread only; the tile textures and fences are released by ReleaseGL, with
// the context current.
class GFX_DotRibbons
{
public:
    GFX_DotRibbons();
    ~GFX_DotRibbons();

    GFX_DotRibbons(const GFX_DotRibbons&) = delete;
    GFX_DotRibbons& operator=(const GFX_DotRibbons&) = delete;

    // Forgets what was gathered and takes the frame's camera: its up and right axes (those the
    // dots face the viewer with) and the matrices and viewport in force.
    void Begin(const GFX_Vector3& up, const GFX_Vector3& right);

    // An opaque quad, facing the viewer, already drawn with depth writes this frame: corners
    // bottom-left, bottom-right, top-right, top-left. Rows behind it are left out where it
    // hides them wholly. Quads that do not lie square on the screen are not used.
    void AddOccluder(const GFX_Vector3 corners[4]);

    // Rows gathered from now on are drawn after those of lower layers. Within a layer the
    // quads go by tile, whatever order the rows came in: where rows cross, the one drawn last
    // shows most, and layers taken from the order the rows would be drawn dot by dot keep
    // that order roughly, instead of putting the rows of one tile over all the others.
    // A layer's rows that go dot by dot are drawn before its ribbons when they came before
    // every ribbon row of the layer (the lines to the user, which come first, under the
    // friendships), else after them.
    void SetLayer(int value);

    // Gathers the row of dots from start to end, DotSpacing or a little more apart and none on
    // either end, `size` wide, at opacity `alpha`, in `color` or, without one, in the colour of
    // each dot's place on the globe. Returns false when the row goes dot by dot (it runs too
    // nearly towards the viewer, or lies partly behind it).
    bool AddRow(const GFX_Vector3& start, const GFX_Vector3& end, float size, float alpha,
                const std::optional<GFX_Vector3>& color);

    // Draws what was gathered into `layer` since Begin with blending, depth and fog as they are
    // set: the ribbons with tiles made from `dotTexture`'s picture, the single dots with the
    // texture itself. Leaves the client arrays as they were and some texture bound.
    void Draw(OGL_Texture2D& dotTexture, int layer);

    // With `quads` above 0, Draw hands the quads of a frame over in slices of so many
    // (OGL_SlicedQuads), waiting for the GL between them.
    void SetWaitEvery(long long quads) { slicedQuads.SetSliceSize(quads); }

    // Releases the tile textures and the fences; GL thread, context current.
    void ReleaseGL();
    // Frees the arrays a frame gathers its quads in (kept from frame to frame so that they need
    // not grow again); the next Begin starts them afresh.
    void ReleaseArrays();

    // Ribbon quads gathered since Begin.
    long long GetQuadCount() const { return quadCount; }
    // Dots gathered one by one since Begin.
    long long GetSingleDotCount() const { return singleDots; }
    // Dots of gathered rows left out since Begin because occluders hide them.
    long long GetHiddenDotCount() const { return hiddenDots; }

    // The ratios of dot size to dot interval on screen that have tiles of their own; rows
    // beyond the last are refused.
    static constexpr float MinRatio = GFX_RibbonTiles::MinRatio;
    static constexpr float MaxRatio = GFX_RibbonTiles::MaxRatio;
    static constexpr int MaxTilesPerPiece = 32;
    // How far a dot's ratio may lie from that of its piece's tile.
    static constexpr float RatioTolerance = 0.08f;
    // Dots tested against the occluders at a time.
    static constexpr int DotsPerOcclusionTest = 4;

private:
    struct Vertex
    {
        float position[3];
        float texCoord[2];
        float color[3];
    };
    // A corner of a single dot: its opacity goes with its colour, not in a tile.
    struct DotVertex
    {
        float position[3];
        float texCoord[2];
        float color[4];
    };
    // Quads of one layer that share a tile.
    struct GroupKey
    {
        int layer;
        float alpha;
        int step;
        bool operator<(const GroupKey& o) const
        {
            return std::tie(layer, alpha, step) < std::tie(o.layer, o.alpha, o.step);
        }
    };
    struct Screen
    {
        float x = 0, y = 0, w = 0;
    };

    Screen Project(const GFX_Vector3& p) const;
    // The ratio of dot size to dot interval on screen around `centre`.
    float RatioAt(const GFX_Vector3& centre) const;
    // Gathers the dots first…last of the row, in pieces split where colours saturate alike.
    void AddRun(int first, int last);
    // Marks which stretches of the row's dots 1…last the occluders hide (hiddenStretches);
    // the row's first dot lies in front of the eye.
    void FindHiddenStretches(int last);
    // Whether the occluders hide the row's dots first…last with their reach on either side.
    bool Hidden(int first, int last) const;
    // Gathers the row's dots one by one, `direction` and `spacing` as GFX_Connection's;
    // `inFront`: both ends of the row lie in front of the eye.
    void AddDots(const GFX_Vector3& direction, float spacing, int intervals, bool inFront);
    void AddPiece(int first, int last);
    // Emits the piece of dots first…last with the tile of `step`, less its hidden stretches.
    void EmitPiece(int first, int last, int step);
    // One quad over the dots first…last; `alone`: in the colour of the first throughout.
    void EmitQuad(int first, int last, int step, bool alone);
    bool DotHidden(int dot) const;
    // Whether every dot first…last is hidden.
    bool AllHidden(int first, int last) const;
    GFX_Vector3 ColorAt(float interval) const;

    // The frame's camera.
    GFX_Vector3 up{0, 1, 0};
    GFX_Vector3 right{1, 0, 0};
    double modelViewProjection[16] = {};
    float viewport[4] = {};

    // The row being gathered.
    GFX_Vector3 rowStart;
    GFX_Vector3 rowStep;
    GFX_Vector3 rowOffset;
    float rowSize = 0;
    float rowAlpha = 0;
    std::optional<GFX_Vector3> rowColor;
    // The colour of the row's start before clamping, and its change from one dot to the next.
    GFX_Vector3 rowLinearColor;
    GFX_Vector3 rowLinearStep;
    // The row in clip space: start and step, for the occlusion tests; half a dot's width on
    // screen times the eye depth.
    double clipStart[4] = {};
    double clipStep[4] = {};
    float rowHalfWidthDepth = 0;

    GFX_OcclusionGrid occluders;
    // For the row being gathered, whether each stretch of DotsPerOcclusionTest dots is hidden.
    std::vector<bool> hiddenStretches;
    long long hiddenDots = 0;
    OGL_SlicedQuads slicedQuads;

    GFX_RibbonTiles tiles;
    // Quads by layer, opacity and ratio step.
    std::map<GroupKey, std::vector<Vertex>> groups;
    // Single dots by layer, those before the layer's ribbons (false) and after (true).
    std::map<std::pair<int, bool>, std::vector<DotVertex>> dotGroups;
    // Places the single dots' corners as each line's own dot billboard would.
    GFX_Billboard dotBillboard;
    int layer = 0;
    // Whether a row of the current layer has gone as a ribbon.
    bool ribbonInLayer = false;
    long long quadCount = 0;
    long long singleDots = 0;
};
