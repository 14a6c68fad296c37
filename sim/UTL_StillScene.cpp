#include "sim/UTL_StillScene.h"

#include "gfx/OGL_Check.h"
#include "gfx/OGL_Wrapper.h"
#include "scene/GFX_Billboard.h"
#include "scene/GFX_ConnectionFriends.h"
#include "scene/GFX_Foto.h"
#include "scene/GFX_Friend.h"
#include "scene/GFX_LocationHolderFriend.h"
#include "sim/UTL_FriendCircle.h"

#include <GL/gl.h>
#include <cstring>

namespace
{
uint64_t RotateLeft(uint64_t value, int bits)
{
    return (value << bits) | (value >> (64 - bits));
}

int PowerOfTwoAtLeast(int value)
{
    int result = 1;
    while (result < value)
        result *= 2;
    return result;
}
} // namespace

void UTL_SceneDigest::Add(uint64_t value)
{
    // Each step is a bijection of the state for a fixed value, so one changed word always
    // changes the result; the multiplications spread it over every bit.
    state ^= value * 0x9E3779B97F4A7C15ull;
    state = RotateLeft(state, 29) * 0xBF58476D1CE4E5B9ull;
}

void UTL_SceneDigest::Add(float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    Add(static_cast<uint64_t>(bits));
}

void UTL_SceneDigest::Add(const GFX_Vector3& value)
{
    uint32_t bits[3];
    std::memcpy(&bits[0], &value.x, sizeof bits[0]);
    std::memcpy(&bits[1], &value.y, sizeof bits[1]);
    std::memcpy(&bits[2], &value.z, sizeof bits[2]);
    Add((static_cast<uint64_t>(bits[0]) << 32) | bits[1]);
    Add(static_cast<uint64_t>(bits[2]));
}

void UTL_SceneDigest::Add(const std::string& text)
{
    AddBytes(text.data(), text.size());
}

void UTL_SceneDigest::AddBytes(const void* bytes, size_t count)
{
    // The count goes in too, so that "ab" + "c" and "a" + "bc" differ.
    Add(static_cast<uint64_t>(count));
    const auto* data = static_cast<const unsigned char*>(bytes);
    for (; count >= 8; data += 8, count -= 8)
    {
        uint64_t word = 0;
        std::memcpy(&word, data, 8);
        Add(word);
    }
    if (count > 0)
    {
        uint64_t word = 0;
        std::memcpy(&word, data, count);
        Add(word);
    }
}

void UTL_SceneDigest::Add(const std::optional<GFX_Vector3>& value)
{
    Add(value.has_value());
    if (value)
        Add(*value);
}

void UTL_SceneDigest::AddCircle(UTL_FriendCircle& circle)
{
    const UTL_FriendCircle::Holders& holders = circle.GetHolders();
    Add(static_cast<uint64_t>(holders.size()));
    for (const auto& holder : holders)
    {
        Add(static_cast<const void*>(holder.get()));
        Add(holder->GetLongitude());
        Add(holder->GetLatitude());
        Add(holder->GetPosition());
        // The label's side slides for a while after the globe turned.
        Add(holder->GetLabelSideUp());
        Add(holder->GetLabelSideRight());
        Add(holder->GetBallSize());
        Add(holder->IsSelected());
        Add(holder->GetBallColor());
        if (const GFX_Billboard* label = holder->GetBillboard())
        {
            Add(label->GetWidth());
            Add(label->GetHeight());
        }
        const GFX_LocationHolderFriend* friendHolder = holder->AsFriendHolder();
        const GFX_Friend* person = friendHolder ? friendHolder->GetFriend() : nullptr;
        Add(static_cast<const void*>(person));
        if (!person)
            continue;
        Add(person->GetName());
        Add(person->HasPicture());
        Add(person->HasSquarePicture());
        for (const GFX_Foto* photo : {person->GetPicture(), person->GetSquarePicture()})
        {
            Add(static_cast<const void*>(photo));
            if (photo)
                Add(photo->GetPath());
        }
    }

    const UTL_FriendCircle::Connections& connections = circle.GetConnections();
    Add(static_cast<uint64_t>(connections.size()));
    for (const auto& connection : connections)
    {
        Add(static_cast<const void*>(connection.get()));
        Add(static_cast<const void*>(connection->GetHolder1()));
        Add(static_cast<const void*>(connection->GetHolder2()));
        Add(connection->IsHighlighted());
        Add(connection->GetDimAlpha());
        Add(connection->GetStart());
        Add(connection->GetEnd());
        Add(connection->GetDotColor());
    }
}

bool UTL_StillScene::Drew(uint64_t before, uint64_t after)
{
    const bool repeated = lastValid && before == lastDigest && after == before;
    lastDigest = after;
    lastValid = true;
    return repeated && !(kept && keptDigest == after);
}

void UTL_StillScene::Forget()
{
    kept = false;
    lastValid = false;
}

void UTL_StillScene::Keep(int width, int height, uint64_t digest)
{
    kept = false;
    if (width <= 0 || height <= 0)
        return;
    GLint previous = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &previous);
    if (!texture)
        glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    if (width > textureWidth || height > textureHeight)
    {
        // Pixels are copied and shown one for one, so the texture needs no filtering or
        // mipmaps; sides of the window's own size where the driver takes them.
        const bool anySize = OGL_Wrapper::ExtensionListContains(
            reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)),
            "ARB_texture_non_power_of_two");
        textureWidth = anySize ? width : PowerOfTwoAtLeast(width);
        textureHeight = anySize ? height : PowerOfTwoAtLeast(height);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, textureWidth, textureHeight, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, nullptr);
    }
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(previous));
    // A copy that failed (out of memory) keeps nothing: the next frames draw their pass.
    if (glGetError() != GL_NO_ERROR)
        return;
    kept = true;
    keptDigest = digest;
}

void UTL_StillScene::Show(int width, int height)
{
    glPushAttrib(GL_ENABLE_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    // The texels as they are, alpha included: the window gets back what the pass left in it.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    const float s = w / static_cast<float>(textureWidth);
    const float t = h / static_cast<float>(textureHeight);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(s, 0.0f);
    glVertex2f(w, 0.0f);
    glTexCoord2f(s, t);
    glVertex2f(w, h);
    glTexCoord2f(0.0f, t);
    glVertex2f(0.0f, h);
    glEnd();

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
    // What the globe pass leaves behind.
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    GL_CHECK(glColor3f(1.0f, 1.0f, 1.0f));
}
