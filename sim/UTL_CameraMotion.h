#pragma once

class GFX_HalvaneCamera;

// The camera's motions that are not the dial's: the automatic modes (turning west or east, or a
// random tour from friend to friend, started by the rotation buttons, by a flick, or after 50
// idle seconds), the glide towards a picked place, and the drag that turns the globe under the
// pointer. It turns the camera it is handed and decides; the controller carries out what it
// decides about the interface and the selection. The idle clock counts only while the host lets
// it (its window active, none of its dialogs open), and a window that draws no frames while
// nothing moves tells it how long it rested, so that the clock keeps wall-clock time.
//
// Units: degrees for angles (heading is longitude, pitch latitude), seconds for time, view
// pixels for the pointer. Plain arithmetic, no GL.
class UTL_CameraMotion
{
public:
    enum AutoMode
    {
        AutoIdle = 0,
        AutoTurnWest = 1,
        AutoTurnEast = 2,
        AutoTour = 3,
    };

    // How a drag ended when the button came up.
    enum class DragEnd
    {
        None,  // there was no drag
        Flick, // it moved, and its last sample fast enough to keep the globe turning
        Moved, // it moved, but too slowly for a flick
        Click, // it never moved: a click on the scene, which picks
    };

    // One frame of the automatic mode: counts idle time and starts a random mode after
    // AutoStartSeconds, turns the camera in a turning mode, and in a tour waits TourPause between
    // stops. Returns the index, among `stops` places, of the tour's next stop, or -1.
    int Advance(float seconds, GFX_HalvaneCamera& camera, int stops);
    // One frame of the glide: closes GlideShare of the remaining angles (and distance), or ends
    // the glide once both are within a degree and the distance within DistanceSlack (that frame
    // moves nothing). A zoom between two frames leaves the distance to the user.
    void Glide(GFX_HalvaneCamera& camera);

    // Starts a glide towards a place of the globe, at the distance the camera has.
    void FlyTo(float longitude, float latitude);
    // The same, ending at `distance` from the camera's target.
    void FlyTo(float longitude, float latitude, float distance);
    // Ends any glide and switches to the mode; a tour picks its first stop on the next frame.
    void Start(int mode);
    // A press: back to idle, and the idle count starts again.
    void Stop();
    // The user steers by hand: any glide ends as well as the automatic mode.
    void TakeOver();

    // The button went down on the scene: a drag starts at the pointer.
    void Grab(float x, float y);
    // One frame of the drag: the pointer's movement since the last sample turns the camera, 0.4
    // degree of heading per pixel right and 0.25 degree of pitch per pixel down.
    void Drag(float x, float y, GFX_HalvaneCamera& camera);
    // The button came up: ends the drag and says how; a flick has started its turning mode.
    DragEnd LetGo();

    // Turns the camera: heading += headingDelta, pitch clamped to the camera's limits.
    static void Turn(GFX_HalvaneCamera& camera, float headingDelta, float pitchDelta);

    // No frame was drawn for `seconds`: the idle clock (when it runs) and the tour's wait between
    // stops count them; nothing turns. The next Advance acts on what came due.
    void Rest(float seconds);
    // Whether the idle clock counts; while it does not, an automatic motion never starts.
    void SetIdleClockRunning(bool value) { idleClockRunning = value; }
    bool IsIdleClockRunning() const { return idleClockRunning; }
    // Whether the camera turns by itself from frame to frame: a turning mode or a glide.
    bool IsMoving() const;
    // Seconds until a motion starts by itself (the idle clock's automatic mode, the tour's next
    // stop); negative when none is due.
    float SecondsToNextStart() const;

    int GetAutoMode() const { return autoMode; }
    float GetAutoTimer() const { return autoTimer; }
    bool IsFlying() const { return flying; }
    float GetFlightHeading() const { return flightHeading; }
    float GetFlightPitch() const { return flightPitch; }
    bool IsDragging() const { return dragging; }

    static constexpr float AutoStartSeconds = 50.0f;
    static constexpr float AutoTurnRate = 17.5f; // degrees per second
    static constexpr float TourPause = 1.5f;     // seconds between tour stops
    // A tour started from its button waits this long before its first stop, so it flies at once.
    static constexpr float TourFirstWait = 5.0f;
    static constexpr float DragThreshold = 3.0f; // pixels in one sample
    static constexpr float FlickDegrees = 1.5f;
    // The glide closes this share of the remaining angles each frame; the heading's remaining
    // angle counts as at most MaxGlideDelta degrees, so it turns at most 6 degrees a frame.
    static constexpr float GlideShare = 0.1f;
    static constexpr float MaxGlideDelta = 60.0f;
    // The glide's distance ends within this share of where it aims.
    static constexpr float DistanceSlack = 0.01f;

private:
    int autoMode = AutoIdle;
    float autoTimer = 0.0f;
    bool flying = false;
    float flightHeading = 0.0f;
    float flightPitch = 0.0f;
    bool idleClockRunning = true;
    // Where the glide's distance ends; below 0: the distance stays.
    float flightDistance = -1.0f;
    // The distance the glide's last frame left the camera at; below 0: it moved none.
    float glidedDistance = -1.0f;
    bool dragging = false;
    bool dragMoved = false;
    float dragLastX = 0.0f;
    float dragLastY = 0.0f;
    float dragHeadingDelta = 0.0f;
};
