#include "platform/win32/ui/menu.h"

#include <string>

#include "platform/win32/ui/wide_text.h"

namespace platform::win32::ui {

UINT MenuBar::idOf(const forms::MenuItem& item) const {
    const auto& controls = form_.controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i] == &item)
            return kMenuIdBase + static_cast<UINT>(i);
    }
    return 0;
}

forms::MenuItem* MenuBar::byCommand(UINT id) const {
    const auto& controls = form_.controls();
    if (id < kMenuIdBase || id - kMenuIdBase >= controls.size())
        return nullptr;
    forms::Control* c = controls[id - kMenuIdBase];
    return c->kind() == forms::ControlKind::MenuItem ? static_cast<forms::MenuItem*>(c) : nullptr;
}

forms::MenuItem* MenuBar::byPopup(HMENU popup) const {
    auto found = popups_.find(popup);
    return found == popups_.end() ? nullptr : found->second;
}

namespace {
// An item's type, caption and state as the menu shows them; caption must outlive the result.
MENUITEMINFOW describe(const forms::MenuItem& item, std::wstring& caption) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    info.fState = item.enabled() ? MFS_ENABLED : MFS_GRAYED;
    if (item.isSeparator()) {
        info.fType = MFT_SEPARATOR;
    } else {
        info.fType = MFT_STRING;
        info.fMask |= MIIM_STRING;
        info.dwTypeData = caption.data();
    }
    return info;
}
}  // namespace

void MenuBar::append(HMENU menu, UINT position, const layout::MenuNode& node) {
    const forms::MenuItem& item = *node.item;
    std::wstring caption = widen(item.text());
    MENUITEMINFOW info = describe(item, caption);
    info.fMask |= MIIM_ID;
    info.wID = idOf(item);
    if (!node.children.empty() && !item.isSeparator()) {
        HMENU popup = CreatePopupMenu();
        for (UINT i = 0; i < node.children.size(); ++i)
            append(popup, i, node.children[i]);
        info.fMask |= MIIM_SUBMENU;
        info.hSubMenu = popup;
        popups_[popup] = const_cast<forms::MenuItem*>(&item);
    }
    InsertMenuItemW(menu, position, TRUE, &info);
    slots_[&item] = {menu, position};
}

HMENU MenuBar::build() {
    slots_.clear();
    popups_.clear();
    std::vector<layout::MenuNode> tree = layout::menuTree(form_);
    if (tree.empty())
        return nullptr;
    HMENU bar = CreateMenu();
    for (UINT i = 0; i < tree.size(); ++i)
        append(bar, i, tree[i]);
    return bar;
}

void MenuBar::update(const forms::MenuItem& item) {
    auto found = slots_.find(&item);
    if (found == slots_.end())
        return;  // not shown
    std::wstring caption = widen(item.text());
    MENUITEMINFOW info = describe(item, caption);
    SetMenuItemInfoW(found->second.menu, found->second.position, TRUE, &info);
}

}  // namespace platform::win32::ui
