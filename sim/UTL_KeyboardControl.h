#pragma once

#include <functional>
#include <string>
#include <vector>

// The keyboard and the mouse wheel as the main scene understands them. Keys are the classic
// virtual-key codes the controllers receive; the view translates Qt's keys to them.
//
// Held keys steer: the arrows turn (left and right, in heading) and tilt (up and down, in pitch)
// the view at a steady rate, and Page Up / Page Down, + / − (main keyboard or keypad) zoom in and
// out. Pressed keys command: Home flies back to the user, Tab and Shift+Tab step to the next
// and previous friend, Space starts or stops the tour, Escape shows everyone again after a
// filter or a question. One notch of the wheel away from the user
// zooms in by WheelStep, towards the user out. The shell's own shortcuts (search, full screen,
// quit, help, the File menu's) never reach the scene.
//
// Every key and mouse gesture is one binding of one table: the scene's commands are looked up
// there, the shell takes its menus' shortcuts from it, and the help page is written from it, so
// a key is added in one place.
//
// Units: degrees and degrees per second, seconds, the wheel in eighths of a degree (120 a
// notch). Plain arithmetic, no GL.
class UTL_KeyboardControl
{
public:
    enum class Command
    {
        None,
        // The scene's, on a key press.
        GoHome,
        NextFriend,
        PreviousFriend,
        ToggleTour,
        ClearFocus,
        // The scene's, while keys are held or the mouse moves: listed, never looked up.
        TurnAndTilt,
        Zoom,
        Select,
        AskPath,
        AskInCommon,
        // The shell's menus.
        Find,
        OpenGraph,
        SavePicture,
        LogInAgain,
        Quit,
        FullScreen,
        Help,
        StopArranging,
    };

    // One way of giving a command: the keys that give it (the first as menus and key sequences
    // spell it, e.g. "Shift+Tab"), and how the help page names the gesture and what it does.
    struct Binding
    {
        Command command;
        int key;            // the virtual-key code a scene command listens to; 0 for the shell's
        bool shift;         // with Shift held
        const char* keys;   // "Ctrl+F"; empty for the mouse alone
        const char* shown;  // the help page's name of it, HTML
        const char* action; // what it does; empty: the line of the binding before goes on
    };
    static const std::vector<Binding>& Bindings();
    // The keys of a shell command as a key sequence reads them ("Ctrl+F"); empty for none.
    static std::string Shortcut(Command command);
    // The help page: one line per action, HTML.
    static std::string HelpPage();

    // Virtual-key codes the scene listens to.
    enum Key
    {
        KeyTab = 9,
        KeyEscape = 27,
        KeyShift = 16,
        KeySpace = 32,
        KeyPageUp = 33,
        KeyPageDown = 34,
        KeyHome = 36,
        KeyLeft = 37,
        KeyUp = 38,
        KeyRight = 39,
        KeyDown = 40,
        KeyPadPlus = 107,
        KeyPadMinus = 109,
        KeyPlus = 187,
        KeyMinus = 189,
    };

    // What the held keys do over `seconds`: heading and pitch to turn by, and the factor the
    // camera's distance is multiplied by (below 1 comes closer).
    struct Steering
    {
        float heading = 0.0f;
        float pitch = 0.0f;
        float zoom = 1.0f;
        bool Turns() const { return heading != 0.0f || pitch != 0.0f; }
    };

    // The command of a key pressed, Shift held or not.
    static Command CommandOf(int key, bool shift);
    // Opposite keys held together cancel out.
    static Steering Steer(const std::function<bool(int key)>& held, float seconds);
    // The distance factor of the wheel turned by `delta` (positive: away from the user).
    static float WheelZoom(int delta);
    // `distance` times `factor`, held within the camera's limits.
    static float Zoomed(float distance, float factor, float minDistance, float maxDistance);
    // The index `step` places on from `current` among `count` entries, wrapping around; from no
    // entry (−1) a step forwards lands on the first, backwards on the last. −1 when empty.
    static int StepIndex(int current, int count, int step);

    static constexpr float TurnRate = 60.0f; // degrees of heading per second
    static constexpr float TiltRate = 40.0f; // degrees of pitch per second
    // The distance shrinks to this share per second while a zoom-in key is held.
    static constexpr float ZoomPerSecond = 0.5f;
    static constexpr float WheelStep = 0.85f; // distance factor of one notch in
    static constexpr int WheelNotch = 120;
};
