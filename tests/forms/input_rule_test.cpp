// One rule for whether the user's input reaches a control, and for where the keyboard may go.

#include <gtest/gtest.h>

#include <algorithm>

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

// A dialog with the keys' targets: a default and a cancel button, another button, a check box,
// a single-line and a multi-line box; every reaction logs.
class KeyDialog : public forms::Form {
  public:
    KeyDialog(forms::Runtime& rt, std::vector<std::string>& sink)
        : Form(rt, "Keys", 3000, 2000),
          Frame1(*this, "Frame1", {0, 1500, 3000, 500}, ""),
          Ok(*this, "Ok", {100, 100, 500, 300}, "確定"),
          Cancel(*this, "Cancel", {100, 100, 500, 300}, "取消"),
          Other(*this, "Other", {700, 100, 500, 300}, "?"),
          Check1(*this, "Check1", {100, 500, 1000, 300}, "check"),
          Line(*this, "Line", {100, 900, 1000, 300}, ""),
          Memo(*this, "Memo", {100, 1200, 1000, 300}, ""),
          log(sink) {
        Ok.placeIn(Frame1);
        Cancel.placeIn(Frame1);
        Memo.multiLine = true;
        Ok.isDefault = true;
        Cancel.isCancel = true;
        for (forms::CommandButton* b : {&Ok, &Cancel, &Other})
            b->onClick = [this, b] { log.push_back(b->name()); };
        for (forms::TextBox* t : {&Line, &Memo})
            t->onKeyPress = [this, t](int& key) {
                log.push_back(t->name() + " sees " + std::to_string(key));
            };
    }
    void Form_QueryUnload(bool&, forms::CloseReason reason) override {
        log.push_back("close " + std::to_string(static_cast<int>(reason)));
    }
    forms::Frame Frame1;
    forms::CommandButton Ok;
    forms::CommandButton Cancel;
    forms::CommandButton Other;
    forms::CheckBox Check1;
    forms::TextBox Line;
    forms::TextBox Memo;
    std::vector<std::string>& log;
};

// Enter and Escape reach the window's buttons as in a dialog, by the one input rule; a window
// without such a button leaves the key to the box, as the main window's address box needs.
TEST(DialogKeys, EnterAndEscapePressTheButtonsTheWindowNames) {
    struct Case {
        const char* what;
        std::function<void(KeyDialog&)> setUp;
        const char* from;
        int key;
        std::vector<std::string> log;
        std::string lineText = "";
    };
    auto none = [](KeyDialog&) {};
    const Case cases[] = {
        {"Enter in a single-line box", none, "Line", 13, {"Ok"}},
        {"Escape in a single-line box", none, "Line", 27, {"Cancel"}},
        {"Enter in a multi-line box is its own", none, "Memo", 13, {"Memo sees 13"}},
        {"Escape in a multi-line box", none, "Memo", 27, {"Cancel"}},
        {"Enter on a focused button presses that one", none, "Other", 13, {"Other"}},
        {"Enter on a check box", none, "Check1", 13, {"Ok"}},
        {"Escape on a button", none, "Other", 27, {"Cancel"}},
        {"a disabled default button swallows Enter",
         [](KeyDialog& d) { d.Ok.setEnabled(false); },
         "Line",
         13,
         {}},
        {"so does one in a disabled frame",
         [](KeyDialog& d) { d.Frame1.setEnabled(false); },
         "Line",
         13,
         {}},
        {"no default button: the box has Enter",
         [](KeyDialog& d) { d.Ok.isDefault = false; },
         "Line",
         13,
         {"Line sees 13"}},
        {"no cancel button: the box has Escape",
         [](KeyDialog& d) { d.Cancel.isCancel = false; },
         "Line",
         27,
         {"Line sees 27"}},
        {"no cancel button, but Escape closes the window",
         [](KeyDialog& d) {
             d.Cancel.isCancel = false;
             d.closesOnEscape = true;
         },
         "Line",
         27,
         {"close 0"}},
        {"other characters are typed", none, "Line", 'x', {"Line sees 120"}, "x"},
    };
    for (const Case& c : cases) {
        FormsHarness h;
        std::vector<std::string> log;
        forms::FormSlot<KeyDialog> slot{
            h.runtime, [&] { return std::make_unique<KeyDialog>(h.runtime, log); }};
        KeyDialog& d = slot();
        d.show(false);
        c.setUp(d);
        forms::Control* from = d.find(c.from);
        h.runtime.dispatch([&] {
            if (from->kind() == forms::ControlKind::TextBox)
                static_cast<forms::TextBox*>(from)->userKey(c.key);
            else
                d.dialogKey(c.key, from);
        });
        EXPECT_EQ(log, c.log) << c.what;
        const bool closed = std::find(c.log.begin(), c.log.end(), "close 0") != c.log.end();
        ASSERT_EQ(slot.loaded(), !closed) << c.what;
        if (!closed) {
            EXPECT_EQ(d.Line.text(), c.lineText) << c.what;
        }
    }
}

// The keys in the program's own windows: the package maker and the copy window take Enter for
// their default button from every single-line box and Escape for 取消 (the copy window, which
// has none, closes); Escape closes the about window; the main window keeps Enter for its
// address box, which confirms, and Escape does nothing there.
TEST(DialogKeys, TheProgramsWindowsTakeEnterAndEscapeAsDialogsDo) {
    const std::string kProfile = "ip,10.0.0.7,Office,Model X,x.inf,100";
    const std::string kSaved = "ip,10.0.0.7,新名,Model X,x.inf,100\r\n";
    const std::string kUnchanged = kProfile + "\r\n";
    auto key = [](testing_support::PackageRun& p, const std::string& control, int code) {
        sim::json::Value a = sim::json::Value::object();
        a.set("key", control);
        a.set("char", code);
        p.actions.push(a);
    };
    struct Case {
        const char* what;
        std::function<void(testing_support::PackageRun&)> act;
        std::string ini;
        std::vector<std::string> loaded;  // windows still loaded at the end
        std::vector<std::string> boxes;   // message boxes shown, in order
        std::string copy = "";            // a copy that must exist
    };
    auto maker = [&](const std::string& control, int code) {
        return [&key, control, code](testing_support::PackageRun& p) {
            p.act("click", "Form1.ADV").type("ADVSET.Text2", "新名");
            key(p, control, code);
        };
    };
    const Case cases[] = {
        {"maker: Enter in Text2 saves", maker("ADVSET.Text2", 13), kSaved, {"Form1"}, {}},
        {"maker: Enter in Text3 saves", maker("ADVSET.Text3", 13), kSaved, {"Form1"}, {}},
        {"maker: Enter in Text4 saves", maker("ADVSET.Text4", 13), kSaved, {"Form1"}, {}},
        {"maker: Escape in Text2 cancels", maker("ADVSET.Text2", 27), kUnchanged, {"Form1"}, {}},
        {"maker: Escape on a check box cancels",
         maker("ADVSET.Check1", 27),
         kUnchanged,
         {"Form1"},
         {}},
        {"maker: Enter on a focused 取消 cancels",
         maker("ADVSET.Command3", 13),
         kUnchanged,
         {"Form1"},
         {}},
        {"copy window: Enter in a box presses 新增",
         [&key](testing_support::PackageRun& p) {
             p.act("click", "Form1.muti_oneKey").type("Filename.Text2", "10.0.0.9");
             key(p, "Filename.Text3", 13);
             p.answer("ok");
         },
         kUnchanged,
         {"Form1", "Filename"},
         {"新增完成"},
         "安裝_10.0.0.9_Office.exe"},
        {"copy window: Escape closes it",
         [&key](testing_support::PackageRun& p) {
             p.act("click", "Form1.muti_oneKey");
             key(p, "Filename.Text1", 27);
         },
         kUnchanged,
         {"Form1"},
         {}},
        {"about: Escape closes it",
         [&key](testing_support::PackageRun& p) {
             p.act("click", "Form1.about");
             key(p, "form1_about.Command5", 27);
         },
         kUnchanged,
         {"Form1"},
         {}},
        {"main window: Escape in the address box does nothing",
         [&key](testing_support::PackageRun& p) { key(p, "Form1.Text1", 27); },
         kUnchanged,
         {"Form1"},
         {}},
    };
    for (const Case& c : cases) {
        testing_support::PackageRun p;
        p.profile(kProfile);
        p.text("x.inf", testing_support::kModelXInf).bytes("安裝.exe", "MZ installer");
        c.act(p);
        for (const char* form : {"Form1", "ADVSET", "Filename", "form1_about"})
            p.act("inspect", form);
        testing_support::ScenarioRun r = p.run();
        ASSERT_EQ(r.status, 0) << c.what << ": " << r.lines.back().dump();
        EXPECT_EQ(r.state().find("files")->find("ip.ini")->asString(), c.ini) << c.what;
        std::vector<std::string> loaded;
        for (const auto& line : r.ops("inspect")) {
            if (line.find("loaded")->asBool())
                loaded.push_back(line.find("form")->asString());
        }
        EXPECT_EQ(loaded, c.loaded) << c.what;
        std::vector<std::string> boxes;
        for (const auto& line : r.ops("msgbox"))
            boxes.push_back(line.find("text")->asString());
        EXPECT_EQ(boxes, c.boxes) << c.what;
        if (!c.copy.empty()) {
            EXPECT_NE(r.state().find("files")->find(c.copy), nullptr) << c.what;
        }
    }
}

// The main window keeps its designed Enter: the address box's key press confirms.
TEST(DialogKeys, EnterInTheMainWindowsAddressBoxStillConfirms) {
    testing_support::PackageRun p;
    p.profile("ip,10.0.0.7,Office,Model X,x.inf,100");
    p.type("Form1.Text1", "10.0.0.8").enter().answer("no");
    testing_support::ScenarioRun r = p.run();
    ASSERT_EQ(r.status, 0) << r.lines.back().dump();
    ASSERT_EQ(r.ops("msgbox").size(), 1u);
    EXPECT_EQ(r.state().find("files")->find("ip.ini")->asString(),
              "ip,10.0.0.8,Office,Model X,x.inf,100\r\n");
}

}  // namespace
