#include "forms/runtime.h"

#include <gtest/gtest.h>

#include "forms/fake_backend.h"
#include "platform/number.h"
#include "text/text.h"

namespace {

using testing_support::FormsHarness;

// A window whose reactions log what happened.
class LogForm : public forms::Form {
  public:
    LogForm(forms::Runtime& rt, std::string name, std::vector<std::string>& log)
        : Form(rt, std::move(name), 3000, 2000),
          Text1(*this, "Text1", {0, 0, 100, 100}, "design"),
          Check1(*this, "Check1", {0, 0, 100, 100}, "check"),
          log_(log) {
        Text1.onChange = [this] { log_.push_back(this->name() + ".Text1_Change " + Text1.text()); };
        Check1.onClick = [this] { log_.push_back(this->name() + ".Check1_Click"); };
    }
    void Form_Load() override {
        log_.push_back(name() + ".Form_Load");
        if (onLoad)
            onLoad();
    }
    void Form_Activate() override { log_.push_back(name() + ".Form_Activate"); }
    void Form_QueryUnload(bool& cancel, forms::CloseReason reason) override {
        log_.push_back(name() + ".Form_QueryUnload " + std::to_string(static_cast<int>(reason)));
        cancel = cancelClose;
    }
    void Form_Unload(bool&) override { log_.push_back(name() + ".Form_Unload"); }

    forms::TextBox Text1;
    forms::CheckBox Check1;
    bool cancelClose = false;
    std::function<void()> onLoad;

  private:
    std::vector<std::string>& log_;
};

class RuntimeTest : public ::testing::Test {
  protected:
    FormsHarness h;
    std::vector<std::string> log;
    forms::FormSlot<LogForm> main{
        h.runtime, [this] { return std::make_unique<LogForm>(h.runtime, "Main", log); }};
    forms::FormSlot<LogForm> dialog{
        h.runtime, [this] { return std::make_unique<LogForm>(h.runtime, "Dialog", log); }};
};

TEST_F(RuntimeTest, ProgramChangesRaiseReactionsOnlyWhenTheValueChanges) {
    LogForm& f = main();
    log.clear();
    f.Text1.setText("design");  // unchanged
    f.Text1.setText("new");     // changed
    f.Text1.setText("new");     // unchanged again
    f.Check1.setValue(0);       // unchanged
    f.Check1.setValue(1);       // changed
    f.Check1.userClick();       // toggles back to 0
    EXPECT_EQ(log, (std::vector<std::string>{"Main.Text1_Change new", "Main.Check1_Click",
                                             "Main.Check1_Click"}));
    EXPECT_EQ(f.Check1.value(), 0);
}

TEST_F(RuntimeTest, FirstReferenceLoadsAndReloadStartsFromDesignValues) {
    EXPECT_FALSE(main.loaded());
    main().Text1.setText("typed");
    EXPECT_EQ(log.front(), "Main.Form_Load");
    h.runtime.dispatch([&] { EXPECT_TRUE(main().unload()); });
    EXPECT_FALSE(main.loaded());
    EXPECT_EQ(main().Text1.text(), "design");
    EXPECT_EQ(std::count(log.begin(), log.end(), "Main.Form_Load"), 2);
}

TEST_F(RuntimeTest, ModalShowRunsANestedLoopAndReactivatesTheOwner) {
    h.runtime.dispatch([&] { main().show(false); });
    log.clear();
    h.backend.input.push_back([&] { dialog().Text1.userType("in dialog"); });
    h.backend.input.push_back([&] { dialog().hide(); });
    bool returned = false;
    h.runtime.dispatch([&] {
        dialog().show(true);
        returned = true;
        log.push_back("after modal");
    });
    EXPECT_TRUE(returned);
    EXPECT_EQ(log, (std::vector<std::string>{"Dialog.Form_Load", "Dialog.Form_Activate",
                                             "Dialog.Text1_Change in dialog", "Main.Form_Activate",
                                             "after modal"}));
}

TEST_F(RuntimeTest, WindowsUnderAModalWindowTakeNoInput) {
    h.runtime.dispatch([&] { main().show(false); });
    bool checked = false;
    h.backend.input.push_back([&] {
        EXPECT_FALSE(h.runtime.acceptsInput(main()));
        EXPECT_TRUE(h.runtime.acceptsInput(dialog()));
        checked = true;
        dialog().unload();
    });
    h.runtime.dispatch([&] { dialog().show(true); });
    EXPECT_TRUE(checked);
    EXPECT_TRUE(h.runtime.acceptsInput(main()));
}

TEST_F(RuntimeTest, CloseAsksQueryUnloadWithItsReasonAndCanBeCancelled) {
    struct Case {
        forms::CloseReason reason;
        bool cancel;
    };
    for (Case c :
         {Case{forms::CloseReason::ControlMenu, true}, Case{forms::CloseReason::ControlMenu, false},
          Case{forms::CloseReason::SystemShutdown, false},
          Case{forms::CloseReason::TaskManager, false}}) {
        log.clear();
        h.runtime.dispatch([&] { main().show(false); });
        main().cancelClose = c.cancel;
        bool closed = false;
        h.runtime.dispatch([&] { closed = h.runtime.close(main(), c.reason); });
        std::string query = "Main.Form_QueryUnload " + std::to_string(static_cast<int>(c.reason));
        EXPECT_NE(std::find(log.begin(), log.end(), query), log.end());
        EXPECT_EQ(closed, !c.cancel);
        EXPECT_EQ(main.loaded(), c.cancel);
        EXPECT_EQ(std::find(log.begin(), log.end(), "Main.Form_Unload") != log.end(), !c.cancel);
    }
}

TEST_F(RuntimeTest, ProgramUnloadAsksWithReasonCode) {
    h.runtime.dispatch([&] { main().show(false); });
    log.clear();
    h.runtime.dispatch([&] { main().unload(); });
    EXPECT_EQ(log, (std::vector<std::string>{"Main.Form_QueryUnload 1", "Main.Form_Unload"}));
}

TEST_F(RuntimeTest, EndingTheProgramRunsNoUnloadReaction) {
    h.runtime.dispatch([&] { main().show(false); });
    log.clear();
    EXPECT_THROW(h.runtime.dispatch([&] { h.runtime.endProgram(); }), sim::ProcessEnded);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(h.transcript.lines().back().find("op")->asString(), "end");
}

TEST_F(RuntimeTest, UntrappedErrorShowsTheStandardStopAndEnds) {
    FormsHarness stopping({sim::json::parse(R"({"answer":"ok"})")});
    bool after = false;
    EXPECT_THROW(stopping.runtime.dispatch([&] {
        throw platform::Error(429, "無法建立物件", R"({"op":"wmi.connect","moniker":"x"})");
        after = true;
    }),
                 sim::ProcessEnded);
    EXPECT_FALSE(after);
    const auto& lines = stopping.transcript.lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].find("op")->asString(), "error");
    EXPECT_FALSE(lines[0].find("trapped")->asBool());
    EXPECT_EQ(lines[0].find("call")->find("op")->asString(), "wmi.connect");
    EXPECT_EQ(lines[1].find("title")->asString(), "Velmora");
    EXPECT_EQ(lines[1].find("icon")->asString(), "stop");
    EXPECT_EQ(lines[1].find("text")->asString(), "執行階段錯誤 '429':\r\n\r\n無法建立物件");
    EXPECT_EQ(lines[2].find("op")->asString(), "end");
}

TEST_F(RuntimeTest, TrapSkipsTheFailingStepAndGoesOn) {
    std::vector<int> ran;
    h.runtime.dispatch([&] {
        EXPECT_FALSE(h.runtime.trap([&] { ran.push_back(1); }));
        // The caught error comes back whole, for a caller that keeps or tells it.
        std::optional<platform::Error> caught = h.runtime.trap([&] {
            throw platform::Error(53, "找不到檔案");
            ran.push_back(99);
        });
        ASSERT_TRUE(caught);
        EXPECT_EQ(caught->number(), 53);
        EXPECT_EQ(caught->description(), "找不到檔案");
        EXPECT_TRUE(h.runtime.trap([&] { platform::toNumber("x"); }));
        ran.push_back(2);
    });
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
    ASSERT_EQ(h.transcript.lines().size(), 2u);
    EXPECT_TRUE(h.transcript.lines()[0].find("trapped")->asBool());
    EXPECT_TRUE(h.transcript.lines()[1].find("call")->isNull());  // a conversion is no call
}

TEST_F(RuntimeTest, AWindowUnloadingItselfInItsOwnReactionIsSafe) {
    h.runtime.dispatch([&] { main().show(false); });
    main().Text1.onChange = [&] {
        main().unload();
        // The window object must still be usable until the reaction returns.
        main.peek();
        log.push_back("still here");
    };
    h.runtime.dispatch([&] { main().Text1.userType("bye"); });
    EXPECT_NE(std::find(log.begin(), log.end(), "still here"), log.end());
    EXPECT_FALSE(main.loaded());
}

TEST_F(RuntimeTest, RunEndsWhenTheLastWindowIsUnloaded) {
    h.backend.input.push_back([&] { main().unload(); });
    EXPECT_THROW(h.runtime.run([&]() -> forms::Form& { return main(); }), sim::ProcessEnded);
    EXPECT_EQ(h.backend.events, (std::vector<std::string>{"load Main", "show Main", "activate Main",
                                                          "hide Main", "unload Main"}));
}

TEST_F(RuntimeTest, FocusOnAHiddenControlRaisesError5) {
    h.runtime.dispatch([&] { main().show(false); });
    main().Text1.setVisible(false);
    try {
        main().setFocus(main().Text1);
        ADD_FAILURE() << "no error";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), 5);
    }
}

}  // namespace
