#pragma once

#include <functional>
#include <memory>

class GFX_ColorBall;
class GFX_Text;
class OGL_Texture2D;
class OGL_TextureAtlas;
class UTL_FotoTextureBoss;
class UTL_SceneDigest;

// What the main scene's parts share through their owner: the font, the label, locator and
// widget textures, the colour ball's model and texture, the atlas the label pictures move into
// and the worker that decodes the pictures. Load with the GL context current, before anything
// that draws with them is made; ReleaseGL with it current before it goes. Destroyed after the
// people and the interface that use them, the picture worker last but for the atlas: its thread
// may still be decoding into a photo's texture. GL thread only.
struct UTL_SceneResources
{
    UTL_SceneResources();
    ~UTL_SceneResources();

    // Loads the files of the config folder and starts the picture worker; `onPictureReady` is
    // called from the worker's thread each time a picture is ready to show.
    void Load(const std::function<void()>& onPictureReady);
    void ReleaseGL();
    // Into a globe pass's digest: the label texture, and the pictures finished and asked for
    // (a picture finished since the last look shows on its label from the next pass).
    void AddTo(UTL_SceneDigest& digest) const;

    std::unique_ptr<GFX_Text> font;
    std::unique_ptr<OGL_Texture2D> billboardTexture;
    std::unique_ptr<OGL_Texture2D> locatorTexture;
    std::unique_ptr<OGL_Texture2D> colorBallTexture;
    std::unique_ptr<GFX_ColorBall> colorBall;
    std::unique_ptr<OGL_Texture2D> widgetTexture;
    std::unique_ptr<UTL_FotoTextureBoss> pictureWorker;
    // The label pictures that moved out of their own textures; outlives no picture drawn from it.
    std::unique_ptr<OGL_TextureAtlas> pictureAtlas;
};
