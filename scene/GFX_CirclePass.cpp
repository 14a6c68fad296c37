#include "scene/GFX_CirclePass.h"

#include "gfx/GFX_Image.h"
#include "gfx/OGL_Capabilities.h"
#include "gfx/OGL_Check.h"
#include "gfx/OGL_Texture2D.h"
#include "scene/GFX_Billboard.h"
#include "scene/GFX_ConnectionFriends.h"
#include "scene/GFX_DotRibbons.h"
#include "scene/GFX_LocationHolder.h"
#include "scene/GFX_LocatorPass.h"
#include "scene/GFX_SceneOwner.h"

#include <GL/gl.h>

#ifndef GL_FOG_DISTANCE_MODE_NV
#define GL_FOG_DISTANCE_MODE_NV 0x855A
#define GL_EYE_RADIAL_NV 0x855B
#endif

GFX_CirclePass::GFX_CirclePass(GFX_SceneOwner* owner)
    : owner(owner), locatorPass(std::make_unique<GFX_LocatorPass>(owner))
{
}

GFX_CirclePass::~GFX_CirclePass() = default;

void GFX_CirclePass::SetUpFog(const GFX_Vector3& color, float farPlane, bool eyeRadial)
{
    const GLfloat rgba[] = {color.x, color.y, color.z, 1.0f};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, rgba);
    if (eyeRadial)
        glFogi(GL_FOG_DISTANCE_MODE_NV, GL_EYE_RADIAL_NV);
    glFogf(GL_FOG_DENSITY, 0.99f);
    glFogf(GL_FOG_START, 0.8f * farPlane);
    glFogf(GL_FOG_END, 1.1f * farPlane);
    glEnable(GL_FOG);
}

void GFX_CirclePass::Draw(const Holders& holders, const Connections& connections,
                          OGL_Texture2D* dotTexture, const GFX_Vector3& up,
                          const GFX_Vector3& right)
{
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glColor3f(1.0f, 1.0f, 1.0f);
    const GFX_DrawPaths& paths = owner ? owner->GetDrawPaths() : GFX_DrawPaths::PlainPaths();
    if (paths.ballSprites || paths.labelBatches)
        locatorPass->Draw(holders, paths);
    else if (paths.labels == GFX_DrawPaths::Labels::Room && owner)
    {
        // Which labels show is decided over all of them, once all are in place.
        for (auto& holder : holders)
            holder->Update();
        owner->PlaceLabels(holders);
        for (auto& holder : holders)
            holder->DrawUpdated();
    }
    else
        for (auto& holder : holders)
            holder->Draw();
    DrawConnections(holders, connections, dotTexture, up, right, true);
}

void GFX_CirclePass::DrawConnections(const Holders& holders, const Connections& connections,
                                     OGL_Texture2D* dotTexture, const GFX_Vector3& up,
                                     const GFX_Vector3& right, bool labelsDrawn)
{
    glDepthMask(GL_FALSE);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    coarse = false;
    if (dotTexture && dotTexture->HasPixels())
    {
        // The lines are most of a large circle's fragments; while the globe turns they go at a
        // quarter of them, or a ninth where the processor draws them (there the fragments cost
        // most, and the frame must stay a fifth of the plain way's).
        if (softwareRasteriser < 0)
            softwareRasteriser = OGL_Capabilities::Query().softwareRasteriser ? 1 : 0;
        coarse = inMotion && owner && owner->GetDrawPaths().coarseRowsInMotion &&
                 coarseLayer.Begin(softwareRasteriser ? 3 : 2);
        glEnable(GL_TEXTURE_2D);
        if (owner && owner->GetDrawPaths().dotRibbons)
            DrawRibbons(holders, connections, *dotTexture, up, right, labelsDrawn);
        else
        {
            dotTexture->Bind();
            glBegin(GL_QUADS);
            // A bright selection goes over every other line.
            for (bool bright : {false, true})
                for (auto& connection : connections)
                    if (connection->IsDrawnBright() == bright)
                        connection->Draw();
            glEnd();
        }
        if (coarse)
            coarseLayer.End();
    }
    glDisable(GL_BLEND);
    glEnable(GL_LIGHTING);
    glDepthMask(GL_TRUE);
    GL_CHECK(glColor3f(1.0f, 1.0f, 1.0f));
}

long long GFX_CirclePass::CountRibbonQuads() const
{
    return ribbons ? ribbons->GetQuadCount() : 0;
}

long long GFX_CirclePass::CountSingleDots() const
{
    return ribbons ? ribbons->GetSingleDotCount() : 0;
}

long long GFX_CirclePass::CountHiddenDots() const
{
    return ribbons ? ribbons->GetHiddenDotCount() : 0;
}

void GFX_CirclePass::ReleaseArrays()
{
    if (ribbons)
        ribbons->ReleaseArrays();
}

void GFX_CirclePass::ReleaseGL()
{
    coarseLayer.Delete();
    if (ribbons)
        ribbons->ReleaseGL();
    locatorPass->ReleaseGL();
}

bool GFX_CirclePass::LabelsAreOpaque() const
{
    const OGL_Texture2D* texture = owner ? owner->GetLocatorTexture() : nullptr;
    const GFX_Image* image = texture ? texture->GetImage() : nullptr;
    if (!image)
        return false;
    // The label picture does not change once loaded; look at its pixels once.
    if (image != checkedLabelImage)
    {
        checkedLabelImage = image;
        labelImageOpaque = image->IsOpaque();
    }
    return labelImageOpaque;
}

void GFX_CirclePass::DrawRibbons(const Holders& holders, const Connections& connections,
                                 OGL_Texture2D& dotTexture, const GFX_Vector3& up,
                                 const GFX_Vector3& right, bool labelsDrawn)
{
    if (!ribbons)
        ribbons = std::make_unique<GFX_DotRibbons>();
    ribbons->Begin(up, right);
    if (labelsDrawn && owner && owner->GetDrawPaths().hiddenRows && LabelsAreOpaque())
        for (const auto& holder : holders)
        {
            const GFX_Billboard* label = holder->GetBillboard();
            if (!label || label->GetAlpha() < 1.0f)
                continue;
            const GFX_Vector3 corners[4] = {label->GetCorner(0), label->GetCorner(1),
                                            label->GetCorner(2), label->GetCorner(3)};
            ribbons->AddOccluder(corners);
        }
    // The rows go in layers of the list's order; within one, the rows that go dot by dot
    // are placed by the ribbons, before or after theirs.
    const size_t layers = size_t(RibbonLayers);
    const size_t rowsPerLayer = (connections.size() + layers - 1) / layers;
    for (size_t i = 0; i < connections.size(); ++i)
    {
        if (connections[i]->IsDrawnBright())
            continue;
        ribbons->SetLayer(int(i / rowsPerLayer));
        connections[i]->AddToRibbons(*ribbons);
    }
    // A bright selection goes in a layer of its own, over all the others.
    ribbons->SetLayer(RibbonLayers);
    for (const auto& connection : connections)
        if (connection->IsDrawnBright())
            connection->AddToRibbons(*ribbons);
    // A software rasteriser queues what it is given in batches of work for its threads, and a
    // frame of a large circle would leave hundreds of megabytes in its queue.
    if (softwareRasteriser < 0)
        softwareRasteriser = OGL_Capabilities::Query().softwareRasteriser ? 1 : 0;
    ribbons->SetWaitEvery(softwareRasteriser ? QuadsBetweenWaits : 0);
    for (size_t layer = 0; layer <= layers; ++layer)
        ribbons->Draw(dotTexture, int(layer));
}
