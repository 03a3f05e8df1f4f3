#pragma once
// The menu bar of a form, made from its menu items (layout::menuTree): items without children
// are commands, the others drop down. Caption and enabled state change in place, so an item
// changed while its menu is open (by its parent's click reaction) shows the change at once;
// showing or hiding an item needs a new bar.

#include <windows.h>

#include <unordered_map>

#include "forms/form.h"
#include "platform/win32/ui/layout.h"

namespace platform::win32::ui {

// Command identifiers of menu items: this plus the item's index among the form's controls.
inline constexpr UINT kMenuIdBase = 0x4000;

class MenuBar {
  public:
    explicit MenuBar(forms::Form& form) : form_(form) {}

    // A new bar for the model's state, or none when no item is shown; the caller owns it.
    HMENU build();
    void update(const forms::MenuItem& item);

    forms::MenuItem* byCommand(UINT id) const;
    forms::MenuItem* byPopup(HMENU popup) const;

  private:
    struct Slot {
        HMENU menu;
        UINT position;
    };
    void append(HMENU menu, UINT position, const layout::MenuNode& node);
    UINT idOf(const forms::MenuItem& item) const;

    forms::Form& form_;
    std::unordered_map<const forms::MenuItem*, Slot> slots_;
    std::unordered_map<HMENU, forms::MenuItem*> popups_;
};

}  // namespace platform::win32::ui
