#include "sim/UTL_SimCtrlRoot.h"

#include <gtest/gtest.h>

TEST(UTL_SimCtrlRootTest, StartsEmptyWithTheDocumentedDefaults)
{
    UTL_SimCtrlRoot root;
    EXPECT_EQ(root.GetWidth(), 0);
    EXPECT_EQ(root.GetFrameCount(), 0);
    EXPECT_EQ(root.GetCamera(), nullptr);
    EXPECT_EQ(root.GetGlWrapper(), nullptr);
    EXPECT_FLOAT_EQ(root.GetEyePosition().y, 1000.0f);
    EXPECT_FLOAT_EQ(root.GetFieldOfView(), 45.0f);
    EXPECT_FLOAT_EQ(root.GetNearPlane(), 1.0f);
    EXPECT_FLOAT_EQ(root.GetFarPlane(), 300.0f);
}

TEST(UTL_SimCtrlRootTest, KeyTableHoldsCodesUpTo255Only)
{
    UTL_SimCtrlRoot root;
    root.OnKeyDown(16, 1); // Shift
    root.OnKeyDown(255, 1);
    EXPECT_TRUE(root.IsKeyDown(16));
    EXPECT_TRUE(root.IsKeyDown(255));
    EXPECT_FALSE(root.IsKeyDown(17));

    root.OnKeyDown(300, 1);
    root.OnKeyDown(-1, 1);
    EXPECT_FALSE(root.IsKeyDown(300));
    EXPECT_FALSE(root.IsKeyDown(300 - 256)) << "300 must not wrap onto key 44";
    EXPECT_FALSE(root.IsKeyDown(static_cast<unsigned>(-1)));

    root.OnKeyUp(16, 1);
    root.OnKeyUp(300, 1);
    EXPECT_FALSE(root.IsKeyDown(16));
    EXPECT_TRUE(root.IsKeyDown(255));
}

TEST(UTL_SimCtrlRootTest, MouseMovesKeepTheLastPressPosition)
{
    UTL_SimCtrlRoot root;
    root.OnMouseDown(10, 20, UTL_SimCtrlRoot::LeftButtonBit);
    root.OnMouseMove(30, 40, 0, 0, UTL_SimCtrlRoot::LeftButtonBit);
    EXPECT_EQ(root.GetMouseX(), 30);
    EXPECT_EQ(root.GetMouseY(), 40);
    EXPECT_EQ(root.GetLastMouseX(), 10);
    EXPECT_EQ(root.GetLastMouseY(), 20);

    root.OnMouseUp(50, 60, 0);
    EXPECT_EQ(root.GetMouseX(), 30) << "a release records nothing";
    EXPECT_EQ(root.GetLastMouseX(), 10);

    root.OnMouseDoubleClick(70, 80, UTL_SimCtrlRoot::LeftButtonBit);
    EXPECT_EQ(root.GetMouseX(), 70);
    EXPECT_EQ(root.GetLastMouseY(), 80) << "a double click counts as a press";
}
