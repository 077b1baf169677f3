#include "platform/ui/AnivorApplication.h"
#include "platform/ui/GuardedActions.h"
#include "platform/ScriptedUi.h"

#include "graphics/Exception.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <stdexcept>

TEST(CommandGuard, TurnsEveryKindOfExceptionIntoOneErrorMessage)
{
    ScriptedUi ui;
    EXPECT_FALSE(RunGuarded([] { throw EInvalidGraphic("Invalid image file"); }));
    EXPECT_FALSE(RunGuarded([] { throw std::out_of_range("index out of range"); }));
    EXPECT_FALSE(RunGuarded([] { throw 42; }));
    EXPECT_FALSE(RunGuarded([] { throw std::runtime_error(""); }));
    EXPECT_FALSE(RunGuarded([] { throw std::bad_alloc(); }));
    EXPECT_FALSE(RunGuarded([] {
        throw std::filesystem::filesystem_error("directory_iterator::directory_iterator", "/no/such",
                                                std::make_error_code(std::errc::no_such_file_or_directory));
    }));
    int done = 0;
    EXPECT_TRUE(RunGuarded([&] { ++done; }));
    EXPECT_EQ(done, 1);
    // A nested guard handles its own failure; the outer command goes on.
    EXPECT_TRUE(RunGuarded([&] {
        RunGuarded([] { throw Exception("inner"); });
        ++done;
    }));
    EXPECT_EQ(done, 2);
    // Library texts ("index out of range", "std::bad_alloc") never reach the user.
    ASSERT_EQ(ui.Errors().size(), 7u);
    EXPECT_EQ(ui.Errors()[0], "Invalid image file");
    EXPECT_EQ(ui.Errors()[1], "An unexpected error occurred.");
    EXPECT_EQ(ui.Errors()[2], "An unexpected error occurred.");
    EXPECT_EQ(ui.Errors()[3], "An unexpected error occurred.");
    EXPECT_EQ(ui.Errors()[4].rfind("Not enough memory: the system could not provide", 0), 0u) << ui.Errors()[4];
    EXPECT_EQ(ui.Errors()[5], "Unable to use /no/such: No such file or directory");
    EXPECT_EQ(ui.Errors()[6], "inner");
    EXPECT_EQ(ui.Messages().size(), ui.Calls().size()); // nothing but the messages was shown
}

TEST(CommandGuard, GuardedActionFailsOnceAndStaysUsable)
{
    ScriptedUi ui;
    QAction action(QStringLiteral("Open2"));
    int runs = 0;
    ConnectGuarded(&action, [&] {
        ++runs;
        if (runs == 1)
            throw Exception("Unable to read /nowhere.gif");
    });
    action.trigger();
    action.trigger();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(ui.Errors(), std::vector<std::string>{"Unable to read /nowhere.gif"});

    // A signal with arguments reaches a command that takes them, and one that does not.
    QAction checkable;
    checkable.setCheckable(true);
    bool seen = false;
    int plain = 0;
    ConnectGuarded(&checkable, &QAction::toggled, &checkable, [&](bool on) {
        seen = on;
        throw std::runtime_error("toggled");
    });
    ConnectGuarded(&checkable, &QAction::toggled, &checkable, [&] { ++plain; });
    checkable.setChecked(true);
    EXPECT_TRUE(seen);
    EXPECT_EQ(plain, 1);
    EXPECT_EQ(ui.Errors().size(), 2u);
}

TEST(CommandGuard, WaitCursorIsRestoredAfterAFailure)
{
    ScriptedUi ui;
    RunGuarded([] {
        WaitCursor wait;
        throw Exception("failed while busy");
    });
    EXPECT_EQ(ui.WaitDepth(), 0);
    EXPECT_EQ(ui.MaxWaitDepth(), 1);

    // Waits begun by hand and left open by the failure are ended too, but not those that
    // were open before the command.
    UI().BeginWait();
    RunGuarded([] {
        UI().BeginWait();
        UI().BeginWait();
        throw Exception("failed");
    });
    EXPECT_EQ(ui.WaitDepth(), 1);
    UI().EndWait();
    EXPECT_EQ(ui.Errors().size(), 2u);
}

TEST(CommandGuard, UnansweredPromptInsideACommandShowsAsAnError)
{
    ScriptedUi ui;
    std::string input;
    EXPECT_FALSE(RunGuarded([&] { input = UI().InputBox("New Frame", "Width", "120"); }));
    ASSERT_EQ(ui.Errors().size(), 1u);
    EXPECT_NE(ui.Errors()[0].find("Width"), std::string::npos);
    EXPECT_EQ(ui.Unanswered().size(), 1u);
}

namespace {

class ThrowingObject : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw Exception("thrown by an event handler");
        return QObject::event(e);
    }
};

} // namespace

TEST(CommandGuard, ApplicationShowsWhatEscapesAnEventHandler)
{
    ScriptedUi ui;
    ThrowingObject target;
    QEvent event(QEvent::User);
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    EXPECT_FALSE(TAnivorApplication::GuardedNotify(app, &target, &event));
    QEvent other(static_cast<QEvent::Type>(QEvent::User + 1)); // handled normally
    TAnivorApplication::GuardedNotify(app, &target, &other);
    EXPECT_EQ(ui.Errors(), std::vector<std::string>{"thrown by an event handler"});
}
