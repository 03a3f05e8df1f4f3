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
    // An edit keeps margins inside its client area; only the room between them holds text.
    wchar_t cls[16] = L"";
    GetClassNameW(control, cls, 16);
    DWORD_PTR margins = 0;
    if (CompareStringOrdinal(cls, -1, L"Edit", -1, TRUE) == CSTR_EQUAL &&
        SendMessageTimeoutW(control, EM_GETMARGINS, 0, 0, SMTO_ABORTIFHUNG, 2000, &margins))
        client.right -= LOWORD(margins) + HIWORD(margins);
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

// The list a combo box drops, or null.
static HWND dropped_list(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return GetComboBoxInfo(combo, &info) ? info.hwndList : nullptr;
}

extern "C" __attribute__((dllexport)) DWORD WINAPI velmora_list_probe(void* param) {
    auto* block = static_cast<e2e::ListProbeBlock*>(param);
    block->status = 0;
    HWND list = dropped_list(block->combo);
    if (!list) {
        block->status = 1;
        return block->status;
    }
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

extern "C" __attribute__((dllexport)) DWORD WINAPI velmora_capture_probe(void* param) {
    auto* block = static_cast<e2e::CaptureProbeBlock*>(param);
    HWND list = dropped_list(block->combo);
    if (!list) {
        block->status = 1;
        return block->status;
    }
    RECT frame{};
    GetWindowRect(list, &frame);
    POINT client{0, 0};
    ClientToScreen(list, &client);
    const LONG width = frame.right - frame.left;
    const LONG height = frame.bottom - frame.top;
    block->left = frame.left;
    block->top = frame.top;
    block->width = width;
    block->height = height;
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!picture || width <= 0 || height <= 0) {
        block->status = 2;
        return block->status;
    }
    const DWORD bytes = static_cast<DWORD>(width) * static_cast<DWORD>(height) * 4;
    ZeroMemory(bits, bytes);  // black: a list that paints nothing shows as black
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, picture);
    // The frame and scroll bar as the window's own surface holds them (Wine's WM_PRINT draws no
    // non-client part), then the entries, painted by the list on its own thread into the
    // picture; a program stuck elsewhere is not waited for.
    HDC window = GetWindowDC(list);
    if (window) {
        BitBlt(dc, 0, 0, width, height, window, 0, 0, SRCCOPY);
        ReleaseDC(list, window);
    }
    SetViewportOrgEx(dc, client.x - frame.left, client.y - frame.top, nullptr);
    DWORD_PTR ignored = 0;
    bool printed =
        SendMessageTimeoutW(list, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0, SMTO_ABORTIFHUNG,
                            2000, &ignored) &&
        SendMessageTimeoutW(list, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                            PRF_CLIENT | PRF_ERASEBKGND, SMTO_ABORTIFHUNG, 2000, &ignored);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    GdiFlush();
    block->status = printed ? 0 : 2;
    if (printed) {
        BITMAPFILEHEADER head{};
        head.bfType = 0x4D42;  // "BM"
        head.bfOffBits = sizeof head + sizeof format.bmiHeader;
        head.bfSize = head.bfOffBits + bytes;
        HANDLE file = CreateFileW(block->path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        bool ok = file != INVALID_HANDLE_VALUE &&
                  WriteFile(file, &head, sizeof head, &written, nullptr) &&
                  WriteFile(file, &format.bmiHeader, sizeof format.bmiHeader, &written, nullptr) &&
                  WriteFile(file, bits, bytes, &written, nullptr) && written == bytes;
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        if (!ok)
            block->status = 3;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(picture);
    return block->status;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
