#pragma once
// The arithmetic of the Win32 backend, kept free of <windows.h> so it reads (and is checked) on
// its own: where a control lies in its form, the order windows are stacked in, font sizes and
// face choices, centring, and the shape of the menu bar.

#include <string>
#include <vector>

#include "forms/control.h"
#include "forms/form.h"
#include "forms/geometry.h"

namespace platform::win32::layout {

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PixelRect&) const = default;
};

// A control's rectangle relative to the form's client area: frames and pictures hold their
// controls in their own coordinates, so the container chain's offsets add up.
forms::Twips inForm(const forms::Control& control);

// Converted as one rectangle (edges, not sizes, are rounded) so neighbours that touch in twips
// still touch in pixels.
PixelRect toPixels(const forms::Twips& twips, int dpi);

// Character height in pixels for a point size (what CreateFontW takes, negated).
int fontPixelHeight(double points, int dpi);

// Order of the child windows from the top of the Z-order down. The dialog manager tabs in this
// order, so tab stops come sorted by tab index; frames and pictures go to the bottom (the
// outermost last) so they never cover what they contain.
std::vector<forms::Control*> stackingOrder(const std::vector<forms::Control*>& controls);

// Enabled itself and in every container (a disabled frame disables what it holds); a menu item
// also needs the menus it drops down from enabled.
bool enabledInForm(const forms::Control& control);

// Whether a control gets a child window of its own (shapes, lines and menu items do not).
bool hasWindow(forms::ControlKind kind);

// Faces to try for a font, best first; the caller ends the list with the system's own face.
std::vector<std::string> faceCandidates(const std::string& face);

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};
// Top-left corner that centres a window of the given size on an area (the screen's work area
// or the owner window); it may stick out of a small owner.
Point centred(const PixelRect& area, int width, int height);
// The window moved as little as needed to lie inside the screen's work area; one larger than
// the area keeps its top-left corner (and so its caption) on the screen.
Point keptInside(Point at, const PixelRect& work, int width, int height);

// A menu item that is shown, with its shown children.
struct MenuNode {
    forms::MenuItem* item = nullptr;
    std::vector<MenuNode> children;
};
// The menu bar of a form: items without a parent on the bar, the others in their parent's
// drop-down, in declaration order. An invisible item is left out with everything below it.
std::vector<MenuNode> menuTree(const forms::Form& form);

}  // namespace platform::win32::layout
