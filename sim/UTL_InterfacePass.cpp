#include "sim/UTL_InterfacePass.h"

#include "gfx/GFX_SphereButton.h"
#include "gfx/OGL_Check.h"
#include "gfx/OGL_Texture2D.h"
#include "scene/GFX_Dock.h"
#include "scene/GFX_Friend.h"
#include "scene/GFX_NamePlate.h"
#include "scene/GFX_OverlayQuads.h"
#include "scene/GFX_SceneOwner.h"
#include "scene/GFX_WidgetDockedFriend.h"
#include "scene/GFX_WidgetNavigationDial.h"
#include "scene/GFX_WidgetRoundButton.h"
#include "sim/UTL_ConfigFolder.h"

#include <GL/gl.h>
#include <algorithm>
#include <string>

namespace
{
// The watermark's square, from the right edge of the view, partly below the bottom edge.
constexpr float MakerLogoLeft = 200.0f;
constexpr float MakerLogoRight = 70.0f;
constexpr float MakerLogoBottom = -104.0f;
constexpr float MakerLogoTop = 26.0f;

GFX_Rect Span(float left, float bottom, float right, float top)
{
    GFX_Rect rect;
    rect.left = left;
    rect.bottom = bottom;
    rect.right = right;
    rect.top = top;
    return rect;
}
} // namespace

UTL_TopBar::UTL_TopBar(GFX_SceneOwner* owner)
    : owner(owner), texture(UTL_LoadConfigTexture("top_bar.tga")),
      productLogo(UTL_LoadConfigTexture("halvane.tga")),
      makerLogo(UTL_LoadConfigTexture("vessun.tga"))
{
}

UTL_TopBar::~UTL_TopBar() = default;

bool UTL_TopBar::MouseMove(float x, float y)
{
    const float w = owner->GetViewportSize()[0];
    makerLogoHovered = x >= w - MakerLogoLeft && x <= w - MakerLogoRight && y >= MakerLogoBottom &&
                       y <= MakerLogoTop;
    return false;
}

void UTL_TopBar::Draw()
{
    const float w = owner->GetViewportSize()[0];
    const float h = owner->GetViewportSize()[1];
    {
        GFX_OverlayQuads bar(texture.get());
        bar.SetColor(owner->GetTheme().TopBarColor);
        bar.Add(Span(0.0f, h - Height, w, h));
    }
    if (productLogo->HasPixels())
    {
        GFX_OverlayQuads logo(productLogo.get());
        logo.SetColor({1.0f, 1.0f, 1.0f, 1.0f});
        logo.Add(Span(2.0f, h - 2.0f - LogoSize, 2.0f + LogoSize, h - 2.0f));
    }
    if (makerLogo->HasPixels())
    {
        GFX_OverlayQuads logo(makerLogo.get());
        logo.SetColor({1.0f, 1.0f, 1.0f, makerLogoHovered ? 0.25f : 0.1f});
        logo.Add(Span(w - MakerLogoLeft, MakerLogoBottom, w - MakerLogoRight, MakerLogoTop));
    }
}

UTL_InterfacePass::UTL_InterfacePass() = default;

UTL_InterfacePass::~UTL_InterfacePass() = default;

void UTL_InterfacePass::Load(GFX_SceneOwner* owner, const float* viewportSize)
{
    const GFX_ColorRGBA& dialColor = owner->GetTheme().NavWidgetDialColor;
    navigationDial = std::make_unique<GFX_WidgetNavigationDial>(
        owner, viewportSize, 5.0f, 5.0f, 112.0f, 112.0f, GFX_Anchor::BottomLeft, dialColor);
    navigationDial->LoadTexture(UTL_ConfigPath("dial.tga"));
    rotationButtons.clear();
    const float buttonX[RotationButtons] = {1.0f, 93.0f, 121.0f};
    for (int i = 0; i < RotationButtons; ++i)
    {
        auto button = std::make_unique<GFX_WidgetRoundButton>(
            owner, viewportSize, buttonX[i], 1.0f, 28.0f, 28.0f, GFX_Anchor::BottomLeft, dialColor);
        button->LoadTexture(UTL_ConfigPath("rot_but_" + std::to_string(i + 1) + ".tga"));
        rotationButtons.push_back(std::move(button));
    }
    topBar = std::make_unique<UTL_TopBar>(owner);

    selfDock = std::make_unique<GFX_Dock>(owner);
    selfDock->SetStartOffset(25.0f);
    selfDock->SetItemSize(64.0f);
    selfDock->SetMagnifiedSize(128.0f);
    selfDock->SetSide(GFX_DockSide::Left);
    friendsDock = std::make_unique<GFX_Dock>(owner);
    friendsDock->SetStartOffset(25.0f);
    friendsDock->SetItemSize(48.0f);
    friendsDock->SetThickness(16.0f);
    friendsDock->SetMagnifiedSize(96.0f);
    friendsDock->SetSide(GFX_DockSide::Right);
    friendsDock->LoadTexture(UTL_ConfigPath("ruler.tga"));

    namePlate = std::make_unique<GFX_NamePlate>(owner);
    navigationGlobe = std::make_unique<GFX_SphereButton>(40.0f);
    sphereButtonTexture = UTL_LoadConfigTexture("sphere_button.tga");

    elements.clear();
    elements.push_back({navigationDial.get(), -1, nullptr});
    for (int i = 0; i < RotationButtons; ++i)
        elements.push_back({rotationButtons[i].get(), i, nullptr});
    elements.push_back({topBar.get(), -1, nullptr});
    elements.push_back({selfDock.get(), -1, selfDock.get()});
    elements.push_back({friendsDock.get(), -1, friendsDock.get()});
}

GFX_WidgetRoundButton* UTL_InterfacePass::GetRotationButton(int index) const
{
    return index >= 0 && index < static_cast<int>(rotationButtons.size())
               ? rotationButtons[index].get()
               : nullptr;
}

void UTL_InterfacePass::Update(float seconds, float heading, float pitch)
{
    if (navigationDial)
    {
        navigationDial->SetLongitude(heading);
        navigationDial->SetLatitude(pitch);
    }
    for (const Element& entry : elements)
        entry.element->Update(seconds);
}

void UTL_InterfacePass::Hover(float x, float y)
{
    for (const Element& entry : elements)
        if (entry.element->MouseMove(x, y) && !entry.dock)
            return;
}

void UTL_InterfacePass::Leave()
{
    for (GFX_Dock* dock : {selfDock.get(), friendsDock.get()})
        if (dock)
            dock->PointerLeft();
    if (topBar)
        topBar->Unhover();
    if (namePlate)
        namePlate->Hide();
}

GFX_WidgetDocked* UTL_InterfacePass::GetHoveredItem() const
{
    for (GFX_Dock* dock : {selfDock.get(), friendsDock.get()})
        if (dock && dock->GetHovered())
            return dock->GetHovered();
    return nullptr;
}

bool UTL_InterfacePass::Press(float x, float y)
{
    for (const Element& entry : elements)
        if (entry.element->MouseDown(x, y))
            return true;
    return false;
}

bool UTL_InterfacePass::Release(float x, float y, int& button, GFX_WidgetDocked*& item)
{
    button = -1;
    item = nullptr;
    bool taken = false;
    for (const Element& entry : elements)
    {
        if (!entry.element->MouseUp(x, y))
            continue;
        if (!taken)
        {
            button = entry.button;
            item = entry.dock ? entry.dock->GetClicked() : nullptr;
        }
        taken = true;
        if (!entry.dock)
            break;
    }
    return taken;
}

void UTL_InterfacePass::Draw(int width, int height)
{
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, std::max(width, 1), 0, std::max(height, 1), -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glEnable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (const Element& entry : elements)
        entry.element->Draw();
    if (namePlate)
        namePlate->Draw();

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    GL_CHECK(glMatrixMode(GL_MODELVIEW));
}

GFX_Friend* UTL_InterfacePass::FindDocked(const std::string& id) const
{
    for (const GFX_Dock* dock : {friendsDock.get(), selfDock.get()})
        if (dock)
            for (const auto& item : dock->GetItems())
            {
                auto* docked = dynamic_cast<GFX_WidgetDockedFriend*>(item.get());
                if (docked && docked->GetFriend() && docked->GetFriend()->GetId() == id)
                    return docked->GetFriend();
            }
    return nullptr;
}

GFX_Rect UTL_InterfacePass::FreeArea(int width, int height) const
{
    GFX_Rect free = Span(0.0f, 0.0f, float(width), float(height) - UTL_TopBar::Height);
    if (selfDock)
        free.left = selfDock->GetThickness() + selfDock->GetItemSize() + 2.0f;
    if (friendsDock)
        free.right -= friendsDock->GetThickness() + friendsDock->GetItemSize() + 2.0f;
    return free;
}

bool UTL_InterfacePass::IsEasing() const
{
    for (const GFX_Dock* dock : {selfDock.get(), friendsDock.get()})
        if (dock && !dock->IsSettled())
            return true;
    return false;
}

void UTL_InterfacePass::ShowAutoMode(int mode)
{
    for (int i = 0; i < static_cast<int>(rotationButtons.size()); ++i)
        rotationButtons[i]->SetOn(i == mode - 1);
}

void UTL_InterfacePass::DrawNavigationGlobe()
{
    if (!navigationGlobe)
        return;
    if (sphereButtonTexture->HasPixels())
    {
        glEnable(GL_TEXTURE_2D);
        sphereButtonTexture->Bind();
    }
    navigationGlobe->Draw();
}

void UTL_TopBar::ReleaseGL()
{
    for (OGL_Texture2D* picture : {texture.get(), productLogo.get(), makerLogo.get()})
        if (picture)
            picture->Delete();
}

void UTL_InterfacePass::ReleaseGL()
{
    for (const Element& element : elements)
        element.element->ReleaseGL();
    if (sphereButtonTexture)
        sphereButtonTexture->Delete();
}
