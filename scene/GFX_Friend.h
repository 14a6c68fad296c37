#pragma once

#include "scene/GFX_Foto.h"
#include "util/UTL_ConfigPath.h"

#include <memory>
#include <string>

class GFX_SceneOwner;

// The picture shown for a person without one, in the config folder.
inline std::string GFX_PlaceholderPicturePath()
{
    return UTL_ConfigPath("question.tga");
}

// One person: the user or one of the user's friends, with an ordinary and a small square
// profile picture. When a picture slot shows the placeholder instead of a real picture, its
// flag is false so that those who draw the friend can tint it.
//
// The controller owns friends; locators and docked items only point at them. GL thread only.
class GFX_Friend
{
public:
    explicit GFX_Friend(GFX_SceneOwner* owner);
    virtual ~GFX_Friend() = default;

    GFX_Friend(const GFX_Friend&) = delete;
    GFX_Friend& operator=(const GFX_Friend&) = delete;

    // A friend from the social network's record: id, name and the "pic" and "pic_square"
    // addresses, each replaced by the placeholder (flag false) when empty.
    static std::unique_ptr<GFX_Friend> FromRecord(GFX_SceneOwner* owner, const std::string& id,
                                                  const std::string& name,
                                                  const std::string& picture,
                                                  const std::string& squarePicture);

    void SetId(const std::string& value) { id = value; }
    void SetName(const std::string& value) { name = value; }
    const std::string& GetId() const { return id; }
    const std::string& GetName() const { return name; }
    // What the person is called where they are shown: the name, or the id for someone whose
    // name is empty or blank (people of a bare edge list), so that everyone can be told apart.
    const std::string& GetShownName() const
    {
        return name.find_first_not_of(" \t\r\n") == std::string::npos ? id : name;
    }

    // Each replaces the photo of its slot with a new one of `path`, even for the same path.
    void SetPicture(const std::string& path);
    void SetSquarePicture(const std::string& path);
    void SetHasPicture(bool value) { hasPicture = value; }
    void SetHasSquarePicture(bool value) { hasSquarePicture = value; }

    GFX_Foto* GetPicture() const { return picture.get(); }
    GFX_Foto* GetSquarePicture() const { return squarePicture.get(); }
    bool HasPicture() const { return hasPicture; }
    bool HasSquarePicture() const { return hasSquarePicture; }

private:
    GFX_SceneOwner* owner;
    std::string id;
    std::string name;
    std::unique_ptr<GFX_Foto> picture;
    bool hasPicture = true;
    std::unique_ptr<GFX_Foto> squarePicture;
    bool hasSquarePicture = true;
};
