#include "sim/UTL_LabelPlacement.h"

#include "gfx/GFX_ScreenProjection.h"
#include "scene/GFX_Billboard.h"
#include "scene/GFX_ConnectionFriends.h"
#include "scene/GFX_Friend.h"
#include "scene/GFX_Globe.h"
#include "scene/GFX_LocationHolderFriend.h"
#include "scene/GFX_RegionName.h"
#include "sim/UTL_FriendCircle.h"
#include "sim/UTL_StillScene.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <unordered_map>

namespace
{
// The label scale stays within these, however near or far the camera.
constexpr float MinScale = 0.3f;
constexpr float MaxScale = 1.2f;
// What is left of a fade after its last step by rounding alone.
constexpr float FadeRoundOff = 1e-4f;
// A region's name fading out below this no longer keeps labels from its place.
constexpr float RegionNameAlpha = 0.3f;
} // namespace

float UTL_LabelPlacement::ScaleFor(float distance)
{
    const float front = std::max(distance - GFX_Globe::Radius, 1.0f);
    const float startFront = StartDistance - GFX_Globe::Radius;
    return std::clamp(std::sqrt(front / startFront), MinScale, MaxScale);
}

void UTL_LabelPlacement::Prepare(const Holders& holders, GFX_DrawPaths::Labels labels,
                                 float cameraDistance)
{
    const bool room = labels == GFX_DrawPaths::Labels::Room;
    const float scale = room ? ScaleFor(cameraDistance) : 1.0f;
    for (const auto& holder : holders)
    {
        holder->SetLabelScale(scale);
        if (!room && holder->GetLabelShown() < 1.0f)
            holder->SetLabelShown(1.0f);
    }
    if (!room)
    {
        // Labels that make room again start from what they show then.
        tracked.clear();
        placedBefore.clear();
        fading = false;
        placedCount = 0;
    }
}

bool UTL_LabelPlacement::ScreenRect(const GFX_LocationHolder& holder,
                                    const GFX_ScreenProjection& view, GFX_Rect& rect)
{
    const GFX_Billboard* label = holder.GetBillboard();
    if (!label)
        return false;
    const GFX_Vector3 corners[4] = {label->GetCorner(0), label->GetCorner(1), label->GetCorner(2),
                                    label->GetCorner(3)};
    return Bounds(corners, view, rect);
}

bool UTL_LabelPlacement::Bounds(const GFX_Vector3 corners[4], const GFX_ScreenProjection& view,
                                GFX_Rect& rect)
{
    for (int i = 0; i < 4; ++i)
    {
        float x, y;
        if (!view.Project(corners[i], x, y))
            return false;
        if (i == 0)
            rect = {x, x, y, y};
        rect.left = std::min(rect.left, x);
        rect.right = std::max(rect.right, x);
        rect.bottom = std::min(rect.bottom, y);
        rect.top = std::max(rect.top, y);
    }
    return true;
}

float UTL_LabelPlacement::LargestOverlap(const Holders& holders, const GFX_ScreenProjection& view)
{
    std::vector<GFX_Rect> shown;
    for (const auto& holder : holders)
    {
        GFX_Rect rect;
        if (holder->IsLabelShown() && ScreenRect(*holder, view, rect) && rect.right > 0.0f &&
            rect.left < view.GetWidth() && rect.top > 0.0f && rect.bottom < view.GetHeight())
            shown.push_back(rect);
    }
    return 100.0f * GFX_LabelRoom::LargestCoveredShare(shown);
}

void UTL_LabelPlacement::Rank(UTL_FriendCircle& circle)
{
    const UTL_FriendCircle::Holders& holders = circle.GetHolders();
    const auto& lines = circle.GetConnections();
    const auto& colors = circle.GetPersonColors();
    const void* first = holders.empty() ? nullptr : holders.front().get();
    if (holders.size() == rankedHolders && lines.size() == rankedLines &&
        colors.size() == rankedColors && first == rankedFirst && ranked.size() == holders.size())
        return;
    rankedHolders = holders.size();
    rankedLines = lines.size();
    rankedColors = colors.size();
    rankedFirst = first;

    // Friends in the circle, as CountFriendsOf counts them, for everyone at once.
    const GFX_Friend* self = circle.GetSelf();
    std::unordered_map<std::string, int> friendsOf;
    for (const auto& line : lines)
    {
        const std::string& a = line->GetId1();
        const std::string& b = line->GetId2();
        if (a == b || (self && (a == self->GetId() || b == self->GetId())))
            continue;
        ++friendsOf[a];
        ++friendsOf[b];
    }
    std::vector<int> degree(holders.size(), 0);
    std::vector<uint32_t> community(holders.size(), 0);
    for (size_t i = 0; i < holders.size(); ++i)
    {
        const GFX_LocationHolderFriend* friendHolder = holders[i]->AsFriendHolder();
        const GFX_Friend* person = friendHolder ? friendHolder->GetFriend() : nullptr;
        if (!person)
            continue;
        const auto found = friendsOf.find(person->GetId());
        degree[i] = found == friendsOf.end() ? 0 : found->second;
        const auto color = colors.find(person->GetId());
        if (color != colors.end())
            community[i] =
                1u + (uint32_t(color->second.x * 255.0f) << 16 |
                      uint32_t(color->second.y * 255.0f) << 8 | uint32_t(color->second.z * 255.0f));
    }
    positions.clear();
    for (size_t i = 0; i < holders.size(); ++i)
        positions[holders[i].get()] = int(i);
    ranked.resize(holders.size());
    std::iota(ranked.begin(), ranked.end(), 0);
    const auto byFriends = [&](int a, int b)
    { return degree[a] != degree[b] ? degree[a] > degree[b] : a < b; };
    std::sort(ranked.begin(), ranked.end(), byFriends);
    if (colors.empty())
        return;
    // Each community's best connected, then each one's second best, and so on.
    std::vector<int> rank(holders.size(), 0);
    std::unordered_map<uint32_t, int> seen;
    for (int i : ranked)
        rank[i] = seen[community[i]]++;
    std::stable_sort(ranked.begin(), ranked.end(), [&](int a, int b) { return rank[a] < rank[b]; });
}

void UTL_LabelPlacement::Place(UTL_FriendCircle& circle, const Firsts& firsts,
                               const GFX_Vector3& eye, const GFX_ScreenProjection& view,
                               float seconds)
{
    const UTL_FriendCircle::Holders& holders = circle.GetHolders();
    const size_t count = holders.size();
    tracked.resize(count, nullptr);
    placedBefore.resize(count, 0);
    offered.assign(count, 0);
    Rank(circle);

    candidates.clear();
    candidateHolder.clear();
    const auto offer = [&](size_t i, bool anySide)
    {
        if (offered[i])
            return;
        offered[i] = 1;
        const GFX_LocationHolder& holder = *holders[i];
        // Past the globe's rim a label would stand among the near side's, behind them.
        const GFX_Vector3& position = holder.GetPosition();
        if (!anySide && eye.Minus(position).Dot(position) <= 0.0f)
            return;
        // Where the label is going: one sliding round its ball keeps or loses its room where it
        // will stand, rather than losing it on the way and finding it again once there.
        GFX_LabelRoom::Candidate candidate;
        GFX_Vector3 corners[4];
        holder.SettledLabelCorners(corners);
        if (!Bounds(corners, view, candidate.rect))
            return;
        candidate.wasPlaced = tracked[i] == &holder && placedBefore[i];
        candidates.push_back(candidate);
        candidateHolder.push_back(int(i));
    };
    const auto indexOf = [&](const GFX_LocationHolder* wanted) -> long
    {
        const auto found = positions.find(wanted);
        return found != positions.end() && size_t(found->second) < count &&
                       holders[found->second].get() == wanted
                   ? long(found->second)
                   : -1;
    };
    for (const GFX_LocationHolder* first : {firsts.selected, firsts.hovered, firsts.user})
        if (const long i = indexOf(first); i >= 0)
            offer(size_t(i), true);
    if (firsts.regionNames)
        for (const GFX_RegionName& name : *firsts.regionNames)
        {
            GFX_LabelRoom::Candidate candidate;
            if (!name.drawn || name.alpha < RegionNameAlpha ||
                !Bounds(name.corners, view, candidate.rect))
                continue;
            candidate.wasPlaced = true;
            candidates.push_back(candidate);
            candidateHolder.push_back(-1);
        }
    if (firsts.selected)
        if (const GFX_LocationHolderFriend* selected =
                const_cast<GFX_LocationHolder*>(firsts.selected)->AsFriendHolder())
            for (const GFX_ConnectionFriends* line : selected->GetConnections())
            {
                const GFX_LocationHolder* other =
                    line->GetHolder1() == selected ? line->GetHolder2() : line->GetHolder1();
                if (const long i = indexOf(other); i >= 0 && other != selected)
                    offer(size_t(i), false);
            }
    // The rest keep the room they had before any new one gets room: a label that lost its room
    // to one of lower rank that found some first would come back once the other went, and the
    // two would take turns as the globe turns.
    for (bool before : {true, false})
        for (int i : ranked)
            if ((tracked[i] == holders[i].get() && placedBefore[i]) == before)
                offer(size_t(i), false);

    room.Place(candidates, view.GetWidth(), view.GetHeight(), placed);

    std::vector<char> target(count, 0);
    placedCount = 0;
    for (size_t c = 0; c < candidates.size(); ++c)
        if (placed[c] && candidateHolder[c] >= 0)
        {
            target[candidateHolder[c]] = 1;
            ++placedCount;
        }
    fading = false;
    const float step = FadeSeconds > 0.0f ? std::max(seconds, 0.0f) / FadeSeconds : 1.0f;
    for (size_t i = 0; i < count; ++i)
    {
        GFX_LocationHolder& holder = *holders[i];
        const float want = target[i] ? 1.0f : 0.0f;
        float shown = holder.GetLabelShown();
        // A locator seen for the first time shows what it should at once: a circle just opened
        // does not fade its whole wall of labels out.
        if (tracked[i] != &holder)
            shown = want;
        else if (std::fabs(shown - want) <= step + FadeRoundOff)
            shown = want;
        else
            shown += shown < want ? step : -step;
        holder.SetLabelShown(shown);
        fading = fading || shown != want;
        tracked[i] = &holder;
        placedBefore[i] = target[i];
    }
}

void UTL_LabelPlacement::AddTo(UTL_SceneDigest& digest, const void* hovered, uint64_t frame) const
{
    digest.Add(hovered);
    if (fading)
        digest.Add(frame);
}
