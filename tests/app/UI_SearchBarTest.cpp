#include "app/UI_SearchBar.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QWidget>
#include <cstdlib>
#include <memory>

// The search bar as a user drives it: typing into the field, the arrows, Enter and Escape.
// Runs on Qt's offscreen platform, without a display.
class UI_SearchBarTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        static int argc = 1;
        static char name[] = "app_tests";
        static char* argv[] = {name, nullptr};
        if (!QApplication::instance())
            application = std::make_unique<QApplication>(argc, argv);
    }
    // Before the program's exit handlers: Qt's own statics are gone by the time a static
    // application would be destroyed.
    static void TearDownTestSuite() { application.reset(); }

    void SetUp() override
    {
        area.resize(800, 600);
        UTL_NameSearch people;
        for (const char* name : {"Anne Frank", "José Ortega", "Marianne Jones", "Anne-Marie Duval"})
            people.Add(std::to_string(people.Size() + 1), name);
        bar.Open(std::move(people));
        QObject::connect(&bar, &UI_SearchBar::picked,
                         [this](const QString& id, const QString&) { picked = id; });
        QObject::connect(&bar, &UI_SearchBar::closed, [this] { ++closings; });
    }

    void Press(int key)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(bar.GetField(), &press);
    }
    QStringList Rows() const
    {
        QStringList rows;
        for (int i = 0; i < bar.GetMatches()->count(); ++i)
            rows << bar.GetMatches()->item(i)->text();
        return rows;
    }

    static std::unique_ptr<QApplication> application;
    QWidget area;
    UI_SearchBar bar{&area};
    QString picked;
    int closings = 0;
};

std::unique_ptr<QApplication> UI_SearchBarTest::application;

TEST_F(UI_SearchBarTest, TypingListsTheMatchesAndEnterPicksTheFirst)
{
    EXPECT_TRUE(bar.isVisibleTo(&area));
    EXPECT_TRUE(Rows().isEmpty()) << "nothing typed, nothing listed";
    bar.GetField()->setText("ANNE");
    EXPECT_EQ(Rows(), (QStringList{"Anne Frank", "Anne-Marie Duval", "Marianne Jones"}));
    Press(Qt::Key_Return);
    EXPECT_EQ(picked, "1");
    EXPECT_FALSE(bar.isVisibleTo(&area)) << "a pick closes the bar";
    EXPECT_EQ(closings, 1);
}

TEST_F(UI_SearchBarTest, ArrowsChooseTheMatchEnterPicks)
{
    bar.GetField()->setText("anne");
    Press(Qt::Key_Down);
    Press(Qt::Key_Down);
    Press(Qt::Key_Down);
    Press(Qt::Key_Down); // stops at the last
    Press(Qt::Key_Up);
    Press(Qt::Key_Return);
    EXPECT_EQ(picked, "4") << "the second match, Anne-Marie Duval";
}

TEST_F(UI_SearchBarTest, EnterWithoutAMatchKeepsTheBarAndEscapeClosesIt)
{
    bar.GetField()->setText("jose");
    EXPECT_EQ(Rows(), (QStringList{"José Ortega"}));
    bar.GetField()->setText("zz");
    Press(Qt::Key_Return);
    EXPECT_TRUE(picked.isEmpty());
    EXPECT_TRUE(bar.isVisibleTo(&area));
    Press(Qt::Key_Escape);
    EXPECT_FALSE(bar.isVisibleTo(&area));
    EXPECT_EQ(closings, 1);
    EXPECT_TRUE(picked.isEmpty());
}
