#include "sim/UTL_Focus.h"

#include "gfx/GFX_HalvaneCamera.h"
#include "graph/UTL_CirclePaths.h"
#include "graph/UTL_SocialGraph.h"
#include "scene/GFX_ConnectionFriends.h"
#include "scene/GFX_Emphasis.h"
#include "scene/GFX_Friend.h"
#include "scene/GFX_LocationHolderFriend.h"
#include "sim/UTL_CameraMotion.h"
#include "sim/UTL_CircleAnalysis.h"
#include "sim/UTL_FriendCircle.h"

#include <algorithm>
#include <cmath>

namespace
{
std::pair<const GFX_Friend*, const GFX_Friend*> Pair(const GFX_Friend* a, const GFX_Friend* b)
{
    return a < b ? std::make_pair(a, b) : std::make_pair(b, a);
}

const GFX_Friend* PersonOf(const GFX_LocationHolderFriend* holder)
{
    return holder ? holder->GetFriend() : nullptr;
}

std::string Counted(size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}
} // namespace

UTL_Focus::UTL_Focus(UTL_FriendCircle& circle, UTL_CircleAnalysis& analysis)
    : circle(circle), analysis(analysis)
{
}

void UTL_Focus::Hover(const GFX_Friend* person, float seconds)
{
    if (person != candidate)
    {
        // Leaving a person restores the circle at once; the next one shows once the pointer
        // rests on them.
        candidate = person;
        candidateSeconds = 0.0f;
        hovered = nullptr;
        return;
    }
    candidateSeconds += seconds;
    if (candidate && candidateSeconds >= HoverDwell)
        hovered = candidate;
}

bool UTL_Focus::SetFilter(Filter value, const GFX_Friend* person)
{
    if (value == Filter::None)
    {
        if (filter != Filter::None)
        {
            filter = Filter::None;
            centre = nullptr;
            community = -1;
            Changed();
        }
        return true;
    }
    if (!person)
        return false;
    int found = -1;
    if (value == Filter::Community)
    {
        const size_t node = analysis.NodeOf(person);
        found = node == UTL_SocialGraph::NoNode ? -1 : analysis.CommunityOf(node);
        if (found < 0)
            return false;
    }
    question = Question::None;
    answer.clear();
    from = to = nullptr;
    filter = value;
    centre = person;
    community = found;
    Changed();
    return true;
}

bool UTL_Focus::Ask(Question value, const GFX_Friend* first, const GFX_Friend* second)
{
    if (value == Question::None)
    {
        if (question != Question::None)
        {
            question = Question::None;
            answer.clear();
            from = to = nullptr;
            Changed();
        }
        return true;
    }
    if (!first || !second || first == second)
        return false;
    const size_t a = analysis.NodeOf(first);
    const size_t b = analysis.NodeOf(second);
    if (a == UTL_SocialGraph::NoNode || b == UTL_SocialGraph::NoNode || a == b)
        return false;
    const UTL_CirclePaths& paths = analysis.Paths();
    const size_t user = analysis.Graph().User();
    if (value == Question::InCommon)
        answer = analysis.People(paths.InCommon(a, b));
    else if (a == user || b == user)
        answer = analysis.People({a, b}); // the user is everyone's friend
    else
        answer = analysis.People(paths.ShortestPath(a, b));
    filter = Filter::None;
    centre = nullptr;
    community = -1;
    question = value;
    from = first;
    to = second;
    // The camera is at the person asking, or on its way there: the glide goes on from the
    // next stop.
    nextStop = 1;
    gliding = value == Question::Path && answer.size() > 1;
    asked = false;
    restSeconds = StopPause;
    Changed();
    return true;
}

void UTL_Focus::Clear()
{
    SetFilter(Filter::None, nullptr);
    Ask(Question::None, nullptr, nullptr);
}

void UTL_Focus::Forget(const GFX_Friend* person)
{
    if (!person)
        return;
    if (candidate == person)
        candidate = nullptr;
    if (hovered == person)
        hovered = nullptr;
    if (centre == person)
        SetFilter(Filter::None, nullptr);
    if (from == person || to == person ||
        std::find(answer.begin(), answer.end(), person) != answer.end())
        Ask(Question::None, nullptr, nullptr);
    if (kept.erase(person) + lit.erase(person) > 0)
        keptFor = ~uint64_t(0);
}

void UTL_Focus::Reset()
{
    candidate = hovered = nullptr;
    candidateSeconds = 0.0f;
    filter = Filter::None;
    centre = nullptr;
    community = -1;
    question = Question::None;
    from = to = nullptr;
    answer.clear();
    kept.clear();
    lit.clear();
    litPairs.clear();
    gliding = false;
    Changed();
    // What was painted goes with the circle; its new locators and lines start plain.
    paintedMode = Mode::None;
    paintedVersion = version;
    paintedHover = nullptr;
}

void UTL_Focus::Changed()
{
    ++version;
    keptFor = ~uint64_t(0);
}

UTL_Focus::Mode UTL_Focus::CurrentMode() const
{
    if (question != Question::None)
        return Mode::Question;
    if (filter != Filter::None)
        return Mode::Filter;
    return hovered ? Mode::Hover : Mode::None;
}

void UTL_Focus::Apply(const GFX_Friend* selected)
{
    if (question != Question::None && selected != from)
        Ask(Question::None, nullptr, nullptr);
    if ((filter == Filter::Friends || filter == Filter::FriendsOfFriends) && selected != centre)
    {
        if (selected)
        {
            centre = selected;
            Changed();
        }
        else
            SetFilter(Filter::None, nullptr);
    }

    const Mode mode = CurrentMode();
    const uint64_t change = circle.GetChangeCount();
    if (mode == paintedMode && version == paintedVersion && change == paintedChange &&
        (mode != Mode::Hover || hovered == paintedHover))
        return;
    const bool repaint = mode != Mode::None || paintedMode != Mode::None;
    paintedMode = mode;
    paintedVersion = version;
    paintedChange = change;
    paintedHover = hovered;
    if (!repaint)
        return; // new lines and locators start plain
    if ((mode == Mode::Filter || mode == Mode::Question) && keptFor != change)
        FindKept();
    Paint(mode);
}

void UTL_Focus::FindKept()
{
    kept.clear();
    lit.clear();
    litPairs.clear();
    keptFor = circle.GetChangeCount();
    if (question == Question::Path && !answer.empty())
    {
        for (size_t i = 0; i < answer.size(); ++i)
        {
            kept.insert(answer[i]);
            lit.insert(answer[i]);
            if (i > 0)
                litPairs.insert(Pair(answer[i - 1], answer[i]));
        }
    }
    else if (question != Question::None)
    {
        // Only the user joins the two, or what the two have in common: the lines from each of
        // them to whoever stands between them.
        kept = {from, to};
        lit = {from, to};
        std::vector<const GFX_Friend*> between(answer.begin(), answer.end());
        if (question == Question::Path && circle.GetSelf())
            between = {circle.GetSelf()};
        for (const GFX_Friend* person : between)
        {
            kept.insert(person);
            litPairs.insert(Pair(from, person));
            litPairs.insert(Pair(to, person));
        }
    }
    else if (filter != Filter::None)
    {
        std::vector<size_t> nodes;
        if (filter == Filter::Community)
            nodes = analysis.Members(community);
        else
            nodes = analysis.Paths().Neighbourhood(analysis.NodeOf(centre),
                                                   filter == Filter::Friends ? 1 : 2);
        for (const GFX_Friend* person : analysis.People(nodes))
            kept.insert(person);
    }
}

void UTL_Focus::Paint(Mode mode)
{
    const auto& lines = circle.GetConnections();
    if (mode != Mode::None)
        // Lines find their ends when first drawn; those that arrived since the last frame find
        // them now, so that they take the emphasis of their ends.
        for (const auto& line : lines)
            if (!line->IsResolved())
                line->FindHolders();
    if (mode == Mode::Hover)
    {
        kept = {hovered};
        lit = {hovered};
        litPairs.clear();
        keptFor = ~uint64_t(0);
        for (const auto& line : lines)
        {
            const GFX_Friend* a = PersonOf(line->GetHolder1());
            const GFX_Friend* b = PersonOf(line->GetHolder2());
            if (a == hovered || b == hovered)
                kept.insert(a == hovered ? b : a);
        }
    }

    for (const auto& holder : circle.GetHolders())
    {
        GFX_Emphasis emphasis = GFX_Emphasis::Normal;
        if (mode != Mode::None)
        {
            const GFX_Friend* person = PersonOf(holder->AsFriendHolder());
            emphasis = lit.count(person)    ? GFX_Emphasis::Lit
                       : kept.count(person) ? GFX_Emphasis::Normal
                                            : GFX_Emphasis::Faded;
        }
        holder->SetEmphasis(emphasis);
        // The people of an answer show larger, so that the faded labels before them hide
        // less of them; the selected label keeps its size.
        if (!holder->IsSelected())
        {
            const float size = mode == Mode::Question && emphasis == GFX_Emphasis::Lit
                                   ? AnswerLabelSize
                                   : GFX_LocationHolder::LabelSize;
            holder->SetBillboardSize(size, size);
        }
    }
    for (const auto& line : lines)
    {
        GFX_Emphasis emphasis = GFX_Emphasis::Normal;
        if (mode != Mode::None)
        {
            const GFX_LocationHolderFriend* first = line->GetHolder1();
            const GFX_LocationHolderFriend* second = line->GetHolder2();
            const GFX_Friend* a = PersonOf(first);
            const GFX_Friend* b = PersonOf(second);
            const bool joined = a && b;
            emphasis = GFX_Emphasis::Faded;
            if (joined && (mode == Mode::Hover ? (a == hovered || b == hovered)
                                               : litPairs.count(Pair(a, b)) > 0))
                emphasis = GFX_Emphasis::Lit;
            else if (joined && mode == Mode::Filter &&
                     first->GetEmphasis() != GFX_Emphasis::Faded &&
                     second->GetEmphasis() != GFX_Emphasis::Faded)
                emphasis = GFX_Emphasis::Normal;
        }
        line->SetEmphasis(emphasis);
    }
}

void UTL_Focus::Glide(float seconds, UTL_CameraMotion& motion, const GFX_HalvaneCamera& camera)
{
    if (!gliding)
        return;
    if (question != Question::Path || motion.IsDragging() ||
        motion.GetAutoMode() != UTL_CameraMotion::AutoIdle)
    {
        gliding = false;
        return;
    }
    if (motion.IsFlying())
    {
        // Another glide than the one asked for (a click elsewhere) takes over; before the first
        // stop, the glide to the person asking goes on.
        if (asked &&
            (motion.GetFlightHeading() != askedHeading || motion.GetFlightPitch() != askedPitch))
            gliding = false;
        restSeconds = 0.0f;
        return;
    }
    // A glide ends within a degree of its stop (as near as the camera's pitch limits let it
    // come); a camera elsewhere was steered away.
    float heading = std::fmod(camera.GetHeading() - askedHeading, 360.0f);
    heading =
        heading > 180.0f ? heading - 360.0f : (heading < -180.0f ? heading + 360.0f : heading);
    const float pitch = std::clamp(askedPitch, camera.GetMinPitch(), camera.GetMaxPitch());
    if (asked && (std::fabs(heading) > ArrivedDegrees ||
                  std::fabs(camera.GetPitch() - pitch) > ArrivedDegrees))
    {
        gliding = false;
        return;
    }
    restSeconds += seconds;
    if (restSeconds < StopPause)
        return;
    if (nextStop >= answer.size())
    {
        gliding = false;
        return;
    }
    GFX_LocationHolderFriend* holder = circle.HolderOf(answer[nextStop++]);
    if (!holder)
        return;
    asked = true;
    askedHeading = holder->GetLongitude();
    askedPitch = holder->GetLatitude();
    motion.FlyTo(askedHeading, askedPitch);
    restSeconds = 0.0f;
}

std::string UTL_Focus::Describe() const
{
    const auto name = [](const GFX_Friend* person)
    { return person ? person->GetShownName() : std::string(); };
    const std::string clear = " · Esc clears it";
    const std::string everyone = " · Esc shows everyone";
    switch (question)
    {
    case Question::Path:
        if (answer.empty())
            return name(from) + " and " + name(to) +
                   (circle.GetSelf() ? " are connected only through you" : " are not connected") +
                   clear;
        return "Chain from " + name(from) + " to " + name(to) + ": " +
               Counted(answer.size() - 1, "friendship", "friendships") + clear;
    case Question::InCommon:
        return name(from) + " and " + name(to) + " have " +
               Counted(answer.size(), "friend", "friends") + " in common" + clear;
    case Question::None:
        break;
    }
    const size_t others = kept.empty() ? 0 : kept.size() - 1;
    switch (filter)
    {
    case Filter::Friends:
        return "Showing only " + name(centre) + " and their " +
               Counted(others, "friend", "friends") + everyone;
    case Filter::FriendsOfFriends:
        return "Showing " + name(centre) + "'s friends and their friends (" +
               Counted(kept.size(), "person", "people") + ")" + everyone;
    case Filter::Community:
        return "Showing community " + std::to_string(community) + " (" +
               Counted(kept.size(), "person", "people") + ")" + everyone;
    case Filter::None:
        break;
    }
    return std::string();
}
