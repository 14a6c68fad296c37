#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

class GFX_Friend;
class GFX_HalvaneCamera;
class UTL_CameraMotion;
class UTL_CircleAnalysis;
class UTL_FriendCircle;

// What the globe brings forward while the user asks something of the circle, and how: the rest
// of the circle fades (GFX_Emphasis) so that the answer stands out, without the camera moving.
//
// - Hover: while the pointer rests on a person (HoverDwell seconds, on the globe or in a dock),
//   their friendships light up and everyone but them and their friends fades; leaving restores
//   the circle.
// - A filter: only the selected person and their friends, or their friends and friends of
//   friends (both follow the selection), or one community stay; every line with a faded end
//   fades.
// - A question about two people, asked with the first selected: the shortest chain of
//   friendships between them that does not pass through the user (its people and lines lit, the
//   camera gliding along it stop by stop), or the friends they have in common. Where only the
//   user joins two friends, the two lines through the user light up instead.
// A filter and a question replace each other; either holds until Clear (Escape), and a question
// also ends when someone other than its asker is selected. Hover shows only while neither is in
// force.
//
// Apply, once per frame before the globe is drawn, puts the emphasis on every locator and line
// when something it depends on changed; a filter over the largest circles takes a few
// milliseconds. People are known by pointer and forgotten through Forget before they go. No GL;
// the user-interface (GL) thread only.
class UTL_Focus
{
public:
    enum class Filter
    {
        None,
        Friends,          // the centre and their friends in the circle
        FriendsOfFriends, // and the friends of those
        Community,        // one community
    };
    enum class Question
    {
        None,
        Path,     // the shortest chain of friendships avoiding the user
        InCommon, // the friends two people have in common
    };

    UTL_Focus(UTL_FriendCircle& circle, UTL_CircleAnalysis& analysis);
    UTL_Focus(const UTL_Focus&) = delete;
    UTL_Focus& operator=(const UTL_Focus&) = delete;

    // The person under the pointer this frame (null: nobody), `seconds` after the last.
    void Hover(const GFX_Friend* person, float seconds);
    // Puts a filter around `centre` (the community filter: the centre's community) in force in
    // place of whatever was; false, changing nothing, without a centre or when the centre has no
    // community. Filter::None clears the filter.
    bool SetFilter(Filter filter, const GFX_Friend* centre);
    // Asks how `from` and `to` are connected, or what friends they have in common, in place of
    // whatever filter or question was in force; false, changing nothing, when either is missing
    // or both are one person.
    bool Ask(Question question, const GFX_Friend* from, const GFX_Friend* to);
    // Escape: the filter and the question go.
    void Clear();
    // The person is about to be deleted.
    void Forget(const GFX_Friend* person);
    // Forgets everything without touching the circle, which is about to be emptied.
    void Reset();

    // The frame's emphasis on every locator and line, with `selected` the person selected now.
    void Apply(const GFX_Friend* selected);
    // The frame's step of the glide along a chain: once `camera` has reached a stop and rested
    // StopPause seconds, the next. Any other motion (a drag, a turn, the keys, a glide someone
    // else started) ends it.
    void Glide(float seconds, UTL_CameraMotion& motion, const GFX_HalvaneCamera& camera);

    Filter GetFilter() const { return filter; }
    const GFX_Friend* GetCentre() const { return centre; }
    int GetCommunity() const { return community; }
    Question GetQuestion() const { return question; }
    const GFX_Friend* GetFrom() const { return from; }
    const GFX_Friend* GetTo() const { return to; }
    // The chain from `from` to `to`, both ends included (empty: only the user joins them), or
    // the friends in common, in the circle's order.
    const std::vector<GFX_Friend*>& GetAnswer() const { return answer; }
    // How many people the filter keeps.
    size_t CountKept() const { return kept.size(); }
    // The person whose neighbourhood hovering shows; null for none.
    const GFX_Friend* GetHovered() const { return hovered; }
    // Grows whenever the filter or the question changes.
    uint64_t GetVersion() const { return version; }
    // What is shown, for the status bar ("Showing only …'s 38 friends · Esc shows everyone");
    // empty with neither a filter nor a question.
    std::string Describe() const;

    static constexpr float HoverDwell = 0.25f;
    // The label size of the people of an answer (the others have GFX_LocationHolder's
    // LabelSize, the selected one its SelectedLabelSize).
    static constexpr float AnswerLabelSize = 1500.0f;
    static constexpr float StopPause = 0.6f;
    // A little more than the degree within which a glide ends.
    static constexpr float ArrivedDegrees = 1.5f;

private:
    enum class Mode
    {
        None,
        Hover,
        Filter,
        Question,
    };
    Mode CurrentMode() const;
    // The people the filter keeps, as of the circle now.
    void FindKept();
    // The emphasis of the mode in force on every locator and line.
    void Paint(Mode mode);
    void Changed();

    UTL_FriendCircle& circle;
    UTL_CircleAnalysis& analysis;

    const GFX_Friend* candidate = nullptr;
    float candidateSeconds = 0.0f;
    const GFX_Friend* hovered = nullptr;

    Filter filter = Filter::None;
    const GFX_Friend* centre = nullptr;
    int community = -1;
    Question question = Question::None;
    const GFX_Friend* from = nullptr;
    const GFX_Friend* to = nullptr;
    std::vector<GFX_Friend*> answer;
    uint64_t version = 0;

    // What the mode in force keeps, lights and joins with lit lines.
    std::unordered_set<const GFX_Friend*> kept;
    std::unordered_set<const GFX_Friend*> lit;
    std::set<std::pair<const GFX_Friend*, const GFX_Friend*>> litPairs;
    uint64_t keptFor = ~uint64_t(0);

    // What Apply last painted.
    Mode paintedMode = Mode::None;
    uint64_t paintedVersion = 0;
    uint64_t paintedChange = 0;
    const GFX_Friend* paintedHover = nullptr;

    // The glide along the chain: the next stop, the rest at the last, and where it asked the
    // camera to go.
    size_t nextStop = 0;
    float restSeconds = 0.0f;
    bool gliding = false;
    bool asked = false;
    float askedHeading = 0.0f;
    float askedPitch = 0.0f;
};
