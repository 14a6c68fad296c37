#include "sim/UTL_LabelFraming.h"

#include "gfx/GFX_HalvaneCamera.h"
#include "gfx/GFX_ScreenProjection.h"
#include "scene/GFX_Billboard.h"
#include "scene/GFX_LocationHolder.h"
#include "sim/UTL_LabelPlacement.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace
{
// The glide ends within this many degrees of its aim, either way.
constexpr float GlideSlack = 1.0f;

void Include(GFX_Rect& rect, float x, float y)
{
    rect.left = std::min(rect.left, x);
    rect.right = std::max(rect.right, x);
    rect.bottom = std::min(rect.bottom, y);
    rect.top = std::max(rect.top, y);
}
} // namespace

bool UTL_LabelFraming::Covered(const GFX_LocationHolder& holder, float labelSize,
                               const GFX_HalvaneCamera& camera, const View& view, const Aim& aim,
                               GFX_Rect& rect)
{
    GFX_HalvaneCamera moved = camera;
    moved.SetHeading(aim.heading);
    moved.SetPitch(aim.pitch);
    moved.SetDistance(aim.distance);
    moved.Update();
    const GFX_ScreenProjection projection = GFX_ScreenProjection::LookAt(
        moved.GetEye(), moved.GetTarget(), moved.GetUp(), view.fieldOfView, view.nearPlane,
        view.farPlane, view.width, view.height);

    // A locator like the one framed, its label settled on its side as the camera will see it.
    GFX_LocationHolder label(nullptr);
    label.SetLongitude(holder.GetLongitude());
    label.SetLatitude(holder.GetLatitude());
    label.SetBallSize(holder.GetBallSize());
    label.SetLabelScale(view.scaledLabels ? UTL_LabelPlacement::ScaleFor(moved.GetDistance())
                                          : 1.0f);
    label.SetBillboardSize(labelSize, labelSize);
    label.SetBillboardAxes(projection.ScreenUp(), projection.ScreenRight());
    label.Update();
    if (!UTL_LabelPlacement::ScreenRect(label, projection, rect))
        return false;
    const float radius = label.GetBallSize();
    for (const GFX_Vector3& side : {projection.ScreenUp(), projection.ScreenRight()})
        for (float sign : {-1.0f, 1.0f})
        {
            float x, y;
            if (!projection.Project(label.GetPosition().Plus(side.Times(sign * radius)), x, y))
                return false;
            Include(rect, x, y);
        }
    return true;
}

UTL_LabelFraming::Aim UTL_LabelFraming::Frame(const GFX_LocationHolder& holder, float labelSize,
                                              const GFX_HalvaneCamera& camera, const View& view)
{
    const GFX_Rect& free = view.free;
    const auto fits = [&](const Aim& aim)
    {
        GFX_Rect rect;
        return Covered(holder, labelSize, camera, view, aim, rect) &&
               rect.left >= free.left + Margin && rect.right <= free.right - Margin &&
               rect.bottom >= free.bottom + Margin && rect.top <= free.top - Margin;
    };
    const auto clampPitch = [&](float pitch)
    { return std::clamp(pitch, camera.GetMinPitch(), camera.GetMaxPitch()); };

    // The turns beside the locator, the smallest first: where looking straight at it works,
    // nothing changes.
    std::vector<std::pair<float, float>> offsets;
    for (float dh = -MaxHeadingOffset; dh <= MaxHeadingOffset + 0.001f; dh += AimStep)
        for (float dp = -MaxPitchOffset; dp <= MaxPitchOffset + 0.001f; dp += AimStep)
            offsets.emplace_back(dh, dp);
    std::stable_sort(offsets.begin(), offsets.end(),
                     [](const auto& a, const auto& b) {
                         return std::fabs(a.first) + std::fabs(a.second) <
                                std::fabs(b.first) + std::fabs(b.second);
                     });

    const float farthest = camera.GetMaxDistance();
    float distance = std::clamp(camera.GetDistance(), camera.GetMinDistance(), farthest);
    for (;;)
    {
        for (const auto& [dh, dp] : offsets)
        {
            const Aim aim{holder.GetLongitude() + dh, clampPitch(holder.GetLatitude() + dp),
                          distance};
            bool everyEnd = fits(aim);
            for (float h : {-GlideSlack, GlideSlack})
                for (float p : {-GlideSlack, GlideSlack})
                    everyEnd = everyEnd &&
                               fits({aim.heading + h, clampPitch(aim.pitch + p), aim.distance});
            if (everyEnd)
                return aim;
        }
        if (distance >= farthest)
            break;
        distance = std::min(distance * BackStep, farthest);
    }
    // A view too small for the label anywhere: as far back as the camera goes, straight at it.
    return {holder.GetLongitude(), clampPitch(holder.GetLatitude()), farthest};
}
