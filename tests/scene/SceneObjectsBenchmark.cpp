// Times the scene objects of a large circle of friends on the headless GL context and prints the
// figures; it checks nothing. Two circles: a real ego network (when the shared data lies beside
// the repository) and a synthetic one of the largest size the viewer is built for, 5,000 friends
// with 100,000 friendships among them, besides the user's line to every friend.
//
// Usage: scene_benchmark [data directory]   (default: $HALVANE_SOURCE_DIR/../shared/data)

#include "gfx/GFX_ColorBall.h"
#include "gfx/GFX_Math.h"
#include "gfx/WGL_Context.h"
#include "scene/GFX_ConnectionFriends.h"
#include "scene/GFX_Friend.h"
#include "scene/GFX_Globe.h"
#include "scene/GFX_LocationHolderFriend.h"

#include "SceneViews.h"
#include "support/TestSceneOwner.h"

#include <GL/gl.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace
{
constexpr int Width = SceneViews::Width;
constexpr int Height = SceneViews::Height;

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A circle as the controller builds it: the user first, then the friends, every one on the
// spiral, the user's lines (highlighted) and then the friendships (dim).
struct Circle
{
    TestSceneOwner owner;
    std::vector<std::unique_ptr<GFX_Friend>> people; // [0] is the user
    std::vector<std::unique_ptr<GFX_LocationHolderFriend>> holders;
    std::vector<std::unique_ptr<GFX_ConnectionFriends>> connections;

    Circle(int friends, const std::vector<std::pair<int, int>>& friendships)
    {
        for (int i = 0; i <= friends; ++i)
        {
            people.push_back(std::make_unique<GFX_Friend>(&owner));
            people.back()->SetId(std::to_string(100000 + i));
            people.back()->SetName("Person " + std::to_string(i));
        }
        std::vector<GFX_GlobePoint> places;
        GFX_Globe::SpiralPoints(friends + 1, places);
        for (int i = 0; i <= friends; ++i)
        {
            holders.push_back(std::make_unique<GFX_LocationHolderFriend>(&owner));
            GFX_LocationHolderFriend& holder = *holders.back();
            holder.SetFriend(people[i].get());
            holder.SetLongitude(places[i].longitude);
            holder.SetLatitude(places[i].latitude);
            const float size =
                i == 0 ? GFX_LocationHolder::SelectedLabelSize : GFX_LocationHolder::LabelSize;
            holder.SetBillboardSize(size, size);
            holder.SetBallSize(GFX_LocationHolder::LayoutBallSize);
            holder.SetSelected(i == 0);
            holder.Update();
            owner.holders.push_back(&holder);
        }
        auto connect = [&](int a, int b, float alpha, bool highlighted)
        {
            connections.push_back(std::make_unique<GFX_ConnectionFriends>(&owner));
            connections.back()->SetIds(people[a]->GetId(), people[b]->GetId());
            connections.back()->SetDimAlpha(alpha);
            connections.back()->SetHighlighted(highlighted);
        };
        for (int i = 1; i <= friends; ++i)
            connect(0, i, GFX_ConnectionFriends::SelfDimAlpha, true);
        for (const auto& [a, b] : friendships)
            connect(a, b, GFX_ConnectionFriends::FriendsDimAlpha, false);
    }
};

void SetUpFrame(GFX_Vector3& up, GFX_Vector3& right)
{
    glViewport(0, 0, Width, Height);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    SceneViews::GlobeCamera(0, 20);
    SceneViews::ScreenAxes(up, right);
}

// One pass of the connection batch as the main scene draws it; returns milliseconds.
double DrawConnections(Circle& circle, const GFX_Vector3& up, const GFX_Vector3& right)
{
    const auto start = Clock::now();
    for (auto& connection : circle.connections)
        connection->SetBillboardAxes(up, right);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glBegin(GL_QUADS);
    for (auto& connection : circle.connections)
        connection->Draw();
    glEnd();
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glFinish();
    return MillisecondsSince(start);
}

long long CountDots(const Circle& circle)
{
    long long dots = 0;
    for (const auto& connection : circle.connections)
        if (connection->IsResolved())
        {
            const float length = connection->GetHolder2()
                                     ->GetPosition()
                                     .Minus(connection->GetHolder1()->GetPosition())
                                     .Length();
            dots += std::max(0, GFX_Connection::DotIntervals(length) - 1);
        }
    return dots;
}

void Run(const char* title, int friends, const std::vector<std::pair<int, int>>& friendships)
{
    std::printf("\n%s: %d friends, %zu friendships\n", title, friends, friendships.size());
    auto start = Clock::now();
    Circle circle(friends, friendships);
    std::printf("  build and lay out:                %9.1f ms\n", MillisecondsSince(start));

    GFX_ColorBall ball(GFX_LocationHolder::BallModelRadius);
    circle.owner.colorBall = &ball;
    GFX_Vector3 up, right;
    SetUpFrame(up, right);

    start = Clock::now();
    for (auto& holder : circle.holders)
    {
        holder->SetBillboardAxes(up, right);
        holder->Update();
    }
    std::printf("  holders: axes and update          %9.3f ms per frame\n",
                MillisecondsSince(start));
    glEnable(GL_DEPTH_TEST);
    double holders = 1e30;
    for (int i = 0; i < 3; ++i)
    {
        start = Clock::now();
        for (auto& holder : circle.holders)
            holder->Draw();
        glFinish();
        holders = std::min(holders, MillisecondsSince(start));
    }
    std::printf("  holders: draw (balls, labels)     %9.1f ms per frame\n", holders);

    // The first pass looks every line's ends up; later ones only draw.
    const double first = DrawConnections(circle, up, right);
    const long long dots = CountDots(circle);
    std::printf("  lines: first pass (with look-ups) %9.1f ms, %d look-ups\n", first,
                circle.owner.holderLookups);
    double best = 1e30;
    for (int i = 0; i < 3; ++i)
        best = std::min(best, DrawConnections(circle, up, right));
    std::printf(
        "  lines: steady pass                %9.1f ms per frame, %lld dots, %.1f ns per dot\n",
        best, dots, best * 1e6 / double(dots));
    glEnable(GL_RASTERIZER_DISCARD);
    double emit = 1e30;
    for (int i = 0; i < 3; ++i)
        emit = std::min(emit, DrawConnections(circle, up, right));
    glDisable(GL_RASTERIZER_DISCARD);
    std::printf("  lines: emission only (no raster)  %9.1f ms per frame, %.1f ns per dot\n", emit,
                emit * 1e6 / double(dots));
}

// The friendships of one ego network, renumbered 1…n in order of first appearance.
bool ReadEgoNetwork(const std::string& path, int& friends,
                    std::vector<std::pair<int, int>>& friendships)
{
    std::ifstream in(path);
    if (!in)
        return false;
    std::vector<long> ids;
    auto index = [&](long id)
    {
        for (size_t i = 0; i < ids.size(); ++i)
            if (ids[i] == id)
                return int(i) + 1;
        ids.push_back(id);
        return int(ids.size());
    };
    std::set<std::pair<int, int>> seen;
    long a = 0, b = 0;
    while (in >> a >> b)
    {
        const int i = index(a), j = index(b);
        if (i != j && seen.insert({std::min(i, j), std::max(i, j)}).second)
            friendships.push_back({std::min(i, j), std::max(i, j)});
    }
    friends = int(ids.size());
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    WGL_Context context(Width, Height);
    if (!context.IsValid())
    {
        std::fprintf(stderr, "scene_benchmark: no GL context: %s\n", context.GetError().c_str());
        return 1;
    }
    std::printf("GL renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));

    std::string data = argc > 1 ? argv[1] : "";
    if (data.empty())
    {
        const char* source = std::getenv("HALVANE_SOURCE_DIR");
        data = std::string(source ? source : ".") + "/../shared/data";
    }
    int friends = 0;
    std::vector<std::pair<int, int>> friendships;
    if (ReadEgoNetwork(data + "/ego-facebook/107.edges", friends, friendships))
        Run("ego network 107", friends, friendships);
    else
        std::printf("\n(no ego network under %s; skipped)\n", data.c_str());

    // 5,000 friends, 100,000 distinct random friendships among them.
    GFX_SeedRand(1);
    std::set<std::pair<int, int>> pairs;
    while (pairs.size() < 100000)
    {
        const int a = 1 + int(RandomRange(0, 4999.99f)), b = 1 + int(RandomRange(0, 4999.99f));
        if (a != b)
            pairs.insert({std::min(a, b), std::max(a, b)});
    }
    Run("synthetic circle", 5000, {pairs.begin(), pairs.end()});
    return 0;
}
