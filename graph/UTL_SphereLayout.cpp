#include "graph/UTL_SphereLayout.h"

#include "graph/UTL_Communities.h"
#include "graph/UTL_LayoutMeasures.h"
#include "graph/UTL_SocialGraph.h"
#include "graph/UTL_SphereFarField.h"
#include "graph/UTL_SphereGrid.h"
#include "graph/UTL_SphereVector.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <string>

namespace
{
using Vector = UTL_SphereVector;
using Checkpoint = std::function<bool(double)>;

constexpr double Pi = UTL_SphereVector::Pi;
// The globe's own π, for its spiral in single precision.
constexpr float GlobePi = 3.1415925f;

// Communities smaller than this, and those past the largest MaxPatches, are no patch of their
// own: their friends join the patch they have most friendships with, else the loose friends'.
constexpr size_t MinPatchSize = 2;
constexpr size_t MaxPatches = 100;
// The share of the sphere the patches start on together, and the rounds that place them.
constexpr double PatchArea = 0.7;
constexpr int PatchRounds = 200;
constexpr int OverlapPasses = 10;

// The spring model: its rounds; its step, in even spacings, first and last; the openness of the
// far field (wider cubes are seen whole: faster, coarser).
constexpr int SpringRounds = 60;
constexpr double StepFirst = 3.0;
constexpr double StepLast = 0.1;
constexpr double Openness = 1.5;
// The pull of the friendships is scaled as though everyone had this many friends, so that dense
// and sparse circles start alike.
constexpr double ReferenceFriends = 40.0;
// How hard a friend pushes the others away grows with its friendships to this power: the hubs
// that bind a group together would otherwise draw it into a crowd.
constexpr double PushByFriends = 0.6;
// The strength of the push is steered so that this share of the globe has someone within the
// even spacing: groups pack tighter than the spiral, and seas stay between them.
constexpr double TargetCoverage = 0.7;
constexpr double FirstPush = 2.0;
constexpr int SteerEvery = 4;

// Rounds of pushing apart the pairs that stand too near, at most.
constexpr int SpacingRounds = 200;

// The chord of the unit sphere that spans `angle` radians.
double Chord(double angle)
{
    return 2.0 * std::sin(std::min(angle, Pi) / 2.0);
}

// Random numbers from the seed alone: the engine's sequence is fixed by the standard, and the
// conversions here are our own (the library's distributions differ between implementations).
class Random
{
public:
    explicit Random(uint64_t seed) : engine(seed) {}
    // Uniform in [0, 1).
    double Unit() { return double(engine() >> 11) * (1.0 / 9007199254740992.0); }
    size_t Below(size_t n) { return n == 0 ? 0 : size_t(engine() % n); }
    template <typename T> void Shuffle(std::vector<T>& items)
    {
        for (size_t i = items.size(); i > 1; --i)
            std::swap(items[i - 1], items[Below(i)]);
    }

private:
    std::mt19937_64 engine;
};

// Moves `a` and `b` along their chord until it is `target` long, by the share `rate` of the
// difference, and back onto the sphere; a fixed one stays and the other goes the whole way. Two
// on one spot part in a direction of their own.
void Pull(Vector& a, Vector& b, bool aFixed, bool bFixed, double target, double rate)
{
    if (aFixed && bFixed)
        return;
    Vector d = b - a;
    double chord = d.Length();
    if (chord < 1e-12)
    {
        d = a.Perpendicular() * 1e-9;
        chord = 1e-9;
    }
    const double change = rate * (chord - target) / chord;
    if (aFixed)
        b = (b - d * change).OnSphere();
    else if (bFixed)
        a = (a + d * change).OnSphere();
    else
    {
        a = (a + d * (0.5 * change)).OnSphere();
        b = (b - d * (0.5 * change)).OnSphere();
    }
}

// A community's patch of the sphere: who stands in it, its centre and its angular radius.
struct Patch
{
    std::vector<size_t> members;
    Vector centre;
    double radius = 0.0;
};

// The state of one arrangement by friendships, step by step.
class Arrangement
{
public:
    Arrangement(const UTL_SocialGraph& graph, const UTL_Communities& communities, uint64_t seed);

    // The communities' patches placed side by side; false when cancelled.
    bool PlacePatches(const Checkpoint& checkpoint);
    // Each friend at random inside its patch.
    void Scatter();
    // The spring model; false when cancelled.
    bool Relax(const Checkpoint& checkpoint);
    // Everyone pushed apart to the least spacing; false when cancelled.
    bool Space(const Checkpoint& checkpoint);

    const std::vector<Vector>& Points() const { return points; }

private:
    void FormPatches(const UTL_Communities& communities);
    double Coverage();

    const UTL_SocialGraph& graph;
    Random random;
    std::vector<Vector> points;
    std::vector<bool> fixed;
    std::vector<std::vector<size_t>> friendsOf;
    std::vector<Patch> patches;
    std::vector<size_t> patchOf;
    double spacing = Pi; // the even spacing, radians
    UTL_SphereGrid grid;
    UTL_SphereFarField far;
    std::vector<Vector> probes; // the spiral's places, where Coverage looks
};

Arrangement::Arrangement(const UTL_SocialGraph& graph, const UTL_Communities& communities,
                         uint64_t seed)
    : graph(graph), random(seed)
{
    const size_t count = graph.NodeCount();
    points.resize(count);
    fixed.assign(count, false);
    spacing = UTL_LayoutMeasures::EvenSpacing(count);
    const std::vector<UTL_SpherePlace> spiral = UTL_SphereLayout::Spiral(count);
    for (const UTL_SpherePlace& place : spiral)
        probes.push_back(Vector::FromPlace(place));
    if (graph.HasUser())
    {
        points[graph.User()] = probes[0];
        fixed[graph.User()] = true;
    }
    friendsOf.resize(count);
    for (const auto& [a, b] : graph.Friendships())
    {
        friendsOf[a].push_back(b);
        friendsOf[b].push_back(a);
    }
    FormPatches(communities);
}

void Arrangement::FormPatches(const UTL_Communities& communities)
{
    // Communities are numbered largest first, so the patches are the first ones.
    constexpr size_t None = size_t(-1);
    patchOf.assign(graph.NodeCount(), None);
    size_t count = 0;
    for (const size_t node : graph.Friends())
    {
        const int c = communities.CommunityOf(node);
        if (c >= 0 && size_t(c) < MaxPatches && communities.List()[size_t(c)].size >= MinPatchSize)
        {
            patchOf[node] = size_t(c);
            count = std::max(count, size_t(c) + 1);
        }
    }
    // The others join the patch they have most friendships with (the first of equals), in file
    // order; those with none there stand in a patch of their own at the end.
    const size_t loose = count;
    std::vector<size_t> tally(count, 0);
    for (const size_t node : graph.Friends())
    {
        if (patchOf[node] != None)
            continue;
        std::fill(tally.begin(), tally.end(), 0);
        for (size_t other : friendsOf[node])
            if (patchOf[other] < loose)
                ++tally[patchOf[other]];
        const auto best = std::max_element(tally.begin(), tally.end());
        patchOf[node] = best != tally.end() && *best > 0 ? size_t(best - tally.begin()) : loose;
    }
    patches.assign(count + 1, Patch());
    for (const size_t node : graph.Friends())
        patches[patchOf[node]].members.push_back(node);
    if (patches.back().members.empty())
        patches.pop_back();
    for (Patch& patch : patches)
    {
        // A cap of angular radius r holds the share (1 − cos r) / 2 of the sphere.
        const double share = PatchArea * double(patch.members.size()) / double(graph.NodeCount());
        patch.radius = std::acos(std::max(-1.0, 1.0 - 2.0 * share));
    }
}

bool Arrangement::PlacePatches(const Checkpoint& checkpoint)
{
    const size_t k = patches.size();
    if (k == 0)
        return true;
    // The bond of two patches: their friendships over the smaller one's size, so that a small
    // patch well bound to a large one lies beside it.
    std::vector<double> bond(k * k, 0.0);
    for (const auto& [a, b] : graph.Friendships())
        if (patchOf[a] != patchOf[b])
        {
            bond[patchOf[a] * k + patchOf[b]] += 1.0;
            bond[patchOf[b] * k + patchOf[a]] += 1.0;
        }
    std::vector<double> bonds(k, 0.0);
    for (size_t g = 0; g < k; ++g)
        for (size_t h = 0; h < k; ++h)
        {
            bond[g * k + h] /=
                double(std::min(patches[g].members.size(), patches[h].members.size()));
            bonds[g] += bond[g * k + h];
        }

    // They start on the spiral by the user, in an order that follows the bonds: the largest,
    // then each time the one most bound to those already placed.
    std::vector<size_t> order{0};
    std::vector<bool> placed(k, false);
    placed[0] = true;
    std::vector<double> held(k, 0.0);
    while (order.size() < k)
    {
        for (size_t h = 0; h < k; ++h)
            held[h] += bond[order.back() * k + h];
        size_t next = k;
        for (size_t h = 0; h < k; ++h)
            if (!placed[h] && (next == k || held[h] > held[next]))
                next = h;
        placed[next] = true;
        order.push_back(next);
    }
    const std::vector<UTL_SpherePlace> start = UTL_SphereLayout::Spiral(k + 1);
    for (size_t i = 0; i < k; ++i)
        patches[order[i]].centre = Vector::FromPlace(start[i + 1]);

    // Stochastic gradient descent over the pairs of patches, with a step that shrinks round by
    // round: bound patches are drawn to touch, each by at most the step over all its bonds; then
    // overlapping ones are pushed apart to touch, a few times over.
    std::vector<std::pair<size_t, size_t>> pairs;
    for (size_t g = 0; g < k; ++g)
        for (size_t h = g + 1; h < k; ++h)
            pairs.emplace_back(g, h);
    for (int round = 0; round < PatchRounds; ++round)
    {
        if (!checkpoint(0.1 * round / PatchRounds))
            return false;
        const double step = std::exp(std::log(0.01) * round / (PatchRounds - 1));
        random.Shuffle(pairs);
        for (const auto& [g, h] : pairs)
        {
            Patch& a = patches[g];
            Patch& b = patches[h];
            const double target = Chord(a.radius + b.radius);
            const double w = bond[g * k + h];
            if (w > 0.0 && (b.centre - a.centre).Length() > target)
                Pull(a.centre, b.centre, false, false, target,
                     std::min(1.0, step * w / std::max(bonds[g], bonds[h])));
        }
        for (int pass = 0; pass < OverlapPasses; ++pass)
            for (const auto& [g, h] : pairs)
            {
                Patch& a = patches[g];
                Patch& b = patches[h];
                const double target = Chord(a.radius + b.radius);
                if ((b.centre - a.centre).Length() < target)
                    Pull(a.centre, b.centre, false, false, target, 1.0);
            }
    }
    return true;
}

void Arrangement::Scatter()
{
    for (const Patch& patch : patches)
    {
        const Vector u = patch.centre.Perpendicular();
        const Vector v = patch.centre.Cross(u);
        const double lowest = std::cos(patch.radius);
        for (size_t node : patch.members)
        {
            // Uniform over the cap: the height along its centre uniform in [cos r, 1].
            const double height = 1.0 - random.Unit() * (1.0 - lowest);
            const double turn = 2.0 * Pi * random.Unit();
            const double side = std::sqrt(std::max(0.0, 1.0 - height * height));
            points[node] =
                (patch.centre * height + u * (side * std::cos(turn)) + v * (side * std::sin(turn)))
                    .OnSphere();
        }
    }
}

bool Arrangement::Relax(const Checkpoint& checkpoint)
{
    // Fruchterman and Reingold's forces on the sphere, d being the chord and k the even spacing:
    // a friendship pulls its two ends together with d²/k, everyone pushes everyone away with
    // k²/d (weighted by their friendships), and each friend moves along the sphere by the sum,
    // at most by a step that cools round by round.
    const size_t count = points.size();
    const double k = Chord(spacing);
    double meanFriends = 0.0;
    std::vector<double> weight(count);
    double meanWeight = 0.0;
    for (size_t i = 0; i < count; ++i)
    {
        meanFriends += double(friendsOf[i].size()) / double(count);
        weight[i] = std::pow(double(friendsOf[i].size()) + 1.0, PushByFriends);
        meanWeight += weight[i] / double(count);
    }
    const double pullScale = ReferenceFriends / std::max(1.0, meanFriends) / k;
    double push = FirstPush;
    std::vector<Vector> force(count);
    for (int round = 0; round < SpringRounds; ++round)
    {
        if (!checkpoint(0.1 + 0.8 * round / SpringRounds))
            return false;
        if (round % SteerEvery == 0 && round < SpringRounds * 3 / 4)
        {
            // Not enough of the globe covered: push harder; too much: less hard.
            const double ratio = TargetCoverage / std::max(Coverage(), 0.05);
            push *= std::max(0.7, std::min(1.4, ratio * ratio));
        }
        const double step =
            k * StepFirst * std::exp(std::log(StepLast / StepFirst) * round / (SpringRounds - 1));
        far.Build(points, weight);
        const double pushScale = push * k * k / meanWeight;
        for (size_t i = 0; i < count; ++i)
            force[i] = fixed[i] ? Vector{} : far.At(i, Openness) * (pushScale * weight[i]);
        for (const auto& [a, b] : graph.Friendships())
        {
            const Vector d = points[b] - points[a];
            const Vector pull = d * (d.Length() * pullScale);
            force[a] += pull;
            force[b] -= pull;
        }
        for (size_t i = 0; i < count; ++i)
        {
            if (fixed[i])
                continue;
            const Vector& p = points[i];
            const Vector along = force[i] - p * force[i].Dot(p);
            const double length = along.Length();
            if (length > 1e-300)
                points[i] = (p + along * (std::min(length, step) / length)).OnSphere();
        }
    }
    return true;
}

double Arrangement::Coverage()
{
    // The probes sorted in with the people: a probe is covered by anyone within the spacing.
    const size_t count = points.size();
    std::vector<Vector> all = points;
    all.insert(all.end(), probes.begin(), probes.end());
    const double reach = Chord(spacing);
    grid.Build(all, reach);
    std::vector<bool> covered(probes.size(), false);
    grid.ForPairs(
        [&](size_t a, size_t b)
        {
            if (a < count && b >= count && !covered[b - count] &&
                (all[a] - all[b]).Length() < reach)
                covered[b - count] = true;
        });
    return double(std::count(covered.begin(), covered.end(), true)) / double(probes.size());
}

bool Arrangement::Space(const Checkpoint& checkpoint)
{
    const double least = Chord(UTL_SphereLayout::MinimumSpacing * spacing);
    for (int round = 0; round < SpacingRounds; ++round)
    {
        if (!checkpoint(0.9 + 0.1 * round / SpacingRounds))
            return false;
        grid.Build(points, least);
        size_t near = 0;
        grid.ForPairs(
            [&](size_t a, size_t b)
            {
                if ((points[b] - points[a]).Length() < least)
                {
                    ++near;
                    // A tenth past the least: fewer pairs pushed into others' way again.
                    Pull(points[a], points[b], fixed[a], fixed[b], least * 1.1, 1.0);
                }
            });
        if (near == 0)
            break;
    }
    return true;
}

// The spiral's places given out in `order` (node indices), after the user's on the first.
std::vector<UTL_SpherePlace> SpiralInOrder(const UTL_SocialGraph& graph,
                                           const std::vector<size_t>& order)
{
    const std::vector<UTL_SpherePlace> spiral = UTL_SphereLayout::Spiral(graph.NodeCount());
    std::vector<UTL_SpherePlace> places(graph.NodeCount());
    size_t next = 0;
    if (graph.HasUser())
        places[graph.User()] = spiral[next++];
    for (size_t node : order)
        if (node < places.size() && node != graph.User() && next < spiral.size())
            places[node] = spiral[next++];
    return places;
}
} // namespace

std::vector<UTL_SpherePlace> UTL_SphereLayout::Spiral(size_t count)
{
    // The globe's spiral, step for step in single precision: the golden angle (3 − √5)·π between
    // successive places, heights from 1 − 1/count down in steps of 2/count.
    std::vector<UTL_SpherePlace> places;
    places.reserve(count);
    const float goldenAngle = (3.0f - std::sqrt(5.0f)) * GlobePi;
    const float step = 2.0f / static_cast<float>(count);
    float y = 1.0f - step / 2.0f;
    float angle = 0.0f;
    for (size_t i = 0; i < count; ++i)
    {
        UTL_SpherePlace place;
        const float height = y > 1.0f ? 1.0f : (y < -1.0f ? -1.0f : y);
        place.latitude = 90.0f - std::acos(height) * 180.0f / GlobePi;
        float longitude = std::fmod(angle * 180.0f / GlobePi, 360.0f);
        if (longitude > 180.0f)
            longitude -= 360.0f;
        place.longitude = longitude;
        places.push_back(place);
        y -= step;
        angle += goldenAngle;
    }
    return places;
}

std::vector<UTL_SpherePlace> UTL_SphereLayout::Arrival(const UTL_SocialGraph& graph)
{
    return SpiralInOrder(graph, graph.Friends());
}

std::vector<UTL_SpherePlace> UTL_SphereLayout::ByCommunity(const UTL_SocialGraph& graph,
                                                           const UTL_Communities& communities)
{
    std::vector<size_t> order = communities.NodeOrder();
    // Friends the communities do not know (found before the graph grew) come last, in file order.
    std::vector<bool> listed(graph.NodeCount(), false);
    for (size_t node : order)
        if (node < listed.size())
            listed[node] = true;
    for (size_t node : graph.Friends())
        if (!listed[node])
            order.push_back(node);
    return SpiralInOrder(graph, order);
}

bool UTL_SphereLayout::Arrange(const UTL_SocialGraph& graph, const UTL_Communities* communities,
                               std::vector<UTL_SpherePlace>& places) const
{
    const Checkpoint checkpoint = [this](double fraction)
    {
        if (Cancelled())
            return false;
        Report(fraction);
        return true;
    };
    if (!checkpoint(0.0))
        return false;

    UTL_Communities found;
    if (!communities)
    {
        std::string error;
        // Without igraph's communities, those the file gave (or none) are still patches.
        if (!found.Detect(graph, error))
            found.FromGraph(graph);
        communities = &found;
    }

    Arrangement arrangement(graph, *communities, seed);
    if (!arrangement.PlacePatches(checkpoint))
        return false;
    arrangement.Scatter();
    if (!arrangement.Relax(checkpoint) || !arrangement.Space(checkpoint))
        return false;

    std::vector<UTL_SpherePlace> result(graph.NodeCount());
    for (size_t i = 0; i < result.size(); ++i)
        result[i] = arrangement.Points()[i].ToPlace();
    // Exactly the spiral's first place, not its round trip through double precision.
    if (graph.HasUser())
        result[graph.User()] = Spiral(graph.NodeCount())[0];
    places = std::move(result);
    Report(1.0);
    return true;
}

std::vector<UTL_SphereLayout::Region>
UTL_SphereLayout::Regions(const UTL_SocialGraph& graph, const UTL_Communities& communities,
                          const std::vector<UTL_SpherePlace>& places)
{
    const auto& list = communities.List();
    std::vector<std::vector<size_t>> members(list.size());
    for (size_t node = 0; node < graph.NodeCount() && node < places.size(); ++node)
    {
        const int c = communities.CommunityOf(node);
        if (c >= 0 && size_t(c) < list.size())
            members[size_t(c)].push_back(node);
    }
    std::vector<Region> regions(list.size());
    for (size_t c = 0; c < list.size(); ++c)
    {
        Region& region = regions[c];
        region.size = list[c].size;
        region.bestConnected = list[c].bestConnected;
        if (members[c].empty())
            continue;
        Vector sum;
        for (size_t node : members[c])
            sum += Vector::FromPlace(places[node]);
        // Members spread all round the globe have no centre of their own: the best-connected
        // member's place serves.
        const size_t best =
            region.bestConnected < places.size() ? region.bestConnected : members[c].front();
        const Vector centre = sum.Length() > 1e-6 * double(members[c].size())
                                  ? sum.OnSphere()
                                  : Vector::FromPlace(places[best]);
        region.centre = centre.ToPlace();
        std::vector<double> angles;
        for (size_t node : members[c])
            angles.push_back(centre.AngleTo(Vector::FromPlace(places[node])));
        // The angle that holds four members in five.
        const size_t most = std::min(angles.size() - 1, size_t(0.8 * double(angles.size())));
        std::nth_element(angles.begin(), angles.begin() + most, angles.end());
        region.radius = float(angles[most] * 180.0 / Pi);
    }
    return regions;
}
