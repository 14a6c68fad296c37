#include "scene/GFX_RegionNames.h"

#include "gfx/OGL_Check.h"
#include "scene/GFX_Text.h"

#include <GL/gl.h>

void GFX_RegionNames::Draw(std::vector<GFX_RegionName>& names, GFX_Text& font,
                           const GFX_Vector3& up, const GFX_Vector3& right, const GFX_Vector3& halo)
{
    const GFX_Text::ScreenView view = GFX_Text::ScreenView::Current();
    glDisable(GL_DEPTH_TEST);
    for (GFX_RegionName& name : names)
    {
        name.drawn = false;
        if (!(name.alpha > 0.0f) || !(name.em > 0.0f))
            continue;
        GFX_Text::ShapedLine line;
        const float emPixels = view.Pixels(name.anchor, up.Times(name.em));
        if (!font.PrepareLine(name.text, emPixels, MaxWidthEms, 1.0f, line))
            continue;
        const GFX_Vector3 origin = name.anchor.Minus(right.Times(0.5f * line.width * name.em))
                                       .Minus(up.Times(0.5f * line.height * name.em));
        GFX_Text::LineCorners(line, origin, right, up, name.em, name.corners);
        name.drawn = true;
        // The halo: the line in the background's colour, shifted round its place.
        const float reach = HaloEms * name.em;
        const float diagonal = 0.7071f * reach;
        const GFX_Vector3 shifts[8] = {
            right.Times(reach),
            right.Times(-reach),
            up.Times(reach),
            up.Times(-reach),
            right.Times(diagonal).Plus(up.Times(diagonal)),
            right.Times(diagonal).Minus(up.Times(diagonal)),
            right.Times(-diagonal).Plus(up.Times(diagonal)),
            right.Times(-diagonal).Minus(up.Times(diagonal)),
        };
        for (const GFX_Vector3& shift : shifts)
        {
            GFX_Vector3 moved[4];
            for (int corner = 0; corner < 4; ++corner)
                moved[corner] = name.corners[corner].Plus(shift);
            font.DrawLine3D(line, moved, halo, 0.6f * name.alpha);
        }
        font.DrawLine3D(line, name.corners, name.color, name.alpha);
    }
    GL_CHECK(glEnable(GL_DEPTH_TEST));
}
