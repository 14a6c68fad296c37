#include "sim/UTL_SimCtrlHalvane.h"

#include "gfx/GFX_ColorBall.h"
#include "gfx/GFX_Math.h"
#include "gfx/GFX_SphereButton.h"
#include "gfx/OGL_Texture2D.h"
#include "scene/GFX_Connection.h"
#include "scene/GFX_ConnectionFriends.h"
#include "scene/GFX_Dock.h"
#include "scene/GFX_Friend.h"
#include "scene/GFX_Globe.h"
#include "scene/GFX_LocationHolderFriend.h"
#include "scene/GFX_Text.h"
#include "scene/GFX_WidgetDockedFriend.h"
#include "scene/GFX_WidgetNavigationDial.h"
#include "scene/GFX_WidgetRoundButton.h"
#include "util/UTL_FotoTextureBoss.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>
#include <algorithm>
#include <cmath>
#include <ctime>

#ifndef GL_FOG_DISTANCE_MODE_NV
#define GL_FOG_DISTANCE_MODE_NV 0x855A
#define GL_EYE_RADIAL_NV 0x855B
#endif

namespace
{
constexpr const char* ConfigFolder = "./data/config/";
constexpr float MinFrameSeconds = 0.001f;
constexpr float MaxFrameSeconds = 0.5f;
constexpr float TopBarHeight = 32.0f;
constexpr float LogoSize = 130.0f;
} // namespace

UTL_SimCtrlHalvane::UTL_SimCtrlHalvane() = default;

UTL_SimCtrlHalvane::~UTL_SimCtrlHalvane()
{
    // Interface first, then the scene content, then the shared resources the content used, and
    // the picture worker last: its thread may still be decoding into a photo's texture.
    font.reset();
    productLogo.reset();
    makerLogo.reset();
    navigationDial.reset();
    rotationButtons.clear();
    holdersById.clear();
    selectedHolder = nullptr;
    selectedFriend = nullptr;
    locationHolders.clear();
    // The docks point at friends: empty them before the friends go.
    selfDock.reset();
    friendsDock.reset();
    friends.clear();
    connections.clear();
    self.reset();
    colorBall.reset();
    colorBallTexture.reset();
    locatorTexture.reset();
    widgetTexture.reset();
    topBarTexture.reset();
    billboardTexture.reset();
    navigationGlobe.reset();
    sphereButtonTexture.reset();
    pictureWorker.reset();
}

std::unique_ptr<OGL_Texture2D> UTL_SimCtrlHalvane::LoadConfigTexture(const char* name)
{
    auto texture = std::make_unique<OGL_Texture2D>();
    texture->LoadImage(std::string(ConfigFolder) + name);
    texture->SetWrap(GL_CLAMP_TO_EDGE);
    texture->Create();
    return texture;
}

void UTL_SimCtrlHalvane::Initialize(int newWidth, int newHeight)
{
    UTL_SimCtrlRoot::Initialize(newWidth, newHeight);
    viewportSize[0] = static_cast<float>(newWidth);
    viewportSize[1] = static_cast<float>(newHeight);
    fogDistanceSupported = glWrapper->IsExtensionSupported("NV_fog_distance");
    GFX_SeedRand(static_cast<unsigned>(std::time(nullptr)));

    fieldOfView = 45.0f;
    nearPlane = 1000.0f;
    farPlane = 25000.0f;
    camera->SetMaxPitch(85.0f);
    camera->SetMinPitch(-85.0f);
    camera->SetHeading(0.0f);
    camera->SetPitch(0.0f);
    camera->SetTarget(GFX_Vector3(0.0f, 500.0f, 0.0f));
    camera->SetMaxDistance(20000.0f);
    camera->SetMinDistance(7500.0f);
    camera->SetDistance(18500.0f);

    productLogo = LoadConfigTexture("halvane.tga");
    makerLogo = LoadConfigTexture("vessun.tga");
    sphereButtonTexture = LoadConfigTexture("sphere_button.tga");
    font = std::make_unique<GFX_Text>();
    font->LoadFont(std::string(ConfigFolder) + "fixed_font.tga");
    navigationGlobe = std::make_unique<GFX_SphereButton>(40.0f);

    selfDock = std::make_unique<GFX_Dock>(this);
    selfDock->SetStartOffset(25.0f);
    selfDock->SetItemSize(64.0f);
    selfDock->SetMagnifiedSize(128.0f);
    selfDock->SetSide(GFX_DockSide::Left);
    friendsDock = std::make_unique<GFX_Dock>(this);
    friendsDock->SetStartOffset(25.0f);
    friendsDock->SetItemSize(48.0f);
    friendsDock->SetThickness(16.0f);
    friendsDock->SetMagnifiedSize(96.0f);
    friendsDock->SetSide(GFX_DockSide::Right);
    friendsDock->LoadTexture(std::string(ConfigFolder) + "ruler.tga");

    // The theme is in force before anything that draws with it is made.
    themes.clear();
    theme = GFX_Theme();
    LoadThemes(GFX_ThemesPath, themes, theme);
    selectedHolder = nullptr;
    selectedFriend = nullptr;
    pickOrigin.Clear();
    pickDirection.Clear();
    pickWindowPoint.Clear();
    billboardTexture = LoadConfigTexture("billboard.tga");
    colorBall = std::make_unique<GFX_ColorBall>(GFX_LocationHolder::BallModelRadius);
    colorBallTexture = LoadConfigTexture("color_ball.tga");
    widgetTexture = LoadConfigTexture("widget.tga");
    topBarTexture = LoadConfigTexture("top_bar.tga");
    locatorTexture = LoadConfigTexture("locator.tga");

    navigationDial = std::make_unique<GFX_WidgetNavigationDial>(
        this, viewportSize, 5.0f, 5.0f, 112.0f, 112.0f, GFX_Anchor::BottomLeft,
        theme.NavWidgetDialColor);
    navigationDial->LoadTexture(std::string(ConfigFolder) + "dial.tga");
    rotationButtons.clear();
    const float buttonX[3] = {1.0f, 93.0f, 121.0f};
    for (int i = 0; i < 3; ++i)
    {
        auto button = std::make_unique<GFX_WidgetRoundButton>(this, viewportSize, buttonX[i], 1.0f,
                                                              28.0f, 28.0f, GFX_Anchor::BottomLeft,
                                                              theme.NavWidgetDialColor);
        button->LoadTexture(std::string(ConfigFolder) + "rot_but_" + std::to_string(i + 1) +
                            ".tga");
        rotationButtons.push_back(std::move(button));
    }

    pictureWorker = std::make_unique<UTL_FotoTextureBoss>();
    pictureWorker->Start();

    eyePosition.Set(0.0f, 100000.0f, 0.0f);
}

GFX_WidgetRoundButton* UTL_SimCtrlHalvane::GetRotationButton(int index) const
{
    return index >= 0 && index < static_cast<int>(rotationButtons.size())
               ? rotationButtons[index].get()
               : nullptr;
}

void UTL_SimCtrlHalvane::Step(int newWidth, int newHeight, float seconds)
{
    const float dt = std::clamp(seconds, MinFrameSeconds, MaxFrameSeconds);
    PlaceHolders();
    width = newWidth;
    height = newHeight;
    glViewport(0, 0, width, height);
    viewportSize[0] = static_cast<float>(width);
    viewportSize[1] = static_cast<float>(height);
    clearColor = theme.BackgroundColor;
    SetUpFog();
    glClearColor(clearColor.x, clearColor.y, clearColor.z, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // A window of no height (minimised) still gets a finite projection.
    const double aspect = height > 0 ? static_cast<double>(width) / height : 1.0;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, aspect, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    AdvanceAutoMotion(dt);
    AdvanceGlide();
    camera->Update();
    camera->Apply();

    CastPickingRay();
    if (dragging)
        TakeDragSample();
    Hover();
    if (selfDock)
        selfDock->Update(dt);
    if (friendsDock)
        friendsDock->Update(dt);
    if (navigationDial)
    {
        navigationDial->SetLongitude(camera->GetHeading());
        navigationDial->SetLatitude(camera->GetPitch());
        navigationDial->Update(dt);
    }
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
    mouseDoubleClicked = false;

    eyePosition = camera->GetEye();
    const GLfloat light[] = {eyePosition.x, eyePosition.y, eyePosition.z, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light);

    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glEnable(GL_DEPTH_TEST);

    UpdateBillboardAxes();
    DrawScene();

    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_FOG);

    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    DrawInterface();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

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
    camera->SetHeading(camera->GetHeading() + headingDelta);
    camera->SetPitch(camera->GetPitch() + pitchDelta);
}

void UTL_SimCtrlHalvane::AdvanceAutoMotion(float dt)
{
    switch (autoMode)
    {
    case AutoIdle:
        autoTimer += dt;
        if (autoTimer > AutoStartSeconds)
        {
            autoTimer = 0.0f;
            int k = static_cast<int>(RandomRange(0.0f, 2.5f));
            if (k > 2)
                k = 2;
            autoMode = k + 1;
            if (GFX_WidgetRoundButton* button = GetRotationButton(k))
                button->SetOn(true);
        }
        break;
    case AutoTurnWest:
        TurnCamera(-AutoTurnRate * dt, 0.0f);
        break;
    case AutoTurnEast:
        TurnCamera(AutoTurnRate * dt, 0.0f);
        break;
    case AutoTour:
        if (flying)
            break;
        autoTimer += dt;
        if (autoTimer > TourPause)
        {
            autoTimer = 0.0f;
            const int n = static_cast<int>(locationHolders.size());
            int k = static_cast<int>(RandomRange(0.0f, static_cast<float>(n)));
            if (k > n - 1)
                k = n - 1;
            if (k >= 0 && k < n)
                FlyTo(locationHolders[k].get());
        }
        break;
    default:
        break;
    }
}

void UTL_SimCtrlHalvane::AdvanceGlide()
{
    if (!flying)
        return;
    float dh = flightHeading - camera->GetHeading();
    const float dp = flightPitch - camera->GetPitch();
    if (std::fabs(dh) <= 1.0f && std::fabs(dp) <= 1.0f)
    {
        flying = false;
        return;
    }
    if (std::fabs(dh) > 1.0f)
    {
        if (dh > 180.0f)
            dh -= 360.0f;
        else if (dh < -180.0f)
            dh += 360.0f;
        dh = std::clamp(dh, -60.0f, 60.0f);
        camera->SetHeading(camera->GetHeading() + 0.1f * dh);
    }
    if (std::fabs(dp) > 1.0f)
        camera->SetPitch(0.9f * camera->GetPitch() + 0.1f * flightPitch);
}

void UTL_SimCtrlHalvane::CastPickingRay()
{
    GFX_Vector3 farPoint;
    glWrapper->Unproject(GFX_Vector3(pointerX, pointerY, 0.0f), pickOrigin);
    glWrapper->Unproject(GFX_Vector3(pointerX, pointerY, 1.0f), farPoint);
    pickDirection = farPoint.Minus(pickOrigin).Normalize();
    pickWindowPoint.Set(pointerX, pointerY, 1.0f);
}

void UTL_SimCtrlHalvane::TakeDragSample()
{
    const float dx = pointerX - dragLastX;
    const float dy = pointerY - dragLastY;
    if (std::fabs(dx) >= DragThreshold || std::fabs(dy) >= DragThreshold)
        dragMoved = true;
    dragLastX = pointerX;
    dragLastY = pointerY;
    dragHeadingDelta = 0.4f * dx;
    dragPitchDelta = -0.25f * dy;
    TurnCamera(dragHeadingDelta, dragPitchDelta);
}

void UTL_SimCtrlHalvane::Hover()
{
    if (navigationDial && navigationDial->MouseMove(pointerX, pointerY))
        return;
    for (auto& button : rotationButtons)
        if (button->MouseMove(pointerX, pointerY))
            return;
    if (selfDock)
        selfDock->MouseMove(pointerX, pointerY);
    if (friendsDock)
        friendsDock->MouseMove(pointerX, pointerY);
    const float w = static_cast<float>(width);
    makerLogoHovered =
        pointerX >= w - 200.0f && pointerX <= w - 70.0f && pointerY >= -104.0f && pointerY <= 26.0f;
}

void UTL_SimCtrlHalvane::ClearRotationButtons()
{
    for (auto& button : rotationButtons)
        button->SetOn(false);
}

void UTL_SimCtrlHalvane::StartAutoMode(int mode)
{
    ClearRotationButtons();
    if (GFX_WidgetRoundButton* button = GetRotationButton(mode - 1))
        button->SetOn(true);
    flying = false;
    autoMode = mode;
}

void UTL_SimCtrlHalvane::Press()
{
    autoMode = AutoIdle;
    autoTimer = 0.0f;
    ClearRotationButtons();
    if (navigationDial && navigationDial->MouseDown(pointerX, pointerY))
        return;
    for (auto& button : rotationButtons)
        if (button->MouseDown(pointerX, pointerY))
            return;
    if (selfDock && selfDock->MouseDown(pointerX, pointerY))
        return;
    if (friendsDock && friendsDock->MouseDown(pointerX, pointerY))
        return;
    dragging = true;
    dragMoved = false;
    dragHeadingDelta = dragPitchDelta = 0.0f;
    dragLastX = pointerX;
    dragLastY = pointerY;
}

void UTL_SimCtrlHalvane::Release()
{
    if (navigationDial && navigationDial->MouseUp(pointerX, pointerY))
        return;
    for (size_t i = 0; i < rotationButtons.size(); ++i)
    {
        if (rotationButtons[i]->MouseUp(pointerX, pointerY))
        {
            StartAutoMode(static_cast<int>(i) + 1);
            if (i == 2)
                autoTimer = 5.0f; // the tour picks its first stop on the next frame
            return;
        }
    }

    GFX_WidgetDocked* clicked = nullptr;
    if (friendsDock && friendsDock->MouseUp(pointerX, pointerY))
        clicked = friendsDock->GetClicked();
    if (selfDock && selfDock->MouseUp(pointerX, pointerY))
        clicked = selfDock->GetClicked();
    if (clicked)
    {
        SelectDockedItem(clicked);
        return;
    }

    if (dragging && dragMoved)
    {
        // A drag whose last sample still moved fast keeps the globe turning: a flick.
        if (dragHeadingDelta > FlickDegrees)
            StartAutoMode(AutoTurnEast);
        else if (dragHeadingDelta < -FlickDegrees)
            StartAutoMode(AutoTurnWest);
        dragHeadingDelta = dragPitchDelta = 0.0f;
    }
    else if (dragging)
    {
        GFX_LocationHolder* nearest = nullptr;
        float best = PickDistance;
        for (auto& holder : locationHolders)
        {
            float distance = 0.0f;
            if (holder->Intersect(pickOrigin, pickDirection, PickDistance, distance) &&
                distance < best)
            {
                best = distance;
                nearest = holder.get();
            }
        }
        if (nearest)
            FlyTo(nearest);
    }
    dragging = false;
    dragMoved = false;
}

void UTL_SimCtrlHalvane::SelectDockedItem(GFX_WidgetDocked* item)
{
    PlaceHolders();
    for (GFX_Dock* dock : {selfDock.get(), friendsDock.get()})
        if (dock)
            for (auto& docked : dock->GetItems())
                docked->SetSelected(false);
    auto* dockedFriend = dynamic_cast<GFX_WidgetDockedFriend*>(item);
    if (!dockedFriend)
        return;
    dockedFriend->SetSelected(true);
    GFX_Friend* person = dockedFriend->GetFriend();
    if (!person)
        return;
    selectedFriend = person;
    for (auto& connection : connections)
        connection->SetHighlighted(false);
    for (auto& holder : locationHolders)
    {
        holder->SetBillboardSize(GFX_LocationHolder::LabelSize, GFX_LocationHolder::LabelSize);
        holder->SetSelected(false);
    }
    for (auto& holder : locationHolders)
    {
        GFX_LocationHolderFriend* friendHolder = holder->AsFriendHolder();
        if (!friendHolder || !friendHolder->ShowsFriend(person))
            continue;
        friendHolder->SetConnectionsHighlighted(true);
        friendHolder->SetBillboardSize(GFX_LocationHolder::SelectedLabelSize,
                                       GFX_LocationHolder::SelectedLabelSize);
        friendHolder->SetSelected(true);
        flightHeading = friendHolder->GetLongitude();
        flightPitch = friendHolder->GetLatitude();
        flying = true;
        selectedHolder = friendHolder;
    }
}

void UTL_SimCtrlHalvane::FlyTo(GFX_LocationHolder* holder)
{
    if (!holder)
        return;
    PlaceHolders();
    flightHeading = holder->GetLongitude();
    flightPitch = holder->GetLatitude();
    flying = true;
    for (auto& other : locationHolders)
    {
        other->SetBillboardSize(GFX_LocationHolder::LabelSize, GFX_LocationHolder::LabelSize);
        other->SetSelected(false);
    }
    holder->SetBillboardSize(GFX_LocationHolder::SelectedLabelSize,
                             GFX_LocationHolder::SelectedLabelSize);
    holder->SetSelected(true);
    for (auto& connection : connections)
        connection->SetHighlighted(false);
    GFX_LocationHolderFriend* friendHolder = holder->AsFriendHolder();
    if (friendHolder)
        friendHolder->SetConnectionsHighlighted(true);
    for (GFX_Dock* dock : {selfDock.get(), friendsDock.get()})
    {
        if (!dock)
            continue;
        for (auto& item : dock->GetItems())
        {
            item->SetSelected(false);
            auto* docked = dynamic_cast<GFX_WidgetDockedFriend*>(item.get());
            if (docked && friendHolder && docked->GetFriend() &&
                friendHolder->ShowsFriend(docked->GetFriend()))
            {
                docked->SetSelected(true);
                selectedFriend = docked->GetFriend();
            }
        }
    }
    selectedHolder = holder;
    if (friendsDock)
        friendsDock->RevealSelected();
}

bool UTL_SimCtrlHalvane::SelectFriendById(const std::string& id)
{
    for (GFX_Dock* dock : {friendsDock.get(), selfDock.get()})
    {
        if (!dock)
            continue;
        for (auto& item : dock->GetItems())
        {
            auto* docked = dynamic_cast<GFX_WidgetDockedFriend*>(item.get());
            if (docked && docked->GetFriend() && docked->GetFriend()->GetId() == id)
            {
                SelectDockedItem(docked);
                dock->RevealSelected();
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
    for (auto& holder : locationHolders)
        holder->SetBillboardAxes(billboardUp, billboardRight);
    for (auto& connection : connections)
        connection->SetBillboardAxes(billboardUp, billboardRight);
}

void UTL_SimCtrlHalvane::DrawScene()
{
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
    for (auto& holder : locationHolders)
        holder->Draw();

    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (billboardTexture && billboardTexture->GetImage() &&
        billboardTexture->GetImage()->HasPixels())
    {
        glEnable(GL_TEXTURE_2D);
        billboardTexture->Bind();
        glBegin(GL_QUADS);
        for (auto& connection : connections)
            connection->Draw();
        glEnd();
    }
    glDisable(GL_BLEND);
    glEnable(GL_LIGHTING);
    glDepthMask(GL_TRUE);
    glColor3f(1.0f, 1.0f, 1.0f);
}

void UTL_SimCtrlHalvane::DrawInterface()
{
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (navigationDial)
        navigationDial->Draw();
    for (auto& button : rotationButtons)
        button->Draw();
    DrawTopBarAndLogos();
    if (selfDock)
        selfDock->Draw();
    if (friendsDock)
        friendsDock->Draw();
}

void UTL_SimCtrlHalvane::DrawTopBarAndLogos()
{
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    auto quad = [](float left, float bottom, float right, float top)
    {
        glBegin(GL_QUADS);
        glTexCoord2f(0, 0);
        glVertex3f(left, bottom, 0);
        glTexCoord2f(1, 0);
        glVertex3f(right, bottom, 0);
        glTexCoord2f(1, 1);
        glVertex3f(right, top, 0);
        glTexCoord2f(0, 1);
        glVertex3f(left, top, 0);
        glEnd();
    };
    auto loaded = [](const std::unique_ptr<OGL_Texture2D>& texture)
    { return texture && texture->GetImage() && texture->GetImage()->HasPixels(); };

    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);
    if (loaded(topBarTexture))
    {
        glEnable(GL_TEXTURE_2D);
        topBarTexture->Bind();
    }
    else
        glDisable(GL_TEXTURE_2D);
    const GFX_ColorRGBA& bar = theme.TopBarColor;
    glColor4f(bar.r, bar.g, bar.b, bar.a);
    quad(0.0f, h - TopBarHeight, w, h);

    if (loaded(productLogo))
    {
        glEnable(GL_TEXTURE_2D);
        productLogo->Bind();
        glColor4f(1, 1, 1, 1);
        quad(2.0f, h - 2.0f - LogoSize, 2.0f + LogoSize, h - 2.0f);
    }
    if (loaded(makerLogo))
    {
        glEnable(GL_TEXTURE_2D);
        makerLogo->Bind();
        glColor4f(1, 1, 1, makerLogoHovered ? 0.25f : 0.1f);
        quad(w - 200.0f, -104.0f, w - 70.0f, 26.0f);
    }
    glEnable(GL_TEXTURE_2D);
}

void UTL_SimCtrlHalvane::DrawNavigationGlobe()
{
    if (!navigationGlobe)
        return;
    if (sphereButtonTexture && sphereButtonTexture->GetImage() &&
        sphereButtonTexture->GetImage()->HasPixels())
    {
        glEnable(GL_TEXTURE_2D);
        sphereButtonTexture->Bind();
    }
    navigationGlobe->Draw();
}

void UTL_SimCtrlHalvane::OnMouseMove(int x, int y, int unused1, int unused2, int buttons)
{
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
    mouseDoubleClicked = true;
    pointerX = static_cast<float>(x);
    pointerY = static_cast<float>(y);
    UTL_SimCtrlRoot::OnMouseDoubleClick(x, y, buttons);
}

std::unique_ptr<GFX_Friend> UTL_SimCtrlHalvane::MakeFriend(const std::string& id,
                                                           const std::string& name,
                                                           const std::string& picture,
                                                           const std::string& squarePicture)
{
    return GFX_Friend::FromRecord(this, id, name, picture, squarePicture);
}

void UTL_SimCtrlHalvane::SetSelf(const std::string& id, const std::string& name,
                                 const std::string& picture, const std::string& squarePicture)
{
    // A second user record replaces the first: its docked item and any holder showing it must
    // let go before the old record is deleted.
    if (self)
    {
        if (selfDock)
        {
            std::vector<const GFX_WidgetDocked*> stale;
            for (auto& item : selfDock->GetItems())
            {
                auto* docked = dynamic_cast<GFX_WidgetDockedFriend*>(item.get());
                if (docked && docked->GetFriend() == self.get())
                    stale.push_back(item.get());
            }
            for (const GFX_WidgetDocked* item : stale)
                selfDock->RemoveItem(item);
        }
        for (auto& holder : locationHolders)
        {
            GFX_LocationHolderFriend* friendHolder = holder->AsFriendHolder();
            if (friendHolder && friendHolder->ShowsFriend(self.get()))
                friendHolder->SetFriend(nullptr);
        }
        if (selectedFriend == self.get())
            selectedFriend = nullptr;
    }
    self = MakeFriend(id, name, picture, squarePicture);
    if (selfDock)
    {
        auto item = std::make_unique<GFX_WidgetDockedFriend>(this);
        item->SetSelected(true);
        item->SetFriend(self.get());
        selfDock->AddItem(std::move(item));
    }
}

void UTL_SimCtrlHalvane::AddFriend(const std::string& id, const std::string& name,
                                   const std::string& picture, const std::string& squarePicture)
{
    friends.push_back(MakeFriend(id, name, picture, squarePicture));
    if (friendsDock)
    {
        auto item = std::make_unique<GFX_WidgetDockedFriend>(this);
        item->SetSelected(false);
        item->SetFriend(friends.back().get());
        friendsDock->AddItem(std::move(item));
    }
}

void UTL_SimCtrlHalvane::LayoutFriends()
{
    layoutPending = true;
}

void UTL_SimCtrlHalvane::PlaceHolders()
{
    if (!layoutPending)
        return;
    layoutPending = false;
    const int count = static_cast<int>(friends.size()) + (self ? 1 : 0);
    std::vector<GFX_GlobePoint> points;
    GFX_Globe::SpiralPoints(count, points);
    while (static_cast<int>(locationHolders.size()) < count)
        locationHolders.push_back(std::make_unique<GFX_LocationHolderFriend>(this));

    holdersById.clear();
    for (int i = 0; i < count; ++i)
    {
        GFX_LocationHolder& holder = *locationHolders[i];
        const bool isSelf = self && i == 0;
        GFX_Friend* person = isSelf ? self.get() : friends[i - (self ? 1 : 0)].get();
        const float size =
            isSelf ? GFX_LocationHolder::SelectedLabelSize : GFX_LocationHolder::LabelSize;
        if (GFX_LocationHolderFriend* friendHolder = holder.AsFriendHolder())
            friendHolder->SetFriend(person);
        holder.SetLongitude(points[i].longitude);
        holder.SetLatitude(points[i].latitude);
        holder.SetBillboardSize(size, size);
        holder.SetBallSize(GFX_LocationHolder::LayoutBallSize);
        holder.SetSelected(isSelf);
        holder.Update();
        holdersById.emplace(person->GetId(), &holder);
        if (isSelf && camera)
        {
            camera->SetHeading(points[i].longitude + 0.5f);
            camera->SetPitch(points[i].latitude);
        }
    }
}

void UTL_SimCtrlHalvane::ConnectSelf()
{
    if (!self)
        return;
    for (auto& person : friends)
        ConnectFriends(self->GetId(), person->GetId(), GFX_ConnectionFriends::SelfDimAlpha, true);
}

void UTL_SimCtrlHalvane::ConnectFriends(const std::string& id1, const std::string& id2,
                                        float dimAlpha, bool highlighted)
{
    auto connection = std::make_unique<GFX_ConnectionFriends>(this);
    connection->SetIds(id1, id2);
    connection->SetDimAlpha(dimAlpha);
    connection->SetHighlighted(highlighted);
    connections.push_back(std::move(connection));
}

const std::string& UTL_SimCtrlHalvane::GetFriendId(int index) const
{
    static const std::string none;
    return index >= 0 && index < static_cast<int>(friends.size()) ? friends[index]->GetId() : none;
}

void UTL_SimCtrlHalvane::FindFriendHolders(const std::string& id1, const std::string& id2,
                                           GFX_LocationHolder*& holder1,
                                           GFX_LocationHolder*& holder2)
{
    PlaceHolders();
    // Same outcome as walking the holders in order, in one look-up per end: the map keeps the
    // first holder of each id, and an id2 equal to id1 is never found as the second end.
    auto first = holdersById.find(id1);
    if (first != holdersById.end())
        holder1 = first->second;
    if (id2 == id1)
        return;
    auto second = holdersById.find(id2);
    if (second != holdersById.end())
        holder2 = second->second;
}

long long UTL_SimCtrlHalvane::CountDots() const
{
    long long dots = 0;
    for (const auto& connection : connections)
    {
        if (!connection->IsResolved())
            continue;
        const float length = connection->GetHolder2()
                                 ->GetPosition()
                                 .Minus(connection->GetHolder1()->GetPosition())
                                 .Length();
        const int intervals = GFX_Connection::DotIntervals(length);
        if (intervals >= 2)
            dots += intervals - 1;
    }
    return dots;
}
