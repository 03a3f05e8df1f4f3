#include "platform/win32/ui/layout.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace platform::win32::layout {

forms::Twips inForm(const forms::Control& control) {
    forms::Twips rect = control.rect;
    for (const forms::Control* c = control.container(); c != nullptr; c = c->container()) {
        rect.left += c->rect.left;
        rect.top += c->rect.top;
    }
    return rect;
}

PixelRect toPixels(const forms::Twips& twips, int dpi) {
    int left = forms::twipsToPixels(twips.left, dpi);
    int top = forms::twipsToPixels(twips.top, dpi);
    int right = forms::twipsToPixels(twips.left + twips.width, dpi);
    int bottom = forms::twipsToPixels(twips.top + twips.height, dpi);
    return {left, top, right - left, bottom - top};
}

int fontPixelHeight(double points, int dpi) {
    return static_cast<int>(std::lround(points * dpi / forms::kPointsPerInch));
}

bool enabledInForm(const forms::Control& control) {
    return control.enabledInForm();
}

bool hasWindow(forms::ControlKind kind) {
    switch (kind) {
        case forms::ControlKind::Shape:
        case forms::ControlKind::Line:
        case forms::ControlKind::MenuItem:
            return false;
        default:
            return true;
    }
}

namespace {

bool isContainer(const forms::Control& c) {
    return c.kind() == forms::ControlKind::Frame || c.kind() == forms::ControlKind::Picture;
}

int depth(const forms::Control& c) {
    int d = 0;
    for (const forms::Control* p = c.container(); p != nullptr; p = p->container())
        ++d;
    return d;
}

}  // namespace

std::vector<forms::Control*> stackingOrder(const std::vector<forms::Control*>& controls) {
    struct Entry {
        forms::Control* control;
        std::size_t declared;
    };
    std::vector<Entry> entries;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (hasWindow(controls[i]->kind()))
            entries.push_back({controls[i], i});
    }
    auto key = [](const Entry& e) {
        const forms::Control& c = *e.control;
        bool container = isContainer(c);
        // Containers: deepest first so an outer frame lies under an inner one. Others: by tab
        // index, those outside the tab order after, then as declared.
        int primary = container ? -depth(c) : (c.tabIndex < 0 ? 1 : 0);
        int secondary = container ? 0 : (c.tabIndex < 0 ? 0 : c.tabIndex);
        return std::make_tuple(container, primary, secondary, e.declared);
    };
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const Entry& a, const Entry& b) { return key(a) < key(b); });
    std::vector<forms::Control*> order;
    order.reserve(entries.size());
    for (const Entry& e : entries)
        order.push_back(e.control);
    return order;
}

std::vector<std::string> faceCandidates(const std::string& face) {
    // The Traditional Chinese system faces go by an English and a Chinese name; which one a
    // system knows depends on its language, so both are tried.
    static const std::vector<std::string> kProportional{"新細明體", "PMingLiU"};
    static const std::vector<std::string> kFixed{"細明體", "MingLiU"};
    std::vector<std::string> out{face};
    auto add = [&out](const std::vector<std::string>& names) {
        for (const std::string& n : names) {
            if (std::find(out.begin(), out.end(), n) == out.end())
                out.push_back(n);
        }
    };
    // Any face the system lacks falls back to the program's own, the fixed-pitch one for a
    // fixed-pitch request.
    if (std::find(kFixed.begin(), kFixed.end(), face) != kFixed.end())
        add(kFixed);
    add(kProportional);
    add(kFixed);
    add({"Microsoft JhengHei"});
    if (face.empty())
        out.erase(out.begin());
    return out;
}

Point centred(const PixelRect& area, int width, int height) {
    return {area.left + (area.width - width) / 2, area.top + (area.height - height) / 2};
}

Point keptInside(Point at, const PixelRect& work, int width, int height) {
    at.x = std::max(work.left, std::min(at.x, work.left + work.width - width));
    at.y = std::max(work.top, std::min(at.y, work.top + work.height - height));
    return at;
}

namespace {

void addChildren(MenuNode& node, const std::vector<forms::MenuItem*>& items) {
    for (forms::MenuItem* item : items) {
        if (item->parent() != node.item || !item->visible())
            continue;
        MenuNode child{item, {}};
        addChildren(child, items);
        node.children.push_back(std::move(child));
    }
}

}  // namespace

std::vector<MenuNode> menuTree(const forms::Form& form) {
    MenuNode root{nullptr, {}};
    addChildren(root, form.menuItems());
    return std::move(root.children);
}

}  // namespace platform::win32::layout
