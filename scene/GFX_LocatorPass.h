#pragma once

#include "gfx/GFX_BallSprites.h"
#include "scene/GFX_LabelBatch.h"

#include <memory>
#include <vector>

class GFX_LocationHolder;
class GFX_SceneOwner;
struct GFX_DrawPaths;

// Every locator of the scene in few primitives, by the owner's drawing ways: the balls that
// are small on screen as sprites in one call (the others as meshes), and the labels, pictures
// and names in batches by texture. Either way may be off, and then that part is drawn holder
// by holder as GFX_LocationHolder::Draw does.
//
// All holders are updated first, then the balls drawn, then the labels: a label lies in the
// plane of its ball's sprite where the two overlap on screen, and wins as it does over the
// mesh. GL thread only.
class GFX_LocatorPass
{
public:
    explicit GFX_LocatorPass(GFX_SceneOwner* owner);
    ~GFX_LocatorPass();

    GFX_LocatorPass(const GFX_LocatorPass&) = delete;
    GFX_LocatorPass& operator=(const GFX_LocatorPass&) = delete;

    // With the camera's matrices in force and the holders' axes set. Leaves texturing on.
    void Draw(const std::vector<std::unique_ptr<GFX_LocationHolder>>& holders,
              const GFX_DrawPaths& paths);

    const GFX_BallSprites& GetSprites() const { return sprites; }
    const GFX_LabelBatch& GetLabels() const { return labels; }
    // How many balls the last Draw drew as sprites.
    size_t CountSprites() const { return spritesDrawn; }
    // Releases the sprites' GL names; context current.
    void ReleaseGL() { sprites.Delete(); }

private:
    GFX_SceneOwner* owner;
    GFX_BallSprites sprites;
    GFX_LabelBatch labels;
    size_t spritesDrawn = 0;
};
