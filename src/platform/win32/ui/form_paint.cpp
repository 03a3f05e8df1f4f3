// The form's own drawing: its colour and picture, frames that have a colour of their own, the
// lines printed on it, and the shapes and lines, which have no windows. Child windows are cut out
// of the form's painting rather than clipped by WS_CLIPCHILDREN, because a frame (a group box)
// draws only its edge and caption and must let the form's surface show through.
#include <algorithm>

#include "platform/win32/ui/dpi.h"
#include "platform/win32/ui/form_window.h"
#include "platform/win32/ui/layout.h"
#include "platform/win32/ui/wide_text.h"
#include "platform/win32/ui/win32_backend.h"

namespace platform::win32::ui {

namespace {

COLORREF colorOf(forms::Rgb rgb) {
    return RGB(rgb.red(), rgb.green(), rgb.blue());
}

// The nearest picture a control lies in; shapes and lines inside one are drawn by it.
const forms::Control* pictureOf(const forms::Control& control) {
    for (const forms::Control* c = control.container(); c != nullptr; c = c->container()) {
        if (c->kind() == forms::ControlKind::Picture)
            return c;
    }
    return nullptr;
}

int depthOf(const forms::Control& control) {
    int depth = 0;
    for (const forms::Control* c = control.container(); c != nullptr; c = c->container())
        ++depth;
    return depth;
}

}  // namespace

COLORREF FormWindow::surfaceColorOf(const forms::Control& control, bool& formSurface) const {
    for (const forms::Control* c = control.container(); c != nullptr; c = c->container()) {
        if (c->kind() == forms::ControlKind::Picture ||
            (c->kind() == forms::ControlKind::Frame && !c->backTransparent)) {
            formSurface = false;
            return colorOf(c->backColor);
        }
    }
    formSurface = true;
    return colorOf(model_->backColor);
}

HBRUSH FormWindow::controlColors(NativeControl& control, HDC dc) {
    const forms::Control& m = control.model();
    SetTextColor(dc, colorOf(m.foreColor));
    if (!m.backTransparent) {
        SetBkColor(dc, colorOf(m.backColor));
        return backend_.solidBrush(colorOf(m.backColor));
    }
    bool formSurface = false;
    COLORREF color = surfaceColorOf(m, formSurface);
    SetBkColor(dc, color);
    // Printed lines lie on the surface; a transparent label over them lets them show, since a
    // label is text on its window's surface, not a window that covers it.
    if (formSurface && (model_->pictureResourceId != 0 || !model_->printedLines().empty())) {
        if (HBRUSH pattern = surfaceBrush()) {
            // The pattern starts at the form's corner, not the control's.
            POINT origin{0, 0};
            MapWindowPoints(control.hwnd(), hwnd_, &origin, 1);
            SetBkMode(dc, TRANSPARENT);
            SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
            return pattern;
        }
    }
    return backend_.solidBrush(color);
}

void FormWindow::fillSurface(HDC dc) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    FillRect(dc, &client, backend_.solidBrush(colorOf(model_->backColor)));
    if (model_->pictureResourceId != 0)
        drawBitmap(dc, model_->pictureResourceId, {0, 0});
    // Frames with a colour of their own, outer ones first.
    std::vector<const forms::Control*> frames;
    for (const forms::Control* c : model_->controls()) {
        if (c->kind() == forms::ControlKind::Frame && !c->backTransparent && c->shownInForm()) {
            frames.push_back(c);
        }
    }
    std::stable_sort(frames.begin(), frames.end(),
                     [](const auto* a, const auto* b) { return depthOf(*a) < depthOf(*b); });
    for (const forms::Control* frame : frames) {
        layout::PixelRect r = layout::toPixels(layout::inForm(*frame), static_cast<int>(dpi_));
        POINT at = originOf(*frame);
        RECT area{at.x, at.y, at.x + r.width, at.y + r.height};
        FillRect(dc, &area, backend_.solidBrush(colorOf(frame->backColor)));
    }
    drawPrintedLines(dc);
}

void FormWindow::drawPrintedLines(HDC dc) {
    const std::vector<std::string>& lines = model_->printedLines();
    if (lines.empty())
        return;
    // The text position starts at the top left corner; each line moves it one line down, by
    // the height of the form's font.
    HGDIOBJ oldFont = SelectObject(dc, font(model_->font));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    int oldMode = SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = SetTextColor(dc, colorOf(forms::colors::kWindowText));
    int y = 0;
    for (const std::string& line : lines) {
        std::wstring wide = widen(line);
        TextOutW(dc, 0, y, wide.c_str(), static_cast<int>(wide.size()));
        y += metrics.tmHeight + metrics.tmExternalLeading;
    }
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

void FormWindow::printed() {
    invalidateSurface();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void FormWindow::excludeOpaqueChildren(HDC dc) {
    for (const auto& c : controls_) {
        if (!c->opaque() || c->hwnd() == nullptr || !IsWindowVisible(c->hwnd()))
            continue;
        RECT r{};
        GetWindowRect(c->hwnd(), &r);
        MapWindowPoints(nullptr, hwnd_, reinterpret_cast<POINT*>(&r), 2);
        ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
}

void FormWindow::eraseBackground(HDC dc, bool excludeChildren) {
    int saved = SaveDC(dc);
    if (excludeChildren)
        excludeOpaqueChildren(dc);
    fillSurface(dc);
    RestoreDC(dc, saved);
}

void FormWindow::paint(HDC dc, bool excludeChildren) {
    int saved = SaveDC(dc);
    if (excludeChildren)
        excludeOpaqueChildren(dc);
    paintGraphics(dc, nullptr);
    RestoreDC(dc, saved);
}

HBRUSH FormWindow::surfaceBrush() {
    if (surface_ != nullptr)
        return surface_;
    RECT client{};
    GetClientRect(hwnd_, &client);
    if (client.right <= 0 || client.bottom <= 0)
        return nullptr;
    HDC screen = GetDC(hwnd_);
    HDC memory = CreateCompatibleDC(screen);
    surfaceBitmap_ = CreateCompatibleBitmap(screen, client.right, client.bottom);
    ReleaseDC(hwnd_, screen);
    if (memory == nullptr || surfaceBitmap_ == nullptr) {
        if (memory != nullptr)
            DeleteDC(memory);
        invalidateSurface();
        return nullptr;
    }
    HGDIOBJ old = SelectObject(memory, surfaceBitmap_);
    fillSurface(memory);
    SelectObject(memory, old);
    DeleteDC(memory);
    surface_ = CreatePatternBrush(surfaceBitmap_);
    return surface_;
}

void FormWindow::invalidateSurface() {
    if (surface_ != nullptr)
        DeleteObject(surface_);
    if (surfaceBitmap_ != nullptr)
        DeleteObject(surfaceBitmap_);
    surface_ = nullptr;
    surfaceBitmap_ = nullptr;
}

void FormWindow::drawBitmap(HDC dc, int resourceId, POINT at) {
    HBITMAP bitmap = backend_.bitmap(resourceId);
    if (bitmap == nullptr)
        return;
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    // Bitmaps are drawn for 96 DPI; larger screens get them scaled like everything else.
    int width = MulDiv(info.bmWidth, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI);
    int height = MulDiv(info.bmHeight, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap);
    POINT brushOrigin{};
    SetStretchBltMode(dc, HALFTONE);
    SetBrushOrgEx(dc, 0, 0, &brushOrigin);
    StretchBlt(dc, at.x, at.y, width, height, memory, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SetBrushOrgEx(dc, brushOrigin.x, brushOrigin.y, nullptr);
    SelectObject(memory, old);
    DeleteDC(memory);
}

void FormWindow::paintGraphics(HDC dc, const forms::Control* container) {
    // VB's one-pixel line is 15 twips at 96 DPI; it thickens with the DPI.
    constexpr int kLineTwips = 15;
    int penWidth = std::max(1, forms::twipsToPixels(kLineTwips, static_cast<int>(dpi_)));
    POINT base{0, 0};
    if (container != nullptr) {
        base = originOf(*container);
        if (container->kind() == forms::ControlKind::Picture &&
            static_cast<const forms::Picture*>(container)->border) {
            base.x += dpi::metric(SM_CXEDGE, dpi_);
            base.y += dpi::metric(SM_CYEDGE, dpi_);
        }
    }
    for (const forms::Control* c : model_->controls()) {
        bool shape = c->kind() == forms::ControlKind::Shape;
        bool line = c->kind() == forms::ControlKind::Line;
        if ((!shape && !line) || !c->shownInForm() || pictureOf(*c) != container)
            continue;
        layout::PixelRect r = layout::toPixels(layout::inForm(*c), static_cast<int>(dpi_));
        POINT inset = insetOf(*c);
        int left = r.left + inset.x - base.x;
        int top = r.top + inset.y - base.y;
        forms::Rgb color = shape ? static_cast<const forms::Shape*>(c)->borderColor
                                 : static_cast<const forms::Line*>(c)->borderColor;
        HPEN pen = CreatePen(shape ? PS_INSIDEFRAME : PS_SOLID, penWidth, colorOf(color));
        HGDIOBJ oldPen = SelectObject(dc, pen);
        if (shape) {
            HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
            Rectangle(dc, left, top, left + r.width, top + r.height);
            SelectObject(dc, oldBrush);
        } else {
            MoveToEx(dc, left, top, nullptr);
            LineTo(dc, left + r.width, top + r.height);
        }
        SelectObject(dc, oldPen);
        DeleteObject(pen);
    }
}

}  // namespace platform::win32::ui
