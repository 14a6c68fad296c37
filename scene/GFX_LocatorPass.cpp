#include "scene/GFX_LocatorPass.h"

#include "gfx/OGL_Texture2D.h"
#include "scene/GFX_Billboard.h"
#include "scene/GFX_DrawPaths.h"
#include "scene/GFX_LocationHolder.h"
#include "scene/GFX_SceneOwner.h"
#include "scene/GFX_Text.h"

#include <GL/gl.h>
#include <algorithm>

GFX_LocatorPass::GFX_LocatorPass(GFX_SceneOwner* owner) : owner(owner) {}

GFX_LocatorPass::~GFX_LocatorPass() = default;

void GFX_LocatorPass::Draw(const std::vector<std::unique_ptr<GFX_LocationHolder>>& holders,
                           const GFX_DrawPaths& paths)
{
    // Shaped names drawn in earlier frames may give up their room to this frame's.
    if (GFX_Text* font = owner ? owner->GetFont() : nullptr)
        font->NextFrame();
    OGL_Texture2D* ballTexture = owner ? owner->GetColorBallTexture() : nullptr;
    bool useSprites = false;
    if (paths.ballSprites && owner && !holders.empty() && holders.front()->GetBillboard())
    {
        const GFX_Billboard& axes = *holders.front()->GetBillboard();
        useSprites =
            sprites.Begin(owner->GetColorBall(), ballTexture, GFX_LocationHolder::BallModelRadius,
                          GFX_LocationHolder::LayoutBallSize, axes.GetUp());
    }

    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    if (ballTexture)
        ballTexture->Bind();
    for (const auto& holder : holders)
    {
        holder->Update();
        const GFX_Vector3 color = holder->ShownBallColor();
        if (useSprites && sprites.Add(holder->GetPosition(), holder->GetBallSize(), color))
            continue;
        holder->DrawBall();
    }
    spritesDrawn = sprites.CountQueued();
    sprites.Draw();
    if (paths.labels == GFX_DrawPaths::Labels::Room && owner)
        owner->PlaceLabels(holders);

    if (paths.labelBatches)
    {
        // A batch draws every background, then every picture, then every name, where one by
        // one each label is drawn whole; the order shows where labels overlap, since a name's
        // clear parts still hide what comes after it. The selected label, the largest, in the
        // middle of its neighbours, is drawn whole between the batches of those before it and
        // those after it, as it would be one by one.
        labels.SetAtlas(owner ? owner->GetPictureAtlas() : nullptr);
        auto drawBatch = [&](auto from, auto to)
        {
            for (auto it = from; it != to; ++it)
                (*it)->AddLabel(labels);
            labels.Draw(owner ? owner->GetLocatorTexture() : nullptr,
                        owner ? owner->GetFont() : nullptr);
        };
        const auto selected = std::find_if(holders.begin(), holders.end(),
                                           [](const auto& holder) { return holder->IsSelected(); });
        drawBatch(holders.begin(), selected);
        if (selected != holders.end())
        {
            (*selected)->DrawLabel();
            drawBatch(selected + 1, holders.end());
        }
    }
    else
    {
        for (const auto& holder : holders)
            holder->DrawLabel();
    }
}
