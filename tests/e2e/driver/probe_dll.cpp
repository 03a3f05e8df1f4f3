// velmora-e2e-probe.dll: loaded into Velmora.exe by the driver only for the reads of probe.h.
// Loading it does nothing; the driver calls an export on a thread of its own and unloads the DLL.
#include "probe.h"

extern "C" __attribute__((dllexport)) DWORD WINAPI velmora_menu_probe(void* param) {
    auto* block = static_cast<e2e::MenuProbeBlock*>(param);
    block->length = 0;
    block->status = 0;
    HMENU bar = GetMenu(block->window);
    if (!bar) {
        block->status = 1;
        return block->status;
    }
    DWORD used = 0;
    e2e::write_menu_lines(bar, 0, block->text, sizeof block->text / sizeof block->text[0], used,
                          block->status);
    block->length = used;
    return block->status;
}

extern "C" __attribute__((dllexport)) DWORD WINAPI velmora_text_probe(void* param) {
    auto* block = static_cast<e2e::TextProbeBlock*>(param);
    HWND control = block->control;
    // The font comes from the control's own thread; a program busy in a long step is not waited
    // for.
    DWORD_PTR font = 0;
    if (!SendMessageTimeoutW(control, WM_GETFONT, 0, 0, SMTO_ABORTIFHUNG, 2000, &font)) {
        block->status = 1;
        return block->status;
    }
    HFONT used =
        font ? reinterpret_cast<HFONT>(font) : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    wchar_t text[1024];
    int length = GetWindowTextW(control, text, 1024);
    RECT client{};
    GetClientRect(control, &client);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, used);
    SIZE line{};
    GetTextExtentPoint32W(dc, text, length, &line);
    // A static control draws with these flags (and DT_NOPREFIX only with SS_NOPREFIX).
    UINT flags = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS;
    if (GetWindowLongW(control, GWL_STYLE) & SS_NOPREFIX)
        flags |= DT_NOPREFIX;
    RECT wrapped{0, 0, client.right, 0};
    DrawTextW(dc, text, length, &wrapped, flags);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    LOGFONTW logfont{};
    GetObjectW(used, sizeof logfont, &logfont);
    block->status = 0;
    block->line_width = line.cx;
    block->line_height = line.cy;
    block->wrapped_height = wrapped.bottom;
    block->client_width = client.right;
    block->client_height = client.bottom;
    block->font_height = logfont.lfHeight;
    for (int i = 0; i < LF_FACESIZE; ++i)
        block->face[i] = logfont.lfFaceName[i];
    return block->status;
}

extern "C" __attribute__((dllexport)) DWORD WINAPI velmora_list_probe(void* param) {
    auto* block = static_cast<e2e::ListProbeBlock*>(param);
    block->status = 0;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(block->combo, &info) || !info.hwndList) {
        block->status = 1;
        return block->status;
    }
    HWND list = info.hwndList;
    auto ask = [list](UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
        DWORD_PTR answer = 0;
        bool answered =
            SendMessageTimeoutW(list, msg, wparam, lparam, SMTO_ABORTIFHUNG, 2000, &answer);
        result = static_cast<LRESULT>(answer);
        return answered;
    };
    LRESULT font = 0, count = 0, item_height = 0;
    if (!ask(WM_GETFONT, 0, 0, font) || !ask(LB_GETCOUNT, 0, 0, count) || count < 0 ||
        !ask(LB_GETITEMHEIGHT, 0, 0, item_height)) {
        block->status = 2;
        return block->status;
    }
    HFONT used =
        font ? reinterpret_cast<HFONT>(font) : static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, used);
    block->widest_index = -1;
    block->widest_width = 0;
    for (LRESULT i = 0; i < count && block->status == 0; ++i) {
        wchar_t text[512];
        LRESULT length = 0;
        if (!ask(LB_GETTEXTLEN, static_cast<WPARAM>(i), 0, length) || length < 0) {
            block->status = 2;
        } else if (length >= 512) {
            block->status = 3;
        } else if (ask(LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text),
                       length)) {
            SIZE size{};
            GetTextExtentPoint32W(dc, text, static_cast<int>(length), &size);
            if (size.cx > block->widest_width) {
                block->widest_width = size.cx;
                block->widest_index = static_cast<LONG>(i);
            }
        } else {
            block->status = 2;
        }
    }
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    RECT client{};
    GetClientRect(list, &client);
    block->count = static_cast<LONG>(count);
    block->item_height = static_cast<LONG>(item_height);
    block->client_width = client.right;
    block->client_height = client.bottom;
    return block->status;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
