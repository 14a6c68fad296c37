#include "sim/UTL_StillScene.h"

#include "gfx/GFX_HalvaneCamera.h"
#include "scene/GFX_Billboard.h"
#include "scene/GFX_ConnectionFriends.h"
#include "scene/GFX_DrawPaths.h"
#include "scene/GFX_Foto.h"
#include "scene/GFX_Friend.h"
#include "scene/GFX_LocationHolderFriend.h"
#include "sim/UTL_FriendCircle.h"

#include <cstring>

namespace
{
uint64_t RotateLeft(uint64_t value, int bits)
{
    return (value << bits) | (value >> (64 - bits));
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

void UTL_SceneDigest::AddCamera(const GFX_HalvaneCamera& camera, int width, int height)
{
    Add(camera.GetEye());
    Add(camera.GetTarget());
    Add(camera.GetUp());
    Add(width);
    Add(height);
}

void UTL_SceneDigest::AddDrawPaths(const GFX_DrawPaths& paths)
{
    Add(paths.dotRibbons);
    Add(paths.ballSprites);
    Add(paths.labelBatches);
    Add(paths.hiddenRows);
    Add(paths.coarseRowsInMotion);
    Add(static_cast<int>(paths.names));
    Add(static_cast<int>(paths.labels));
    Add(paths.brightSelection);
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
        Add(holder->GetLabelShown());
        Add(holder->GetLabelScale());
        Add(static_cast<int>(holder->GetEmphasis()));
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
        Add(static_cast<int>(connection->GetEmphasis()));
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

bool UTL_StillScene::DrawOrShow(bool reuse, int width, int height,
                                const std::function<uint64_t()>& digest,
                                const std::function<void()>& draw)
{
    if (!reuse || width <= 0 || height <= 0)
    {
        Forget();
        draw();
        return false;
    }
    const uint64_t before = digest();
    if (CanShow(before))
    {
        copy.Show(width, height);
        Showed(before);
        return true;
    }
    draw();
    const uint64_t after = digest();
    if (Drew(before, after))
        Keep(width, height, after);
    return false;
}

void UTL_StillScene::Keep(int width, int height, uint64_t digest)
{
    // A copy that failed (out of memory) keeps nothing: the next frames draw their pass.
    kept = copy.Keep(width, height);
    keptDigest = digest;
}

void UTL_StillScene::ReleaseGL()
{
    Forget();
    copy.Delete();
}
