// Subcommands for combo boxes: the entries the real window holds, in its order, and its list
// dropped down for a picture. The messages are sent with a timeout: a program that is busy or
// shows a modal box must not hold the driver.
#include "driver.h"
#include "probe.h"
#include "probe_client.h"

#include <memory>

namespace e2e {

namespace {

constexpr DWORD kPollMs = 25;
constexpr UINT kSendTimeoutMs = 5000;

bool send(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(hwnd, msg, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &answer))
        return false;
    result = static_cast<LRESULT>(answer);
    return true;
}

bool is_combo(HWND hwnd, const std::wstring& name) {
    wchar_t cls[32] = L"";
    GetClassNameW(hwnd, cls, 32);
    if (CompareStringOrdinal(cls, -1, L"ComboBox", -1, TRUE) == CSTR_EQUAL)
        return true;
    print_error(name + L" is a " + cls + L", not a combo box");
    return false;
}

struct ListSearch {
    DWORD thread;
    HWND found = nullptr;
};

// The dropped list is a top-level window of class ComboLBox on the combo's own thread.
BOOL CALLBACK match_list(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<ListSearch*>(param);
    wchar_t cls[32] = L"";
    GetClassNameW(hwnd, cls, 32);
    if (GetWindowThreadProcessId(hwnd, nullptr) != search->thread || !IsWindowVisible(hwnd) ||
        CompareStringOrdinal(cls, -1, L"ComboLBox", -1, TRUE) != CSTR_EQUAL)
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

}  // namespace

// One line per entry, in the order the combo box holds them; nothing for an empty list.
int cmd_combo_items(const Options& options, const Args& args) {
    HWND combo = wait_control(args[0], args[1], options.timeout_ms);
    if (!combo || !is_combo(combo, args[1]))
        return kFailed;
    LRESULT count = 0;
    if (!send(combo, CB_GETCOUNT, 0, 0, count) || count < 0) {
        print_error(L"the combo box does not answer CB_GETCOUNT");
        return kFailed;
    }
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = 0;
        if (!send(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0, length) || length < 0) {
            print_error(L"entry " + std::to_wstring(i) + L" does not answer CB_GETLBTEXTLEN");
            return kFailed;
        }
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        LRESULT copied = 0;
        // The system copies the entry across the process boundary: the combo has CBS_HASSTRINGS.
        if (!send(combo, CB_GETLBTEXT, static_cast<WPARAM>(i),
                  reinterpret_cast<LPARAM>(text.data()), copied) ||
            copied < 0 || copied > length) {
            print_error(L"entry " + std::to_wstring(i) + L" does not answer CB_GETLBTEXT");
            return kFailed;
        }
        text.resize(static_cast<size_t>(copied));
        print_line(text);
    }
    return kOk;
}

// Drops the list down (show) or closes it (hide) and waits until the combo box says so; on show
// prints "X Y W H" of the dropped list on the desktop, for a picture that holds it.
int cmd_combo_drop(const Options& options, const Args& args) {
    bool show = args[2] == L"show";
    if (!show && args[2] != L"hide") {
        print_error(L"show or hide, not " + args[2]);
        return kUsage;
    }
    HWND combo = wait_control(args[0], args[1], options.timeout_ms);
    if (!combo || !is_combo(combo, args[1]))
        return kFailed;
    LRESULT ignored = 0;
    if (!send(combo, CB_SHOWDROPDOWN, show ? TRUE : FALSE, 0, ignored)) {
        print_error(L"the combo box does not answer CB_SHOWDROPDOWN");
        return kFailed;
    }
    Deadline deadline(options.timeout_ms);
    for (;;) {
        LRESULT dropped = 0;
        if (send(combo, CB_GETDROPPEDSTATE, 0, 0, dropped) && (dropped != 0) == show)
            break;
        if (deadline.passed()) {
            print_error(std::wstring(L"the list is still ") + (show ? L"closed" : L"dropped down"));
            return kFailed;
        }
        Sleep(kPollMs);
    }
    if (!show)
        return kOk;
    ListSearch search{GetWindowThreadProcessId(combo, nullptr)};
    for (;;) {
        EnumWindows(match_list, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            break;
        if (deadline.passed()) {
            print_error(L"the combo box says it is dropped down, but no list window shows");
            return kFailed;
        }
        Sleep(kPollMs);
    }
    RECT rect{};
    GetWindowRect(search.found, &rect);
    print_line(std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " +
               std::to_wstring(rect.right - rect.left) + L" " +
               std::to_wstring(rect.bottom - rect.top));
    return kOk;
}

// How the entries fit the list they drop into: "widest W INDEX list W H row H entries N", with
// W the width the widest entry (INDEX) needs in the list's own font and the list's client size
// beside it. Font handles are private to a process, so the probe measures inside the program.
int cmd_combo_fit(const Options& options, const Args& args) {
    HWND combo = wait_control(args[0], args[1], options.timeout_ms);
    if (!combo || !is_combo(combo, args[1]))
        return kFailed;
    ListProbeBlock block{};
    block.combo = combo;
    std::wstring why;
    if (!run_in_program(combo, kListProbe, &block, sizeof block, why)) {
        print_error(why);
        return kFailed;
    }
    if (block.status != 0) {
        print_error(block.status == 1   ? L"the combo box has no list window"
                    : block.status == 2 ? L"the list does not answer"
                                        : L"an entry is longer than 511 characters");
        return kFailed;
    }
    print_line(L"widest " + std::to_wstring(block.widest_width) + L" " +
               std::to_wstring(block.widest_index) + L" list " +
               std::to_wstring(block.client_width) + L" " + std::to_wstring(block.client_height) +
               L" row " + std::to_wstring(block.item_height) + L" entries " +
               std::to_wstring(block.count));
    return kOk;
}

// Pictures the dropped list inside the program, into FILE (a 32-bit BMP), and prints "X Y W H":
// where that picture (the list's window) lies on the desktop. A screenshot under Wine 8 shows
// the list black (probe.h).
int cmd_combo_capture(const Options& options, const Args& args) {
    HWND combo = wait_control(args[0], args[1], options.timeout_ms);
    if (!combo || !is_combo(combo, args[1]))
        return kFailed;
    LRESULT dropped = 0;
    if (!send(combo, CB_GETDROPPEDSTATE, 0, 0, dropped) || dropped == 0) {
        print_error(L"the list of " + args[1] + L" is not dropped down");
        return kFailed;
    }
    auto block = std::make_unique<CaptureProbeBlock>();
    block->combo = combo;
    if (args[2].size() >= MAX_PATH) {
        print_error(L"the file name is too long");
        return kUsage;
    }
    args[2].copy(block->path, args[2].size());
    std::wstring why;
    if (!run_in_program(combo, kCaptureProbe, block.get(), sizeof *block, why)) {
        print_error(why);
        return kFailed;
    }
    if (block->status != 0) {
        print_error(block->status == 1   ? L"the combo box has no list window"
                    : block->status == 2 ? L"the list did not print itself"
                                         : L"the picture could not be written to " + args[2]);
        return kFailed;
    }
    print_line(std::to_wstring(block->left) + L" " + std::to_wstring(block->top) + L" " +
               std::to_wstring(block->width) + L" " + std::to_wstring(block->height));
    return kOk;
}

}  // namespace e2e
