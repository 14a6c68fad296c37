#pragma once

class GFX_Friend;
class GFX_LocationHolder;
class UTL_FriendCircle;

// Who is selected in the main scene, and what shows it: the selected locator's label grown and
// its friendship lines bright, the person's docked item marked, everything else back to normal.
// Picking on the globe, a click in a dock and the tour all select through Select. The circle
// must outlive the selection. No GL.
class UTL_Selection
{
public:
    explicit UTL_Selection(UTL_FriendCircle& circle) : circle(circle) {}

    UTL_Selection(const UTL_Selection&) = delete;
    UTL_Selection& operator=(const UTL_Selection&) = delete;

    // Every locator to the normal label size and unselected, every line dim, every docked item
    // unselected; then the locator (when given) to the selected size, selected, with its lines
    // bright, and the person's docked items (when given) selected.
    void Select(GFX_LocationHolder* holder, GFX_Friend* person);
    // Forgets the person, who is about to be deleted.
    void Forget(const GFX_Friend* person);
    // Forgets the selection without touching what shows it: the whole circle is about to go.
    void Reset()
    {
        holder = nullptr;
        person = nullptr;
    }

    GFX_LocationHolder* GetHolder() const { return holder; }
    GFX_Friend* GetPerson() const { return person; }

private:
    UTL_FriendCircle& circle;
    GFX_LocationHolder* holder = nullptr;
    GFX_Friend* person = nullptr;
};
