#include "app/CMainFrame.h"
#include "app/CSavePictureDlg.h"
#include "app/UI_FramePacer.h"
#include "app/UI_HalvaneView.h"
#include "app/UI_KeyCodes.h"
#include "app/UI_OpenGlOverlappedView.h"
#include "net/CHtmlCtrl.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QImage>
#include <Qt>
#include <algorithm>

TEST(UI_KeyCodesTest, QtKeysBecomeTheClassicVirtualKeyCodes)
{
    struct Row
    {
        int qt;
        bool keypad;
        int code;
    };
    const Row rows[] = {
        {Qt::Key_Shift, false, 16},
        {Qt::Key_Control, false, 17},
        {Qt::Key_Escape, false, 27},
        {Qt::Key_Space, false, 32},
        {Qt::Key_A, false, 65},
        {Qt::Key_Z, false, 90},
        {Qt::Key_0, false, 48},
        {Qt::Key_7, true, 103},
        {Qt::Key_F1, false, 112},
        {Qt::Key_F12, false, 123},
        {Qt::Key_Left, false, 37},
        {Qt::Key_Down, false, 40},
        {Qt::Key_NumLock, false, 144},
        {Qt::Key_ScrollLock, false, 145},
        {Qt::Key_Plus, true, 107},
        {Qt::Key_Return, false, 13},
        {Qt::Key_PageUp, false, 33},
        {Qt::Key_Home, false, 36},
        {Qt::Key_Tab, false, 9},
        {Qt::Key_Backtab, false, 9},
        // The main keyboard's + and − are not Qt's ASCII codes, one of which is Insert's.
        {Qt::Key_Plus, false, 187},
        {Qt::Key_Equal, false, 187},
        {Qt::Key_Minus, false, 189},
        {Qt::Key_Minus, true, 109},
    };
    for (const Row& row : rows)
        EXPECT_EQ(UI_VirtualKeyFromQt(row.qt, row.keypad), row.code) << "Qt key " << row.qt;
    EXPECT_GT(UI_VirtualKeyFromQt(Qt::Key_MediaPlay, false), 255)
        << "keys without a classic code stay out of the controller's key table";
}

TEST(UI_KeyCodesTest, MouseFlagsPackButtonsAndModifiersIntoFourBits)
{
    EXPECT_EQ(UI_MouseFlags(true, false, false, false), 1);
    EXPECT_EQ(UI_MouseFlags(false, true, false, false), 2);
    EXPECT_EQ(UI_MouseFlags(true, false, true, true), 13);
    EXPECT_EQ(UI_MouseFlags(false, false, false, false), 0);
}

TEST(UI_OpenGlOverlappedViewTest, PlacesTheViewInTheCornerAtItsFraction)
{
    struct Row
    {
        int corner;
        float fraction;
        int x, y, w, h;
    };
    const Row rows[] = {
        {0, 1.0f, 10, 20, 800, 600},  {0, 0.5f, 10, 20, 400, 300},    {1, 0.5f, 410, 20, 400, 300},
        {2, 0.5f, 10, 320, 400, 300}, {3, 0.25f, 610, 470, 200, 150}, {7, 0.5f, 0, 0, 400, 300},
    };
    for (const Row& row : rows)
    {
        int r[4];
        UI_OpenGlOverlappedView::Placement(row.corner, row.fraction, 10, 20, 800, 600, r);
        EXPECT_EQ(r[0], row.x) << "corner " << row.corner << " fraction " << row.fraction;
        EXPECT_EQ(r[1], row.y) << "corner " << row.corner << " fraction " << row.fraction;
        EXPECT_EQ(r[2], row.w);
        EXPECT_EQ(r[3], row.h);
    }
}

TEST(CHtmlCtrlTest, AppCommandsKeepTheirCaseWhileThePrefixIgnoresIt)
{
    QString command;
    EXPECT_TRUE(CHtmlCtrl::AppCommandOf("APP:Beep", command));
    EXPECT_EQ(command, "Beep");
    EXPECT_TRUE(CHtmlCtrl::AppCommandOf("app:beep", command));
    EXPECT_EQ(command, "beep") << "the command itself is compared exactly later";
    EXPECT_TRUE(CHtmlCtrl::AppCommandOf("App:", command));
    EXPECT_EQ(command, "");
    EXPECT_FALSE(CHtmlCtrl::AppCommandOf("http://127.0.0.1/login.php", command));
    EXPECT_FALSE(CHtmlCtrl::AppCommandOf("ap", command));
    EXPECT_FALSE(CHtmlCtrl::AppCommandOf("application:Beep", command));
}

TEST(UI_FramePacerTest, FramesRunBackToBackInFrontAndSlowDownBehindTheLoginDialog)
{
    using Mode = UI_FramePacer::Mode;
    struct Row
    {
        Mode mode;
        double lastFrameSeconds;
        int intervalMs;
        const char* why;
    };
    const Row rows[] = {
        {Mode::Foreground, 0.0, 0, "in front nothing caps the frame rate"},
        {Mode::Foreground, 2.0, 0, "however slow the frames are"},
        {Mode::BehindDialog, 0.0, 50, "at most 20 frames a second behind the dialog"},
        {Mode::BehindDialog, 0.004, 50, "a fast frame still waits out the interval"},
        {Mode::BehindDialog, 0.120, 120, "a slow frame leaves as long again to the browser"},
        {Mode::BehindDialog, -1.0, 50, "a clock that went backwards"},
        {Mode::BehindDialog, 1e9, 50, "an absurd measurement"},
        {Mode::Hidden, 0.120, 50, "a minimised window only looks in now and then"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(UI_FramePacer::IntervalMs(row.mode, row.lastFrameSeconds), row.intervalMs)
            << row.why;
    // A still view draws nothing: the loop looks in now and then, sooner for a timed event.
    EXPECT_EQ(UI_FramePacer::StillMs(-1), UI_FramePacer::StillIntervalMs);
    EXPECT_EQ(UI_FramePacer::StillMs(40000), UI_FramePacer::StillIntervalMs);
    EXPECT_EQ(UI_FramePacer::StillMs(120), 120);
    EXPECT_EQ(UI_FramePacer::StillMs(0), 0) << "an event already due";
}

TEST(CMainFrameTest, TheWindowOpensAtFourFifthsOfTheScreenCentredAndNeverTooSmall)
{
    const QRect wide = CMainFrame::InitialGeometry(QRect(0, 30, 1920, 1050));
    EXPECT_EQ(wide.size(), QSize(1536, 840));
    EXPECT_EQ(wide.center(), QRect(0, 30, 1920, 1050).center());
    // A second screen to the right, with a panel along its top.
    const QRect second = CMainFrame::InitialGeometry(QRect(1920, 40, 1280, 984));
    EXPECT_EQ(second.size(), QSize(1024, 787));
    EXPECT_TRUE(QRect(1920, 40, 1280, 984).contains(second));
    // A small screen: the smallest window that keeps the interface, as far as the screen allows.
    const QSize least = CMainFrame::MinimumViewSize();
    const QRect small = CMainFrame::InitialGeometry(QRect(0, 0, 450, 340));
    EXPECT_EQ(small.size(), least.boundedTo(QSize(450, 340)));
    EXPECT_TRUE(QRect(0, 0, 450, 340).contains(small));
    EXPECT_EQ(CMainFrame::InitialGeometry(QRect(0, 0, 320, 240)).size(), QSize(320, 240));
}

TEST(CSavePictureDlgTest, SizesOfferedStartAtTheWindowAndStayWithinTheLimit)
{
    const auto presets = CSavePictureDlg::Presets(1000, 700, 4096);
    ASSERT_GE(presets.size(), 4u);
    EXPECT_EQ(presets[0].width, 1000);
    EXPECT_EQ(presets[0].height, 700);
    EXPECT_TRUE(presets[0].label.startsWith("Window size (1000 × 700)"));
    for (const auto& preset : presets)
    {
        EXPECT_LE(preset.width, 4096) << preset.label.toStdString();
        EXPECT_LE(preset.height, 4096) << preset.label.toStdString();
    }
    EXPECT_EQ(presets[1].width, 2000) << "twice the window";
    // A window the size of a preset is offered once.
    const auto hd = CSavePictureDlg::Presets(1920, 1080, 8192);
    EXPECT_EQ(std::count_if(hd.begin(), hd.end(),
                            [](const auto& p) { return p.width == 1920 && p.height == 1080; }),
              1);
    EXPECT_TRUE(CSavePictureDlg::Presets(100, 100, 0).empty()) << "a GL that cannot draw any";
}

TEST(UI_HalvaneViewTest, APictureThatCannotBeWrittenSaysWhereAndWhy)
{
    UTL_PictureExport::Picture picture;
    picture.width = 4;
    picture.height = 3;
    picture.rgba.assign(4 * 3 * 4, 200);
    TempDir folder;
    std::string error;
    const std::string missing = folder.File("no such folder/picture.png");
    EXPECT_FALSE(UI_HalvaneView::WritePng(picture, missing, error));
    EXPECT_NE(error.find(missing), std::string::npos) << error;

    const std::string path = folder.File("picture.png");
    ASSERT_TRUE(UI_HalvaneView::WritePng(picture, path, error)) << error;
    QImage written(QString::fromStdString(path));
    ASSERT_FALSE(written.isNull());
    EXPECT_EQ(written.size(), QSize(4, 3));
    EXPECT_EQ(qRed(written.pixel(3, 2)), 200);
}

TEST(CMainFrameTest, TheStatusBarNamesTheSelectedPersonAndTheirFriends)
{
    EXPECT_EQ(CMainFrame::SelectionText("José Pérez", false, 14),
              "José Pérez · 14 friends in this circle");
    EXPECT_EQ(CMainFrame::SelectionText("Ann", false, 1), "Ann · 1 friend in this circle");
    EXPECT_EQ(CMainFrame::SelectionText("Ann", true, 747), "Ann (you) · 747 friends");
    EXPECT_TRUE(CMainFrame::SelectionText("", false, 3).isEmpty());
}
