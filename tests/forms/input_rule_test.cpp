// One rule for whether the user's input reaches a control, and for where the keyboard may go.

#include <gtest/gtest.h>

#include "forms/fake_backend.h"
#include "forms/runtime.h"
#include "support/package_run.h"

namespace {

using testing_support::FormsHarness;

class Dialog : public forms::Form {
  public:
    explicit Dialog(forms::Runtime& rt)
        : Form(rt, "Dialog", 3000, 2000),
          Frame1(*this, "Frame1", {100, 100, 1500, 1000}, "frame"),
          Inner(*this, "Inner", {100, 200, 500, 300}, "inner"),
          Text1(*this, "Text1", {100, 1300, 1000, 300}, ""),
          OffScreen(*this, "OffScreen", {3100, 100, 500, 300}, "off"),
          Straddling(*this, "Straddling", {2800, 100, 500, 300}, "edge"),
          Hidden(*this, "Hidden", {100, 1700, 500, 200}, "hidden"),
          Menu(*this, "Menu", "menu", nullptr),
          Item(*this, "Item", "item", &Menu) {
        Inner.placeIn(Frame1);
        int tab = 0;
        for (forms::Control* c : std::initializer_list<forms::Control*>{
                 &Frame1, &Inner, &Text1, &OffScreen, &Straddling, &Hidden}) {
            c->tabIndex = tab++;
        }
        Hidden.designVisible(false);
    }
    forms::Frame Frame1;
    forms::CommandButton Inner;
    forms::TextBox Text1;
    forms::CommandButton OffScreen;
    forms::CommandButton Straddling;
    forms::CommandButton Hidden;
    forms::MenuItem Menu;
    forms::MenuItem Item;
};

struct Opened {
    FormsHarness h;
    forms::FormSlot<Dialog> slot{h.runtime, [this] { return std::make_unique<Dialog>(h.runtime); }};
    Dialog& d = slot();
    Opened() { d.show(false); }
};

TEST(InputRule, AContainerOrMenuAboveDecidesForWhatItHolds) {
    struct Case {
        const char* what;
        std::function<void(Dialog&)> change;
        bool innerTakesInput;
        bool itemTakesInput;
    };
    const Case cases[] = {
        {"all enabled and shown", [](Dialog&) {}, true, true},
        {"frame disabled", [](Dialog& d) { d.Frame1.setEnabled(false); }, false, true},
        {"frame hidden", [](Dialog& d) { d.Frame1.setVisible(false); }, false, true},
        {"button disabled", [](Dialog& d) { d.Inner.setEnabled(false); }, false, true},
        {"menu disabled", [](Dialog& d) { d.Menu.setEnabled(false); }, true, false},
        {"menu hidden", [](Dialog& d) { d.Menu.setVisible(false); }, true, false},
        {"window hidden", [](Dialog& d) { d.hide(); }, false, false},
    };
    for (const Case& c : cases) {
        Opened o;
        c.change(o.d);
        EXPECT_EQ(o.h.runtime.acceptsUserInput(o.d.Inner), c.innerTakesInput) << c.what;
        EXPECT_EQ(o.h.runtime.acceptsUserInput(o.d.Item), c.itemTakesInput) << c.what;
    }
}

TEST(InputRule, TheKeyboardReachesOnlyWhatCanBeSeen) {
    Opened o;
    EXPECT_TRUE(o.h.runtime.keyboardReachable(o.d.Inner));
    EXPECT_TRUE(o.h.runtime.keyboardReachable(o.d.Straddling));  // partly inside
    EXPECT_FALSE(o.h.runtime.keyboardReachable(o.d.OffScreen));
    EXPECT_FALSE(o.h.runtime.keyboardReachable(o.d.Hidden));
    EXPECT_FALSE(o.h.runtime.keyboardReachable(o.d.Frame1));  // no tab stop

    // Tab walks the reachable controls in tab order and wraps; Shift+Tab goes back.
    std::vector<std::string> forward;
    const forms::Control* at = &o.d.Straddling;
    for (int i = 0; i < 4; ++i) {
        at = o.d.nextTabStop(at);
        forward.push_back(at->name());
    }
    EXPECT_EQ(forward, (std::vector<std::string>{"Inner", "Text1", "Straddling", "Inner"}));
    EXPECT_EQ(o.d.nextTabStop(&o.d.Inner, true)->name(), "Straddling");
    // Nothing reachable: nowhere to go.
    for (forms::Control* c :
         std::initializer_list<forms::Control*>{&o.d.Inner, &o.d.Text1, &o.d.Straddling}) {
        c->setEnabled(false);
    }
    EXPECT_EQ(o.d.nextTabStop(nullptr), nullptr);
}

// Tab from 取消 around the whole package maker, and around the main window: only what the user
// sees takes the focus.
TEST(InputRule, TabAroundTheRealWindowsReachesOnlyVisibleControls) {
    struct Case {
        const char* form;
        std::vector<const char*> opening;
        std::vector<std::string> cycle;
    };
    const Case cases[] = {
        {"ADVSET",
         {"Form1.ADV"},
         {"Text4", "Command6", "Text3", "find_INI", "Text2", "Check1", "Check2", "Check3",
          "Command5", "Command7", "Command2", "Command3"}},
        {"Form1", {}, {"Command1", "Text1", "Command2", "Text2"}},
    };
    for (const Case& c : cases) {
        testing_support::PackageRun p;
        p.profile("ip,10.0.0.7,Office,Model X,x.inf,100");
        for (const char* click : c.opening)
            p.act("click", click);
        const std::size_t rounds = c.cycle.size() * 2;
        for (std::size_t i = 0; i < rounds; ++i)
            p.act("tab", c.form).act("inspect", c.form);
        testing_support::ScenarioRun r = p.run();
        ASSERT_EQ(r.status, 0) << c.form;
        std::vector<std::string> seen;
        for (const auto& line : r.ops("inspect"))
            seen.push_back(line.find("activeControl")->asString());
        // Whatever had the focus first, the walk settles into the visible cycle.
        std::vector<std::string> lastRound(seen.end() - c.cycle.size(), seen.end());
        std::vector<std::string> sorted = lastRound, want = c.cycle;
        std::sort(sorted.begin(), sorted.end());
        std::sort(want.begin(), want.end());
        EXPECT_EQ(sorted, want) << c.form;
        for (const std::string& name : seen) {
            EXPECT_NE(std::find(c.cycle.begin(), c.cycle.end(), name), c.cycle.end())
                << c.form << ": the keyboard reached " << name;
        }
    }
}

}  // namespace
