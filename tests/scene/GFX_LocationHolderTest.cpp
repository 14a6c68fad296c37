#include "scene/GFX_LocationHolder.h"

#include "scene/GFX_Billboard.h"
#include "scene/GFX_Globe.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{
const GFX_Vector3 Up{0, 1, 0};
const GFX_Vector3 Right{1, 0, 0};

void ExpectNear(const GFX_Vector3& actual, const GFX_Vector3& expected, float tolerance)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

GFX_Vector3 LabelCentre(const GFX_LocationHolder& holder)
{
    const GFX_Billboard& label = *holder.GetBillboard();
    return label.GetCorner(0).Plus(label.GetCorner(2)).Scale(0.5f);
}
} // namespace

TEST(GFX_LocationHolderTest, StartsWithALargeLabelAtTheOriginAndNoSide)
{
    GFX_LocationHolder holder(nullptr);
    EXPECT_EQ(holder.GetBillboard()->GetWidth(), 1000.0f);
    EXPECT_EQ(holder.GetBillboard()->GetHeight(), 1000.0f);
    EXPECT_EQ(holder.GetBallSize(), 1.0f);
    EXPECT_FALSE(holder.IsSelected());
    EXPECT_GT(holder.GetLabelSideUp(), 1.0f) << "not placed yet";
    holder.SetBillboardSize(750, 500);
    EXPECT_EQ(holder.GetBillboard()->GetWidth(), 750.0f);
    EXPECT_EQ(holder.GetBillboard()->GetHeight(), 500.0f);
}

TEST(GFX_LocationHolderTest, TheFirstUpdatePutsTheLabelFullyOnTheOuterSide)
{
    struct Row
    {
        float longitude, latitude;
        GFX_Vector3 up, right;
        float sideUp, sideRight;
    };
    const GFX_Vector3 minusZ{0, 0, -1};
    // Seen from +z (up +y, right +x) a place in the upper left gets its label up and to the
    // left, away from the globe's centre. A place exactly perpendicular to an axis (the pole
    // seen from the side or from above, the meridian 0 seen from +x) centres the label along it.
    for (const Row& row : {Row{120, 30, Up, Right, 1, -1}, Row{60, -30, Up, Right, -1, 1},
                           Row{0, 90, Up, Right, 1, 0}, Row{0, 30, Up, minusZ, 1, 0},
                           Row{0, -30, Up, minusZ, -1, 0}, Row{0, 90, minusZ, Right, 0, 0}})
    {
        SCOPED_TRACE(testing::Message() << row.longitude << ", " << row.latitude);
        GFX_LocationHolder holder(nullptr);
        holder.SetBillboardAxes(row.up, row.right);
        holder.SetLongitude(row.longitude);
        holder.SetLatitude(row.latitude);
        holder.SetBallSize(100);
        holder.SetBillboardSize(750, 750);
        holder.Update();

        const GFX_Vector3 position = GFX_Globe::Position(row.longitude, row.latitude);
        ExpectNear(holder.GetPosition(), position, 1e-3f);
        EXPECT_EQ(holder.GetLabelSideUp(), row.sideUp);
        EXPECT_EQ(holder.GetLabelSideRight(), row.sideRight);
        // Off the ball by half the label plus three quarters of the ball's radius along each
        // axis, and 100 units towards the viewer.
        const GFX_Vector3 expected = position.Plus(row.up.Times(row.sideUp * 450.0f))
                                         .Add(row.right.Times(row.sideRight * 450.0f))
                                         .Add(row.right.Cross(row.up).Times(100.0f));
        ExpectNear(LabelCentre(holder), expected, 2e-3f);
    }
}

TEST(GFX_LocationHolderTest, ALabelCrossingOverSlidesAQuarterOfTheWayPerUpdate)
{
    GFX_LocationHolder holder(nullptr);
    holder.SetLongitude(120);
    holder.SetLatitude(30);
    holder.SetBillboardAxes(Up, Right);
    holder.Update();
    ASSERT_EQ(holder.GetLabelSideUp(), 1.0f);

    // The camera rolls over: the label's target side flips, and it travels 0.25, 0.4375, …
    // of the way from +1 to −1.
    holder.SetBillboardAxes(Up.Negated(), Right.Negated());
    const float fractions[] = {0.25f, 0.4375f, 0.578125f, 0.68359375f};
    for (float fraction : fractions)
    {
        holder.Update();
        EXPECT_FLOAT_EQ(holder.GetLabelSideUp(), 1.0f - 2.0f * fraction);
        EXPECT_FLOAT_EQ(holder.GetLabelSideRight(), -1.0f + 2.0f * fraction);
    }
    for (int i = 0; i < 100; ++i)
        holder.Update();
    EXPECT_NEAR(holder.GetLabelSideUp(), -1.0f, 1e-6f) << "and settles on the other side";
}

TEST(GFX_LocationHolderTest, PickingKeepsTheNearestLabelWhateverTheOrder)
{
    // Labels facing a viewer on the +z axis, both up and to the right of their places; the one
    // further round lies about 38 units deeper.
    auto makeHolder = [](float longitude, float latitude)
    {
        auto holder = std::make_unique<GFX_LocationHolder>(nullptr);
        holder->SetBillboardAxes(Up, Right);
        holder->SetLongitude(longitude);
        holder->SetLatitude(latitude);
        holder->SetBillboardSize(750, 750);
        holder->Update();
        return holder;
    };
    std::vector<std::unique_ptr<GFX_LocationHolder>> holders;
    holders.push_back(makeHolder(84, 3)); // x 581…1331, y 291…1041
    holders.push_back(makeHolder(90, 0)); // x, y 1…751, nearer
    GFX_LocationHolder* deeper = holders[0].get();
    GFX_LocationHolder* nearer = holders[1].get();
    const GFX_Vector3 down{0, 0, -1};

    EXPECT_EQ(GFX_LocationHolder::PickNearest(holders, {650, 500, 30000}, down), nearer);
    std::swap(holders[0], holders[1]);
    EXPECT_EQ(GFX_LocationHolder::PickNearest(holders, {650, 500, 30000}, down), nearer);
    EXPECT_EQ(GFX_LocationHolder::PickNearest(holders, {1000, 900, 30000}, down), deeper)
        << "only the deeper label under the ray";

    EXPECT_EQ(GFX_LocationHolder::PickNearest(holders, {650, 500, 60000}, down), nullptr)
        << "beyond 40000 units";
    EXPECT_EQ(GFX_LocationHolder::PickNearest(holders, {3000, 3000, 30000}, down), nullptr);
    std::vector<GFX_LocationHolder*> none;
    EXPECT_EQ(GFX_LocationHolder::PickNearest(none, {650, 500, 30000}, down), nullptr);
}
