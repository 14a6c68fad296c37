#include "sim/UTL_SimCtrlHalvane.h"

#include "gfx/GFX_ColorBall.h"
#include "gfx/GFX_Math.h"
#include "gfx/OGL_Check.h"
#include "gfx/OGL_Texture2D.h"
#include "gfx/OGL_TextureAtlas.h"
#include "scene/GFX_Dock.h"
#include "scene/GFX_Friend.h"
#include "scene/GFX_Globe.h"
#include "scene/GFX_LocationHolderFriend.h"
#include "scene/GFX_NamePlate.h"
#include "scene/GFX_Text.h"
#include "scene/GFX_WidgetDockedFriend.h"
#include "scene/GFX_WidgetNavigationDial.h"
#include "sim/UTL_ConfigFolder.h"
#include "sim/UTL_KeyboardControl.h"
#include "sim/UTL_NameSearch.h"
#include "util/UTL_FotoTextureBoss.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <algorithm>
#include <ctime>

#ifndef GL_FOG_DISTANCE_MODE_NV
#define GL_FOG_DISTANCE_MODE_NV 0x855A
#define GL_EYE_RADIAL_NV 0x855B
#endif

namespace
{
constexpr float MinFrameSeconds = 0.001f;
constexpr float MaxFrameSeconds = 0.5f;
} // namespace

UTL_SimCtrlHalvane::UTL_SimCtrlHalvane()
    : interfacePass(std::make_unique<UTL_InterfacePass>()),
      circle(std::make_unique<UTL_FriendCircle>(this)), selection(*circle)
{
    circle->SetOnRemoving([this](const GFX_Friend* person) { selection.Forget(person); });
}

UTL_SimCtrlHalvane::~UTL_SimCtrlHalvane()
{
    // The interface first (its docks point at the people), then the people, then the shared
    // resources they used, and the picture worker last: its thread may still be decoding into a
    // photo's texture.
    interfacePass.reset();
    circle.reset();
    font.reset();
    colorBall.reset();
    colorBallTexture.reset();
    locatorTexture.reset();
    widgetTexture.reset();
    billboardTexture.reset();
    pictureWorker.reset();
    pictureAtlas.reset();
}

void UTL_SimCtrlHalvane::Initialize(int newWidth, int newHeight)
{
    UTL_SimCtrlRoot::Initialize(newWidth, newHeight);
    viewportSize[0] = static_cast<float>(newWidth);
    viewportSize[1] = static_cast<float>(newHeight);
    fogDistanceSupported = glWrapper->IsExtensionSupported("NV_fog_distance");
    GFX_SeedRand(static_cast<unsigned>(std::time(nullptr)));

    fieldOfView = GFX_GlobeView::FieldOfView;
    nearPlane = GFX_GlobeView::NearPlane;
    farPlane = GFX_GlobeView::FarPlane;
    GFX_GlobeView::SetUpCamera(*camera);

    // The theme is in force before anything that draws with it is made.
    themes.clear();
    theme = GFX_Theme();
    const std::string themesPath = UTL_ConfigPath("themes.txt");
    themeIndex = LoadThemes(themesPath, themes, theme);
    themeNames = ReadThemeNames(themesPath);
    pickOrigin.Clear();
    pickDirection.Clear();
    font = std::make_unique<GFX_Text>();
    font->LoadFont(UTL_ConfigPath("fixed_font.tga"));
    billboardTexture = UTL_LoadConfigTexture("billboard.tga");
    colorBall = std::make_unique<GFX_ColorBall>(GFX_LocationHolder::BallModelRadius);
    colorBallTexture = UTL_LoadConfigTexture("color_ball.tga");
    widgetTexture = UTL_LoadConfigTexture("widget.tga");
    locatorTexture = UTL_LoadConfigTexture("locator.tga");
    interfacePass->Load(this, viewportSize);
    circle->Attach(interfacePass->GetSelfDock(), interfacePass->GetFriendsDock(), camera.get());

    pictureAtlas = std::make_unique<OGL_TextureAtlas>();
    pictureWorker = std::make_unique<UTL_FotoTextureBoss>();
    pictureWorker->Start();

    eyePosition.Set(0.0f, 100000.0f, 0.0f);
}

bool UTL_SimCtrlHalvane::SetTheme(size_t index)
{
    if (index >= themes.size())
        return false;
    // Copied whole into the one record everything reads as it draws, so that the colours the
    // widgets hold by address change with it.
    theme = themes[index];
    themeIndex = static_cast<int>(index);
    return true;
}

void UTL_SimCtrlHalvane::Step(int newWidth, int newHeight, float seconds)
{
    const float dt = std::clamp(seconds, MinFrameSeconds, MaxFrameSeconds);
    circle->Place();
    viewportSize[0] = static_cast<float>(newWidth);
    viewportSize[1] = static_cast<float>(newHeight);
    clearColor = theme.BackgroundColor;
    SetUpFog();
    // The keys and the motions turn the camera before the frame applies it; a key that takes
    // over stops the automatic motion before it moves again.
    ApplyKeys(dt);
    AdvanceMotion(dt);
    BeginFrame(newWidth, newHeight);

    // A minimised window has no pixels: its frame still advances the motions, but nothing is
    // projected through it, so the picking ray and the screen's axes keep their last values
    // instead of turning into NaN.
    const bool viewportEmpty = width <= 0 || height <= 0;
    if (!viewportEmpty)
        CastPickingRay();
    motion.Drag(pointerX, pointerY, *camera);
    if (pointerOutside)
        interfacePass->Leave();
    else
        interfacePass->Hover(pointerX, pointerY);
    // Presses and releases meet the interface as the last frame showed it: the docks' Update
    // below moves their items on towards the new magnification, and an item near the pointer
    // that has slid under it since must not take a click aimed at its neighbour.
    if (mousePressed)
    {
        mousePressed = false;
        Press();
    }
    if (mouseReleased)
    {
        mouseReleased = false;
        Release();
    }
    interfacePass->Update(dt, camera->GetHeading(), camera->GetPitch());
    UpdateNamePlate();
    if (motion.GetAutoMode() != shownMode)
        interfacePass->ShowAutoMode(shownMode = motion.GetAutoMode());

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_DEPTH_TEST);
    if (!viewportEmpty)
        UpdateBillboardAxes();
    circle->SetBillboardAxes(billboardUp, billboardRight);
    DrawGlobePass();
    DrawInterface();
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    ++frameCount;
}

void UTL_SimCtrlHalvane::SetUpFog()
{
    const GLfloat color[] = {clearColor.x, clearColor.y, clearColor.z, 1.0f};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, color);
    if (fogDistanceSupported)
        glFogi(GL_FOG_DISTANCE_MODE_NV, GL_EYE_RADIAL_NV);
    glFogf(GL_FOG_DENSITY, 0.99f);
    glFogf(GL_FOG_START, 0.8f * farPlane);
    glFogf(GL_FOG_END, 1.1f * farPlane);
    glEnable(GL_FOG);
}

void UTL_SimCtrlHalvane::TurnCamera(float headingDelta, float pitchDelta)
{
    UTL_CameraMotion::Turn(*camera, headingDelta, pitchDelta);
}

void UTL_SimCtrlHalvane::AdvanceMotion(float dt)
{
    const auto& holders = circle->GetHolders();
    const int stop = motion.Advance(dt, *camera, static_cast<int>(holders.size()));
    if (stop >= 0)
        FlyTo(holders[stop].get());
    motion.Glide(*camera);
}

void UTL_SimCtrlHalvane::ApplyKeys(float dt)
{
    std::vector<PendingKey> keys;
    keys.swap(pendingKeys);
    for (const PendingKey& pending : keys)
        RunCommand(static_cast<int>(UTL_KeyboardControl::CommandOf(pending.key, pending.shift)));

    const UTL_KeyboardControl::Steering steering =
        UTL_KeyboardControl::Steer([this](int key) { return IsKeyDown(key); }, dt);
    if (steering.Turns())
    {
        motion.TakeOver();
        TurnCamera(steering.heading, steering.pitch);
    }
    const float zoom = steering.zoom * UTL_KeyboardControl::WheelZoom(pendingWheel);
    pendingWheel = 0;
    if (zoom != 1.0f)
        camera->SetDistance(UTL_KeyboardControl::Zoomed(
            camera->GetDistance(), zoom, camera->GetMinDistance(), camera->GetMaxDistance()));
}

void UTL_SimCtrlHalvane::RunCommand(int value)
{
    using Command = UTL_KeyboardControl::Command;
    switch (static_cast<Command>(value))
    {
    case Command::GoHome:
        if (GFX_Friend* self = circle->GetSelf())
            GoTo(self);
        break;
    case Command::NextFriend:
    case Command::PreviousFriend:
    {
        const auto& friends = circle->GetFriends();
        const GFX_Friend* current = selection.GetPerson();
        const auto found = std::find_if(friends.begin(), friends.end(),
                                        [current](const auto& f) { return f.get() == current; });
        const int index = found == friends.end() ? -1 : static_cast<int>(found - friends.begin());
        const int next = UTL_KeyboardControl::StepIndex(index, static_cast<int>(friends.size()),
                                                        value == int(Command::NextFriend) ? 1 : -1);
        if (next >= 0)
            GoTo(friends[next].get());
        break;
    }
    case Command::ToggleTour:
        if (motion.GetAutoMode() == UTL_CameraMotion::AutoTour)
            motion.Stop();
        else
            motion.Start(UTL_CameraMotion::AutoTour);
        break;
    case Command::None:
        break;
    }
}

void UTL_SimCtrlHalvane::UpdateNamePlate()
{
    GFX_NamePlate* plate = interfacePass->GetNamePlate();
    hoveredPerson = nullptr;
    if (!plate)
        return;
    if (!pointerOutside && !motion.IsDragging())
    {
        auto* docked = dynamic_cast<GFX_WidgetDockedFriend*>(interfacePass->GetHoveredItem());
        if (docked)
            hoveredPerson = docked->GetFriend();
        // The globe behind the dial and the top bar is not what the pointer is on.
        const GFX_WidgetNavigationDial* dial = interfacePass->GetNavigationDial();
        const bool overInterface = (dial && dial->Contains(pointerX, pointerY)) ||
                                   pointerY > static_cast<float>(height) - UTL_TopBar::Height;
        if (!docked && !overInterface && width > 0 && height > 0)
        {
            GFX_LocationHolder* holder =
                GFX_LocationHolder::PickNearest(circle->GetHolders(), pickOrigin, pickDirection);
            GFX_LocationHolderFriend* friendHolder = holder ? holder->AsFriendHolder() : nullptr;
            if (friendHolder)
                hoveredPerson = friendHolder->GetFriend();
        }
    }
    if (hoveredPerson)
        plate->Show(hoveredPerson->GetShownName(),
                    UTL_NameSearch::Plain(hoveredPerson->GetShownName()), pointerX, pointerY);
    else
        plate->Hide();
}

void UTL_SimCtrlHalvane::CastPickingRay()
{
    GFX_Vector3 farPoint;
    glWrapper->Unproject(GFX_Vector3(pointerX, pointerY, 0.0f), pickOrigin);
    glWrapper->Unproject(GFX_Vector3(pointerX, pointerY, 1.0f), farPoint);
    pickDirection = farPoint.Minus(pickOrigin).Normalize();
}

void UTL_SimCtrlHalvane::Press()
{
    // A press anywhere stops the automatic motion, the one on a rotation button included.
    motion.Stop();
    if (!interfacePass->Press(pointerX, pointerY))
        motion.Grab(pointerX, pointerY);
}

void UTL_SimCtrlHalvane::Release()
{
    int button = -1;
    GFX_WidgetDocked* item = nullptr;
    if (interfacePass->Release(pointerX, pointerY, button, item))
    {
        auto* docked = dynamic_cast<GFX_WidgetDockedFriend*>(item);
        if (button >= 0)
            motion.Start(button + 1);
        else if (docked && docked->GetFriend())
            SelectPerson(docked->GetFriend());
        return;
    }
    if (motion.LetGo() == UTL_CameraMotion::DragEnd::Click)
        FlyTo(GFX_LocationHolder::PickNearest(circle->GetHolders(), pickOrigin, pickDirection));
}

void UTL_SimCtrlHalvane::FlyTo(GFX_LocationHolder* holder)
{
    if (!holder)
        return;
    circle->Place();
    GFX_LocationHolderFriend* friendHolder = holder->AsFriendHolder();
    selection.Select(holder, friendHolder ? friendHolder->GetFriend() : nullptr);
    motion.FlyTo(holder->GetLongitude(), holder->GetLatitude());
    if (GFX_Dock* dock = interfacePass->GetFriendsDock())
        dock->RevealSelected();
}

void UTL_SimCtrlHalvane::SelectPerson(GFX_Friend* person)
{
    GFX_LocationHolder* holder = circle->HolderOf(person);
    selection.Select(holder, person);
    if (holder)
        motion.FlyTo(holder->GetLongitude(), holder->GetLatitude());
}

void UTL_SimCtrlHalvane::ClearCircle()
{
    selection.Reset();
    circle->Clear();
}

void UTL_SimCtrlHalvane::GoTo(GFX_Friend* person)
{
    motion.Stop();
    SelectPerson(person);
    for (GFX_Dock* dock : {interfacePass->GetFriendsDock(), interfacePass->GetSelfDock()})
        if (dock)
            dock->RevealSelected();
}

bool UTL_SimCtrlHalvane::SelectFriendById(const std::string& id)
{
    for (GFX_Dock* dock : {interfacePass->GetFriendsDock(), interfacePass->GetSelfDock()})
    {
        if (!dock)
            continue;
        for (auto& item : dock->GetItems())
        {
            auto* docked = dynamic_cast<GFX_WidgetDockedFriend*>(item.get());
            if (docked && docked->GetFriend() && docked->GetFriend()->GetId() == id)
            {
                GoTo(docked->GetFriend());
                return true;
            }
        }
    }
    return false;
}

void UTL_SimCtrlHalvane::UpdateBillboardAxes()
{
    GFX_Vector3 middle, top, side;
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    glWrapper->Unproject(GFX_Vector3(w / 2, h / 2, 0.0f), middle);
    glWrapper->Unproject(GFX_Vector3(w / 2, h, 0.0f), top);
    glWrapper->Unproject(GFX_Vector3(w, h / 2, 0.0f), side);
    billboardUp = top.Minus(middle).Normalize();
    billboardRight = side.Minus(middle).Normalize();
}

void UTL_SimCtrlHalvane::DrawGlobePass()
{
    lastFrameStill = false;
    if (!drawPaths.reuseStillScene || width <= 0 || height <= 0)
    {
        stillScene.Forget();
        circle->Draw(billboardTexture.get());
        return;
    }
    const uint64_t before = DigestGlobePass();
    if (stillScene.CanShow(before))
    {
        stillScene.Show(width, height);
        stillScene.Showed(before);
        lastFrameStill = true;
        ++stillFrames;
        return;
    }
    circle->Draw(billboardTexture.get());
    const uint64_t after = DigestGlobePass();
    if (stillScene.Drew(before, after))
        stillScene.Keep(width, height, after);
}

uint64_t UTL_SimCtrlHalvane::DigestGlobePass()
{
    UTL_SceneDigest digest;
    digest.Add(width);
    digest.Add(height);
    GLfloat matrices[32];
    glGetFloatv(GL_PROJECTION_MATRIX, matrices);
    glGetFloatv(GL_MODELVIEW_MATRIX, matrices + 16);
    digest.AddBytes(matrices, sizeof matrices);
    digest.Add(eyePosition);
    digest.Add(billboardUp);
    digest.Add(billboardRight);
    // The fog follows the theme's background and the far plane.
    digest.Add(clearColor);
    digest.Add(farPlane);
    digest.Add(fogDistanceSupported);
    digest.AddBytes(&theme, sizeof theme);
    digest.Add(drawPaths.dotRibbons);
    digest.Add(drawPaths.ballSprites);
    digest.Add(drawPaths.labelBatches);
    digest.Add(drawPaths.hiddenRows);
    digest.Add(static_cast<int>(drawPaths.names));
    digest.Add(motion.GetAutoMode());
    digest.Add(motion.IsFlying());
    digest.Add(static_cast<const void*>(billboardTexture.get()));
    // A picture the worker finished since the last look shows on its label from the next pass;
    // a new address is a picture the pass asked for.
    if (pictureWorker)
    {
        digest.Add(static_cast<uint64_t>(pictureWorker->GetStatistics().processed.load()));
        digest.Add(static_cast<uint64_t>(pictureWorker->CountEntries()));
    }

    digest.AddCircle(*circle);
    return digest.Value();
}

void UTL_SimCtrlHalvane::DrawInterface()
{
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_FOG);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, std::max(width, 1), 0, std::max(height, 1), -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    interfacePass->Draw();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    GL_CHECK(glMatrixMode(GL_MODELVIEW));
}

void UTL_SimCtrlHalvane::DrawNavigationGlobe()
{
    interfacePass->DrawNavigationGlobe();
}

void UTL_SimCtrlHalvane::FindFriendHolders(const std::string& id1, const std::string& id2,
                                           GFX_LocationHolder*& holder1,
                                           GFX_LocationHolder*& holder2)
{
    circle->FindFriendHolders(id1, id2, holder1, holder2);
}

void UTL_SimCtrlHalvane::OnMouseMove(int x, int y, int unused1, int unused2, int buttons)
{
    pointerOutside = false;
    pointerX = static_cast<float>(x);
    pointerY = static_cast<float>(y);
    UTL_SimCtrlRoot::OnMouseMove(x, y, unused1, unused2, buttons);
}

void UTL_SimCtrlHalvane::OnMouseDown(int x, int y, int buttons)
{
    mousePressed = true;
    pointerX = static_cast<float>(x);
    pointerY = static_cast<float>(y);
    UTL_SimCtrlRoot::OnMouseDown(x, y, buttons);
}

void UTL_SimCtrlHalvane::OnMouseUp(int x, int y, int /*buttons*/)
{
    mouseReleased = true;
    pointerX = static_cast<float>(x);
    pointerY = static_cast<float>(y);
}

void UTL_SimCtrlHalvane::OnMouseDoubleClick(int x, int y, int buttons)
{
    pointerX = static_cast<float>(x);
    pointerY = static_cast<float>(y);
    UTL_SimCtrlRoot::OnMouseDoubleClick(x, y, buttons);
}

void UTL_SimCtrlHalvane::OnKeyDown(int key, int repeatCount)
{
    UTL_SimCtrlRoot::OnKeyDown(key, repeatCount);
    if (key < 0 || static_cast<unsigned>(key) >= KeyCount || pendingKeys.size() >= MaxPendingKeys)
        return;
    pendingKeys.push_back({key, IsKeyDown(UTL_KeyboardControl::KeyShift)});
}

void UTL_SimCtrlHalvane::OnMouseWheel(int x, int y, int delta)
{
    pointerX = static_cast<float>(x);
    pointerY = static_cast<float>(y);
    // Bounded however long the wheel spins between two frames.
    constexpr int MaxWheel = 100 * UTL_KeyboardControl::WheelNotch;
    pendingWheel = std::clamp(pendingWheel + delta, -MaxWheel, MaxWheel);
}

void UTL_SimCtrlHalvane::OnMouseLeave()
{
    pointerOutside = true;
}
