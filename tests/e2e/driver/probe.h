// What the probe DLL (velmora-e2e-probe.dll) does inside the program's own process, where the
// driver cannot look: Wine keeps menus per process (GetMenuItemCount on another process's menu
// fails), and no system shares a font handle between processes. The driver puts a block in memory
// it shares with the program, runs an export of the probe on it on a thread there, and reads it.
#pragma once

#include <windows.h>

namespace e2e {

inline constexpr wchar_t kProbeDll[] = L"velmora-e2e-probe.dll";
inline constexpr char kMenuProbe[] = "velmora_menu_probe";
inline constexpr char kTextProbe[] = "velmora_text_probe";
inline constexpr char kListProbe[] = "velmora_list_probe";
inline constexpr char kCaptureProbe[] = "velmora_capture_probe";

// Lines "depth\tid\tstate\ttype\tsubmenu\tcaption\n", depth first.
struct MenuProbeBlock {
    HWND window;   // in: the form window whose bar is read
    DWORD status;  // out: 0 read, 1 no menu bar, 2 unreadable, 3 text did not fit
    DWORD length;  // out: characters used in text
    wchar_t text[16384];
};

// A static control's text measured in the control's own font, laid out as the control lays it;
// for an edit the client width is the room between its margins.
struct TextProbeBlock {
    HWND control;     // in
    DWORD status;     // out: 0 measured, 1 no font answer
    LONG line_width;  // the text on one line
    LONG line_height;
    LONG wrapped_height;  // what DrawText needs with word breaks at the client width
    LONG client_width;
    LONG client_height;
    LONG font_height;  // the LOGFONT's lfHeight
    wchar_t face[LF_FACESIZE];
};

// A combo box's entries measured in its list's own font, and the room the list gives them.
struct ListProbeBlock {
    HWND combo;    // in
    DWORD status;  // out: 0 measured, 1 no list window, 2 the list did not answer, 3 entry too long
    LONG count;
    LONG widest_index;  // the entry that needs most room, and its width
    LONG widest_width;
    LONG item_height;
    LONG client_width;  // the list's client area, without its scroll bar
    LONG client_height;
};

// A combo box's dropped list pictured inside the program into a 32-bit BMP file: its frame and
// scroll bar from the window's own surface, its entries painted by the list (WM_PRINTCLIENT).
// Wine 8's virtual desktop leaves a popup unpainted on the screen where it overlaps its owner,
// so a screenshot of the list shows black.
struct CaptureProbeBlock {
    HWND combo;              // in
    wchar_t path[MAX_PATH];  // in: the file to write
    DWORD status;  // out: 0 written, 1 no list window, 2 the list did not print, 3 not written
    LONG left;     // out: where the picture (the list's window) lies on the desktop
    LONG top;
    LONG width;
    LONG height;
};

// Appends the lines for one menu and its submenus; false when an item cannot be read or the
// text runs out of room (`status` says which). Only user32: this also runs in the probe, on a
// thread the program never asked for.
inline bool write_menu_lines(HMENU menu, int depth, wchar_t* text, DWORD capacity, DWORD& used,
                             DWORD& status) {
    int count = GetMenuItemCount(menu);
    if (count < 0) {
        status = 2;
        return false;
    }
    auto put = [&](const wchar_t* s, DWORD n) {
        if (used + n >= capacity) {
            status = 3;
            return false;
        }
        for (DWORD i = 0; i < n; ++i)
            text[used++] = s[i];
        return true;
    };
    auto put_number = [&](unsigned long value) {
        wchar_t digits[16];
        DWORD n = 0;
        do {
            digits[15 - n++] = static_cast<wchar_t>(L'0' + value % 10);
            value /= 10;
        } while (value != 0);
        return put(digits + 16 - n, n) && put(L"\t", 1);
    };
    for (int i = 0; i < count; ++i) {
        wchar_t caption[256];
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = caption;
        info.cch = 256;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) {
            status = 2;
            return false;
        }
        DWORD length = (info.fType & MFT_SEPARATOR) ? 0 : info.cch;
        if (length > 255)
            length = 255;
        // One line per item; an accelerator's "\t" may stay, it is the last field.
        for (DWORD k = 0; k < length; ++k)
            if (caption[k] == L'\n' || caption[k] == L'\r')
                caption[k] = L' ';
        if (!put_number(static_cast<unsigned long>(depth)) || !put_number(info.wID) ||
            !put_number(info.fState) || !put_number(info.fType) ||
            !put_number(info.hSubMenu ? 1 : 0) || !put(caption, length) || !put(L"\n", 1))
            return false;
        if (info.hSubMenu &&
            !write_menu_lines(info.hSubMenu, depth + 1, text, capacity, used, status))
            return false;
    }
    return true;
}

}  // namespace e2e
