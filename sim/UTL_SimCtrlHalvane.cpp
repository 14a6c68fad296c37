#include "sim/UTL_SimCtrlHalvane.h"

#include "gfx/GFX_Math.h"
#include "gfx/GFX_ScreenProjection.h"
#include "gfx/OGL_Capabilities.h"
#include "gfx/OGL_Check.h"
#include "gfx/OGL_Texture2D.h"
#include "scene/GFX_CirclePass.h"
#include "scene/GFX_Dock.h"
#include "scene/GFX_Friend.h"
#include "scene/GFX_Globe.h"
#include "scene/GFX_LocationHolderFriend.h"
#include "scene/GFX_RegionNames.h"
#include "scene/GFX_Text.h"
#include "sim/UTL_ConfigFolder.h"
#include "sim/UTL_KeyboardControl.h"

#include <GL/gl.h>
#include <algorithm>
#include <ctime>

namespace
{
constexpr float MinFrameSeconds = 0.001f;
constexpr float MaxFrameSeconds = 0.5f;
} // namespace

UTL_SimCtrlHalvane::UTL_SimCtrlHalvane()
    : resources(std::make_unique<UTL_SceneResources>()),
      interfacePass(std::make_unique<UTL_InterfacePass>()),
      circle(std::make_unique<UTL_FriendCircle>(this)),
      circlePass(std::make_unique<GFX_CirclePass>(this)),
      analysis(std::make_unique<UTL_CircleAnalysis>(*circle)),
      focus(std::make_unique<UTL_Focus>(*circle, *analysis)), selection(*circle),
      input(*interfacePass, motion, *circle, selection, regionLabels, *this)
{
    circle->SetOnRemoving(
        [this](const GFX_Friend* person)
        {
            selection.Forget(person);
            focus->Forget(person);
        });
}

UTL_SimCtrlHalvane::~UTL_SimCtrlHalvane()
{
    // The interface first (its docks point at the people), then the people, then the shared
    // resources they used.
    interfacePass.reset();
    // The analysis's worker computes on a copy of its own; it is stopped before the people go.
    focus.reset();
    analysis.reset();
    circle.reset();
    circlePass.reset();
    resources.reset();
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
    resources->Load(onPictureReady);
    interfacePass->Load(this, viewportSize);
    circle->Attach(interfacePass->GetSelfDock(), interfacePass->GetFriendsDock(), camera.get());

    eyePosition.Set(0.0f, 100000.0f, 0.0f);
}

void UTL_SimCtrlHalvane::ReleaseGL()
{
    circlePass->ReleaseGL();
    stillScene.ReleaseGL();
    interfacePass->ReleaseGL();
    resources->ReleaseGL();
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
    frameSeconds = dt;
    circle->Advance(dt);
    viewportSize[0] = static_cast<float>(newWidth);
    viewportSize[1] = static_cast<float>(newHeight);
    clearColor = theme.BackgroundColor;
    GFX_CirclePass::SetUpFog(clearColor, farPlane, fogDistanceSupported);
    // The keys and the motions turn the camera before the frame applies it; a key that takes
    // over stops the automatic motion before it moves again.
    input.ApplyKeys(dt, *camera, [this](int key) { return IsKeyDown(key); });
    const auto& holders = circle->GetHolders();
    const int stop = motion.Advance(dt, *camera, static_cast<int>(holders.size()));
    if (stop >= 0)
        FlyTo(holders[stop].get());
    focus->Glide(dt, motion, *camera);
    motion.Glide(*camera);
    BeginFrame(newWidth, newHeight);

    // A minimised window has no pixels: its frame still advances the motions, but nothing is
    // projected through it, so the picking ray and the screen's axes keep their last values
    // instead of turning into NaN.
    const bool viewportEmpty = width <= 0 || height <= 0;
    if (!viewportEmpty)
        CastPickingRay();
    input.RoutePointer(*camera);
    interfacePass->Update(dt, camera->GetHeading(), camera->GetPitch());
    input.UpdateHover(width, height);
    focus->Hover(input.GetHoveredPerson(), dt);
    focus->Apply(selection.GetPerson());
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
    UTL_SceneDigest view;
    view.AddCamera(*camera, width, height);
    circlePass->SetInMotion(view.Value() != lastView);
    lastView = view.Value();
    labelPlacement.Prepare(circle->GetHolders(), drawPaths.labels, camera->GetDistance());
    regionLabels.Update(dt, circle->GetRegions(), camera->GetEye(), circle->GetScreenUp(),
                        circle->GetScreenRight(), circle->IsGliding());
    stillScene.DrawOrShow(
        drawPaths.reuseStillScene, width, height, [this] { return DigestGlobePass(); },
        [this]
        {
            circlePass->Draw(circle->GetHolders(), circle->GetConnections(), GetBillboardTexture(),
                             circle->GetScreenUp(), circle->GetScreenRight());
            if (GFX_Text* font = GetFont())
                GFX_RegionNames::Draw(regionLabels.GetNames(), *font, circle->GetScreenUp(),
                                      circle->GetScreenRight(), theme.BackgroundColor);
        });
    interfacePass->Draw(width, height);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    ++frameCount;

    const bool moving = motion.IsMoving() || input.IsSteering() || interfacePass->IsEasing() ||
                        circle->IsGliding() || focus->IsWaiting();
    schedule.Drew(stillScene.HasDigest() ? stillScene.GetDigest() : DigestGlobePass(), moving,
                  motion.SecondsToNextStart());
}

void UTL_SimCtrlHalvane::ReleaseFrameArrays()
{
    circlePass->ReleaseArrays();
}

void UTL_SimCtrlHalvane::TurnCamera(float headingDelta, float pitchDelta)
{
    UTL_CameraMotion::Turn(*camera, headingDelta, pitchDelta);
}

void UTL_SimCtrlHalvane::CastPickingRay()
{
    GFX_Vector3 nearPoint, farPoint;
    const float x = input.GetPointerX();
    const float y = input.GetPointerY();
    glWrapper->Unproject(GFX_Vector3(x, y, 0.0f), nearPoint);
    glWrapper->Unproject(GFX_Vector3(x, y, 1.0f), farPoint);
    input.AimRay(nearPoint, farPoint.Minus(nearPoint).Normalize());
}

void UTL_SimCtrlHalvane::FlyTo(GFX_LocationHolder* holder)
{
    if (!holder)
        return;
    circle->Place();
    GFX_LocationHolderFriend* friendHolder = holder->AsFriendHolder();
    selection.Select(holder, friendHolder ? friendHolder->GetFriend() : nullptr);
    FlyToFramed(*holder);
    if (GFX_Dock* dock = interfacePass->GetFriendsDock())
        dock->RevealSelected();
}

void UTL_SimCtrlHalvane::SelectPerson(GFX_Friend* person)
{
    GFX_LocationHolder* holder = circle->HolderOf(person);
    selection.Select(holder, person);
    if (holder)
        FlyToFramed(*holder);
}

void UTL_SimCtrlHalvane::FlyToFramed(const GFX_LocationHolder& holder)
{
    const UTL_LabelFraming::Aim aim = AimAt(holder);
    // The camera moves back only for a label that would not fit where it is.
    motion.FlyTo(aim.heading, aim.pitch,
                 aim.distance > camera->GetDistance() ? aim.distance : -1.0f);
}

UTL_LabelFraming::Aim UTL_SimCtrlHalvane::AimAt(const GFX_LocationHolder& holder) const
{
    UTL_LabelFraming::View view;
    view.width = width;
    view.height = height;
    view.fieldOfView = fieldOfView;
    view.nearPlane = nearPlane;
    view.farPlane = farPlane;
    view.scaledLabels = drawPaths.labels == GFX_DrawPaths::Labels::Room;
    view.free = interfacePass->FreeArea(width, height);
    return UTL_LabelFraming::Frame(holder, GFX_LocationHolder::SelectedLabelSize, *camera, view);
}

void UTL_SimCtrlHalvane::ClearCircle()
{
    selection.Reset();
    focus->Reset();
    circle->Clear();
}

void UTL_SimCtrlHalvane::Ask(UTL_Focus::Question question, GFX_Friend* person)
{
    focus->Ask(question, selection.GetPerson(), person);
}

bool UTL_SimCtrlHalvane::AskAbout(UTL_Focus::Question question, const std::string& id)
{
    GFX_Friend* person = analysis->PersonAt(analysis->Graph().Find(id));
    return focus->Ask(question, selection.GetPerson(), person);
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
    GFX_Friend* person = interfacePass->FindDocked(id);
    if (person)
        GoTo(person);
    return person != nullptr;
}

void UTL_SimCtrlHalvane::UpdateBillboardAxes()
{
    GFX_Vector3 middle, top, side;
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    glWrapper->Unproject(GFX_Vector3(w / 2, h / 2, 0.0f), middle);
    glWrapper->Unproject(GFX_Vector3(w / 2, h, 0.0f), top);
    glWrapper->Unproject(GFX_Vector3(w, h / 2, 0.0f), side);
    circle->SetBillboardAxes(top.Minus(middle).Normalize(), side.Minus(middle).Normalize());
}

uint64_t UTL_SimCtrlHalvane::DigestGlobePass() const
{
    UTL_SceneDigest digest;
    // The frame's matrices follow from the projection's and the camera's values.
    digest.AddCamera(*camera, width, height);
    digest.Add(fieldOfView);
    digest.Add(nearPlane);
    digest.Add(farPlane);
    digest.Add(eyePosition);
    digest.Add(circle->GetScreenUp());
    digest.Add(circle->GetScreenRight());
    // The fog follows the theme's background and the far plane.
    digest.Add(clearColor);
    digest.Add(fogDistanceSupported);
    digest.AddBytes(&theme, sizeof theme);
    digest.AddDrawPaths(drawPaths);
    if (drawPaths.labels == GFX_DrawPaths::Labels::Room)
        labelPlacement.AddTo(digest, input.GetHoveredPerson(), frameCount);
    digest.Add(motion.GetAutoMode());
    digest.Add(motion.IsFlying());
    resources->AddTo(digest);
    digest.AddCircle(*circle);
    regionLabels.AddTo(digest);
    return digest.Value();
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

void UTL_SimCtrlHalvane::PlaceLabels(const std::vector<std::unique_ptr<GFX_LocationHolder>>&)
{
    UTL_LabelPlacement::Firsts firsts;
    firsts.selected = selection.GetHolder();
    const GFX_Friend* hovered = input.GetHoveredPerson();
    firsts.hovered = hovered ? circle->HolderOf(hovered) : nullptr;
    firsts.user = circle->GetSelf() ? circle->HolderOf(circle->GetSelf()) : nullptr;
    firsts.regionNames = &regionLabels.GetNames();
    labelPlacement.Place(*circle, firsts, camera->GetEye(), GetProjection(), frameSeconds);
}

GFX_ScreenProjection UTL_SimCtrlHalvane::GetProjection() const
{
    return GFX_ScreenProjection::LookAt(camera->GetEye(), camera->GetTarget(), camera->GetUp(),
                                        fieldOfView, nearPlane, farPlane, width, height);
}

float UTL_SimCtrlHalvane::MeasureLabelOverlap()
{
    return UTL_LabelPlacement::LargestOverlap(circle->GetHolders(), GetProjection());
}

void UTL_SimCtrlHalvane::OnMouseMove(int x, int y, int unused1, int unused2, int buttons)
{
    input.PointerMoved(static_cast<float>(x), static_cast<float>(y));
    UTL_SimCtrlRoot::OnMouseMove(x, y, unused1, unused2, buttons);
}

void UTL_SimCtrlHalvane::OnMouseDown(int x, int y, int buttons)
{
    input.Pressed(static_cast<float>(x), static_cast<float>(y));
    UTL_SimCtrlRoot::OnMouseDown(x, y, buttons);
}

void UTL_SimCtrlHalvane::OnMouseUp(int x, int y, int buttons)
{
    input.Released(static_cast<float>(x), static_cast<float>(y), (buttons & ShiftBit) != 0,
                   (buttons & ControlBit) != 0);
}

void UTL_SimCtrlHalvane::OnMouseDoubleClick(int x, int y, int buttons)
{
    input.PointerMoved(static_cast<float>(x), static_cast<float>(y));
    UTL_SimCtrlRoot::OnMouseDoubleClick(x, y, buttons);
}

void UTL_SimCtrlHalvane::OnKeyDown(int key, int repeatCount)
{
    const bool fresh = key >= 0 && !IsKeyDown(static_cast<unsigned>(key));
    UTL_SimCtrlRoot::OnKeyDown(key, repeatCount);
    if (key >= 0 && static_cast<unsigned>(key) < KeyCount)
        input.KeyPressed(key, IsKeyDown(UTL_KeyboardControl::KeyShift), fresh);
}

void UTL_SimCtrlHalvane::OnMouseWheel(int x, int y, int delta)
{
    input.Wheel(static_cast<float>(x), static_cast<float>(y), delta);
}

void UTL_SimCtrlHalvane::OnMouseLeave()
{
    input.Left();
}
