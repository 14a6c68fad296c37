#include "scene/GFX_Friend.h"

GFX_Friend::GFX_Friend(GFX_SceneOwner* owner) : owner(owner) {}

std::unique_ptr<GFX_Friend> GFX_Friend::FromRecord(GFX_SceneOwner* owner, const std::string& id,
                                                   const std::string& name,
                                                   const std::string& picture,
                                                   const std::string& squarePicture)
{
    auto person = std::make_unique<GFX_Friend>(owner);
    person->SetId(id);
    person->SetName(name);
    person->SetHasPicture(!picture.empty());
    person->SetPicture(picture.empty() ? GFX_PlaceholderPicturePath() : picture);
    person->SetHasSquarePicture(!squarePicture.empty());
    person->SetSquarePicture(squarePicture.empty() ? GFX_PlaceholderPicturePath() : squarePicture);
    return person;
}

void GFX_Friend::SetPicture(const std::string& path)
{
    picture = std::make_unique<GFX_Foto>(owner);
    picture->SetPath(path);
}

void GFX_Friend::SetSquarePicture(const std::string& path)
{
    squarePicture = std::make_unique<GFX_Foto>(owner);
    squarePicture->SetPath(path);
}
