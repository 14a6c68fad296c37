#include "scene/GFX_Friend.h"

#include "support/TestSceneOwner.h"

#include <gtest/gtest.h>

TEST(GFX_FriendTest, EmptyPictureAddressesFallBackToThePlaceholderOneByOne)
{
    TestSceneOwner owner;
    struct Row
    {
        const char* picture;
        const char* square;
    };
    for (const Row& row : {Row{"http://x/p.jpg", ""}, Row{"", "http://x/s.jpg"}, Row{"", ""},
                           Row{"http://x/p.jpg", "http://x/s.jpg"}})
    {
        SCOPED_TRACE(std::string(row.picture) + " | " + row.square);
        auto person = GFX_Friend::FromRecord(&owner, "42", "Ada Lovelace", row.picture, row.square);
        EXPECT_EQ(person->GetId(), "42");
        EXPECT_EQ(person->GetName(), "Ada Lovelace");
        ASSERT_NE(person->GetPicture(), nullptr);
        ASSERT_NE(person->GetSquarePicture(), nullptr);
        const std::string picture = *row.picture ? row.picture : GFX_PlaceholderPicturePath();
        const std::string square = *row.square ? row.square : GFX_PlaceholderPicturePath();
        EXPECT_EQ(person->GetPicture()->GetPath(), picture);
        EXPECT_EQ(person->GetSquarePicture()->GetPath(), square);
        EXPECT_EQ(person->HasPicture(), *row.picture != '\0');
        EXPECT_EQ(person->HasSquarePicture(), *row.square != '\0');
    }
}

TEST(GFX_FriendTest, SettingAPictureAlwaysReplacesThePhoto)
{
    TestSceneOwner owner;
    GFX_Friend person(&owner);
    EXPECT_EQ(person.GetPicture(), nullptr);
    EXPECT_TRUE(person.HasPicture());
    EXPECT_TRUE(person.HasSquarePicture());

    person.SetPicture("a.tga");
    const GFX_Foto* first = person.GetPicture();
    person.SetPicture("a.tga");
    EXPECT_NE(person.GetPicture(), first) << "the same path still makes a new photo";
    EXPECT_EQ(person.GetPicture()->GetPath(), "a.tga");
    EXPECT_EQ(person.GetSquarePicture(), nullptr) << "slots are independent";
}

TEST(GFX_FotoTest, NoPathNoOwnerOrNoWorkerAsksNobody)
{
    TestSceneOwner owner;
    GFX_Foto empty(&owner);
    EXPECT_EQ(empty.GetTexture(), nullptr);
    EXPECT_EQ(owner.pictureWorkerCalls, 0) << "an empty path never reaches the worker";

    GFX_Foto orphan(nullptr);
    orphan.SetPath("a.tga");
    EXPECT_EQ(orphan.GetTexture(), nullptr);

    GFX_Foto noWorker(&owner);
    noWorker.SetPath("a.tga");
    EXPECT_EQ(noWorker.GetTexture(), nullptr);
    EXPECT_EQ(owner.pictureWorkerCalls, 1);
    noWorker.DrawFitted(0, 10, 10, 0); // draws nothing, and needs no GL for it
}

// Someone without a name (a node of a bare edge list) is called by their id wherever shown.
TEST(GFX_FriendTest, APersonWithoutANameIsShownByTheirId)
{
    TestSceneOwner owner;
    GFX_Friend person(&owner);
    person.SetId("325");
    for (const char* blank : {"", " ", " \t\n"})
    {
        person.SetName(blank);
        EXPECT_EQ(person.GetShownName(), "325");
    }
    person.SetName("Zoë");
    EXPECT_EQ(person.GetShownName(), "Zoë");
}
