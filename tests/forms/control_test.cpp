#include "forms/control.h"

#include <gtest/gtest.h>

#include "forms/fake_backend.h"

namespace {

using testing_support::FormsHarness;

class Panel : public forms::Form {
  public:
    explicit Panel(forms::Runtime& rt)
        : Form(rt, "Panel", 3000, 2000),
          Frame1(*this, "Frame1", {0, 0, 1000, 1000}, "frame"),
          Text1(*this, "Text1", {0, 0, 100, 100}, "abc"),
          List1(*this, "List1", {0, 0, 100, 100}),
          Combo1(*this, "Combo1", {0, 0, 100, 100}, " 選擇 ") {
        Text1.placeIn(Frame1);
        Text1.onKeyPress = [this](int& key) {
            keys.push_back(key);
            if (key == 'x')
                key = 0;  // swallowed
            if (key == 'a')
                key = 'A';  // replaced
        };
        List1.onClick = [this] { clicks.push_back(List1.listIndex()); };
        Combo1.onClick = [this] { clicks.push_back(100 + Combo1.listIndex()); };
    }
    forms::Frame Frame1;
    forms::TextBox Text1;
    forms::ListBox List1;
    forms::ComboBox Combo1;
    std::vector<int> keys;
    std::vector<int> clicks;
};

TEST(Controls, KeysGoThroughTheKeyPressReactionThenIntoTheText) {
    FormsHarness h;
    forms::FormSlot<Panel> slot{h.runtime, [&] { return std::make_unique<Panel>(h.runtime); }};
    Panel& p = slot();
    p.Text1.setSelStart(255);  // clipped to the end
    EXPECT_EQ(p.Text1.selStart(), 3);
    p.Text1.userKey('d');
    p.Text1.userKey('x');
    p.Text1.userKey('a');
    p.Text1.userKey(13);  // Enter inserts nothing in a one-line box
    EXPECT_EQ(p.Text1.text(), "abcdA");
    EXPECT_EQ(p.keys, (std::vector<int>{'d', 'x', 'a', 13}));
    p.Text1.setSelStart(1);
    p.Text1.setSelLength(2);
    EXPECT_EQ(p.Text1.selectedText(), "bc");
    p.Text1.userKey(0x5370);  // 印 replaces the selection
    EXPECT_EQ(p.Text1.text(), "a印dA");
}

TEST(Controls, ASelectionIsClippedToTheText) {
    FormsHarness h;
    forms::FormSlot<Panel> slot{h.runtime, [&] { return std::make_unique<Panel>(h.runtime); }};
    Panel& p = slot();
    p.Text1.setText("印表機ab");
    struct Case {
        int start;
        int length;
        int clippedStart;
        int clippedLength;
        const char* selected;
    };
    const Case cases[] = {
        {0, 2, 0, 2, "印表"},       {1, 100, 1, 4, "表機ab"}, {4, 2, 4, 1, "b"},
        {5, 3, 5, 0, ""},           {9, 1, 5, 0, ""},         {0, 5, 0, 5, "印表機ab"},
        {2, 1000000, 2, 3, "機ab"},
    };
    for (const Case& c : cases) {
        p.Text1.setSelStart(c.start);
        p.Text1.setSelLength(c.length);
        EXPECT_EQ(p.Text1.selStart(), c.clippedStart) << c.start << "+" << c.length;
        EXPECT_EQ(p.Text1.selLength(), c.clippedLength) << c.start << "+" << c.length;
        EXPECT_EQ(p.Text1.selectedText(), c.selected) << c.start << "+" << c.length;
    }
    // A key typed over a selection past the end replaces only what is there.
    p.Text1.setSelStart(3);
    p.Text1.setSelLength(50);
    p.Text1.userKey('Z');
    EXPECT_EQ(p.Text1.text(), "印表機Z");
    EXPECT_EQ(p.Text1.selStart(), 4);
    EXPECT_EQ(p.Text1.selLength(), 0);
    // A shorter text clips a selection that reached past its end.
    p.Text1.setSelStart(1);
    p.Text1.setSelLength(3);
    p.Text1.setText("ab");
    EXPECT_EQ(p.Text1.selStart(), 1);
    EXPECT_EQ(p.Text1.selLength(), 1);
    EXPECT_THROW(p.Text1.setSelLength(-1), platform::Error);
}

TEST(Controls, ListIndexRaisesClickAndRefusesEntriesThatDoNotExist) {
    FormsHarness h;
    forms::FormSlot<Panel> slot{h.runtime, [&] { return std::make_unique<Panel>(h.runtime); }};
    Panel& p = slot();
    try {
        p.List1.setListIndex(0);
        ADD_FAILURE() << "an empty list took index 0";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), 381);
    }
    p.List1.addItem("a.inf");
    p.List1.addItem("b.inf");
    p.List1.setListIndex(1);
    p.List1.setListIndex(1);  // unchanged: no click
    p.List1.userSelect(0);
    p.Combo1.addItem("Model A");
    p.Combo1.setListIndex(0);
    EXPECT_EQ(p.Combo1.text(), "Model A");
    EXPECT_EQ(p.clicks, (std::vector<int>{1, 0, 100}));
    p.List1.clear();
    EXPECT_EQ(p.List1.listIndex(), -1);
}

TEST(Controls, AControlInAHiddenFrameIsNotShown) {
    FormsHarness h;
    forms::FormSlot<Panel> slot{h.runtime, [&] { return std::make_unique<Panel>(h.runtime); }};
    Panel& p = slot();
    EXPECT_TRUE(p.Text1.shownInForm());
    p.Frame1.setVisible(false);
    EXPECT_FALSE(p.Text1.shownInForm());
    EXPECT_TRUE(p.Text1.visible());
}

TEST(Controls, TwipsBecomePixelsAtTheMonitorsDpi) {
    struct Case {
        int twips, dpi, pixels;
    };
    for (Case c : {Case{4905, 96, 327}, Case{4905, 144, 491}, Case{1440, 96, 96}, Case{15, 96, 1},
                   Case{7, 96, 0}, Case{-1440, 120, -120}, Case{2265, 192, 302}}) {
        EXPECT_EQ(forms::twipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << "@" << c.dpi;
    }
}

}  // namespace
