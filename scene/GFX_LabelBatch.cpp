#include "scene/GFX_LabelBatch.h"

#include "gfx/OGL_Texture2D.h"
#include "gfx/OGL_TextureAtlas.h"
#include "gfx/OGL_TextureFoto.h"
#include "scene/GFX_Billboard.h"
#include "scene/GFX_Text.h"

#include <algorithm>

void GFX_LabelBatch::AddLabel(const GFX_Billboard& label)
{
    const GFX_Vector3 corners[4] = {label.GetCorner(0), label.GetCorner(1), label.GetCorner(2),
                                    label.GetCorner(3)};
    GFX_QuadArray::TexCoord texCoords[4];
    for (int i = 0; i < 4; ++i)
        texCoords[i] = {label.GetTexS(i), label.GetTexT(i)};
    (label.GetAlpha() < 1.0f ? fadingLabels : labels)
        .Add(corners, texCoords, label.GetColor(), label.GetAlpha());
}

void GFX_LabelBatch::AddPicture(OGL_TextureFoto& texture, const GFX_Vector3 corners[4], bool real,
                                const GFX_Vector3& tint, bool intoAtlas, float alpha)
{
    if (intoAtlas && atlas && !texture.IsInAtlas())
        atlas->Add(texture);
    if (!texture.HasPicture())
        return;
    const bool opaque = real && alpha >= 1.0f;
    const auto key = texture.IsInAtlas()
                         ? std::make_tuple(texture.GetPictureName(),
                                           static_cast<const OGL_TextureFoto*>(nullptr), opaque)
                         : std::make_tuple(GLuint(0), &texture, opaque);
    auto found = groupOf.find(key);
    if (found == groupOf.end())
    {
        found = groupOf.emplace(key, pictures.size()).first;
        pictures.push_back({&texture, opaque, {}});
    }
    const OGL_TextureFoto::TexRect coords = texture.PictureCoords({0.0f, 0.0f, 1.0f, 1.0f});
    pictures[found->second].quads.Add(corners, coords.s0, coords.t0, coords.s1, coords.t1, tint,
                                      alpha);
}

void GFX_LabelBatch::AddName(const char* text, const GFX_Vector3& origin, const GFX_Vector3& right,
                             const GFX_Vector3& up, float glyphWidth, float glyphHeight,
                             const GFX_Vector3& color, float alpha)
{
    const GFX_Vector3 advance = right.Times(glyphWidth);
    const GFX_Vector3 rise = up.Times(glyphHeight);
    for (int i = 0; text && text[i] != '\0'; ++i)
    {
        const GFX_Text::GlyphCoords glyph = GFX_Text::GlyphCoordsOf(text[i]);
        const GFX_Vector3 bottomLeft = origin.Plus(right.Times(static_cast<float>(i) * glyphWidth));
        const GFX_Vector3 corners[4] = {bottomLeft, bottomLeft.Plus(advance),
                                        bottomLeft.Plus(advance).Add(rise), bottomLeft.Plus(rise)};
        names.Add(corners, glyph.s0, glyph.t0, glyph.s1, glyph.t1, color, alpha);
    }
}

void GFX_LabelBatch::AddLine(const GFX_Text::ShapedLine& line, const GFX_Vector3 corners[4],
                             const GFX_Vector3& color, float alpha)
{
    auto page = std::find_if(lines.begin(), lines.end(),
                             [&](const auto& group) { return group.first == line.page; });
    if (page == lines.end())
        page = lines.insert(lines.end(), {line.page, GFX_QuadArray()});
    page->second.Add(corners, line.s0, line.t0, line.s1, line.t1, color, alpha);
}

const GFX_Text::ScreenView& GFX_LabelBatch::GetScreenView()
{
    if (!viewRead)
    {
        view = GFX_Text::ScreenView::Current();
        viewRead = true;
    }
    return view;
}

void GFX_LabelBatch::Draw(OGL_Texture2D* labelTexture, GFX_Text* font)
{
    binds = 0;
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    if (!labels.IsEmpty())
    {
        if (labelTexture)
        {
            labelTexture->Bind();
            ++binds;
        }
        labels.Draw();
    }
    if (!fadingLabels.IsEmpty())
    {
        if (labelTexture && labels.IsEmpty())
        {
            labelTexture->Bind();
            ++binds;
        }
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        fadingLabels.Draw();
    }

    // The opaque pictures first, then the tinted placeholders and the pictures fading in or
    // out over whatever lies behind them.
    for (bool opaque : {true, false})
    {
        if (opaque)
            glDisable(GL_BLEND);
        else
        {
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        }
        for (PictureGroup& group : pictures)
        {
            if (group.opaque != opaque)
                continue;
            const GLenum target = group.texture->GetPictureTarget();
            glEnable(target);
            group.texture->BindPicture();
            ++binds;
            group.quads.Draw();
            glDisable(target);
        }
    }

    if (!names.IsEmpty() || !lines.empty())
    {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_TEXTURE_2D);
        glDisable(GL_CULL_FACE);
        if (!names.IsEmpty())
        {
            if (font)
            {
                font->Bind();
                ++binds;
            }
            names.Draw();
        }
        for (const auto& [page, quads] : lines)
        {
            glBindTexture(GL_TEXTURE_2D, page);
            ++binds;
            quads.Draw();
        }
        glEnable(GL_CULL_FACE);
    }
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    Clear();
}

void GFX_LabelBatch::Clear()
{
    labels.Clear();
    fadingLabels.Clear();
    names.Clear();
    lines.clear();
    viewRead = false;
    pictures.clear();
    groupOf.clear();
}
