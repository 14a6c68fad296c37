#include "sim/UTL_SceneResources.h"

#include "gfx/GFX_ColorBall.h"
#include "gfx/OGL_Texture2D.h"
#include "gfx/OGL_TextureAtlas.h"
#include "scene/GFX_LocationHolder.h"
#include "scene/GFX_Text.h"
#include "sim/UTL_ConfigFolder.h"
#include "sim/UTL_StillScene.h"
#include "util/UTL_FotoTextureBoss.h"

UTL_SceneResources::UTL_SceneResources() = default;

UTL_SceneResources::~UTL_SceneResources()
{
    font.reset();
    colorBall.reset();
    colorBallTexture.reset();
    locatorTexture.reset();
    widgetTexture.reset();
    billboardTexture.reset();
    pictureWorker.reset();
    pictureAtlas.reset();
}

void UTL_SceneResources::Load(const std::function<void()>& onPictureReady)
{
    font = std::make_unique<GFX_Text>();
    font->LoadFont(UTL_ConfigPath("fixed_font.tga"));
    billboardTexture = UTL_LoadConfigTexture("billboard.tga");
    colorBall = std::make_unique<GFX_ColorBall>(GFX_LocationHolder::BallModelRadius);
    colorBallTexture = UTL_LoadConfigTexture("color_ball.tga");
    widgetTexture = UTL_LoadConfigTexture("widget.tga");
    locatorTexture = UTL_LoadConfigTexture("locator.tga");
    pictureAtlas = std::make_unique<OGL_TextureAtlas>();
    pictureWorker = std::make_unique<UTL_FotoTextureBoss>();
    pictureWorker->SetOnProcessed(onPictureReady);
    pictureWorker->Start();
}

void UTL_SceneResources::ReleaseGL()
{
    if (pictureWorker)
        pictureWorker->ReleaseGL();
    if (pictureAtlas)
        pictureAtlas->Delete();
    if (font)
        font->ReleaseGL();
    for (auto* texture : {billboardTexture.get(), locatorTexture.get(), colorBallTexture.get(),
                          widgetTexture.get()})
        if (texture)
            texture->Delete();
}

void UTL_SceneResources::AddTo(UTL_SceneDigest& digest) const
{
    digest.Add(static_cast<const void*>(billboardTexture.get()));
    if (pictureWorker)
    {
        digest.Add(static_cast<uint64_t>(pictureWorker->GetStatistics().processed.load()));
        digest.Add(static_cast<uint64_t>(pictureWorker->CountEntries()));
    }
}
