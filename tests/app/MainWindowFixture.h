// The main window on a fresh folder of its own, prompts answered by the scripted Ui
// double, commands triggered by their action names.
#pragma once

#include "app/AnivorForm.h"
#include "platform/ScriptedUi.h"
#include "support/TestSupport.h"

#include <QAction>

#include <gtest/gtest.h>

#include <memory>
#include <string>

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        w = std::make_unique<TAnivorF>(dir.path().string() + "/", dir.file("anivor.ini"));
        ui.OnUnanswered = [](const std::string& q) { ADD_FAILURE() << "unanswered: " << q; };
    }
    // Triggers an enabled command.
    void Trigger(const char* name)
    {
        QAction* a = w->Action(name);
        ASSERT_NE(a, nullptr) << name;
        ASSERT_TRUE(a->isEnabled()) << name;
        a->trigger();
    }

    TempDir dir;
    ScriptedUi ui;
    std::unique_ptr<TAnivorF> w;
};
