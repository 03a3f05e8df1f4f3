// Shared pieces of velmora-e2e: options, output, and the window lookups the subcommands build on.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Exit codes: the shell scripts tell a failed check from a broken call by these.
inline constexpr int kOk = 0;
inline constexpr int kFailed = 1;  // not found in time, or the operation was refused
inline constexpr int kUsage = 2;

struct Options {
    DWORD timeout_ms = 10000;  // how long a lookup polls before it gives up
    std::wstring desktop;      // desktop to join before touching any window
};

using Args = std::vector<std::wstring>;

// output.cpp
std::string to_utf8(const std::wstring& text);
void print_line(const std::wstring& text);  // UTF-8 on stdout, as the shell wants it
void print_error(const std::wstring& text);
std::wstring win32_error(DWORD code);

// controls.cpp
class Deadline {
  public:
    explicit Deadline(DWORD ms) : end_(GetTickCount64() + ms) {}
    bool passed() const { return GetTickCount64() >= end_; }

  private:
    ULONGLONG end_;
};

bool join_desktop(const std::wstring& name, DWORD timeout_ms);
std::wstring control_name(HWND hwnd);  // the "Form.Control" atom text, or empty
HWND find_top(const std::wstring& title);
std::vector<HWND> find_tops(const std::wstring& title);  // every window with this title
// Polls until the top-level window with this exact title holds a window (itself or a descendant)
// whose VelmoraControl name is `name`; reports what is missing on timeout.
HWND wait_control(const std::wstring& title, const std::wstring& name, DWORD timeout_ms);
// FindWindowW also finds hidden windows; `visible` waits until the user could see it.
HWND wait_top(const std::wstring& title, DWORD timeout_ms, bool visible = false);
HWND wait_message_box(const std::wstring& title, DWORD timeout_ms);
bool read_text(HWND hwnd,
               std::wstring& text);  // WM_GETTEXT: GetWindowTextW is blind across processes
bool parse_number(const std::wstring& text, unsigned long& value);

// process_commands.cpp
std::vector<DWORD> processes_named(const std::wstring& image);

// Subcommands; each returns an exit code.
int cmd_wait_window(const Options&, const Args&);
int cmd_wait_gone(const Options&, const Args&);
int cmd_wait_control(const Options&, const Args&);
int cmd_get_text(const Options&, const Args&);
int cmd_is_enabled(const Options&, const Args&);
int cmd_is_visible(const Options&, const Args&);
int cmd_set_text(const Options&, const Args&);
int cmd_click(const Options&, const Args&);
int cmd_key(const Options&, const Args&);
int cmd_type(const Options&, const Args&);
int cmd_window_rect(const Options&, const Args&);
int cmd_repaint(const Options&, const Args&);
int cmd_client_rect(const Options&, const Args&);
int cmd_list(const Options&, const Args&);
int cmd_close(const Options&, const Args&);
int cmd_terminate(const Options&, const Args&);
int cmd_process_count(const Options&, const Args&);
int cmd_hold_file(const Options&, const Args&);
int cmd_kill_process(const Options&, const Args&);
int cmd_msgbox_text(const Options&, const Args&);
int cmd_msgbox_press(const Options&, const Args&);
int cmd_dpi(const Options&, const Args&);
int cmd_wmi_own_address(const Options&, const Args&);
int cmd_wmi_adapters(const Options&, const Args&);
int cmd_self_test(const Options&, const Args&);
int cmd_menu(const Options&, const Args&);
int cmd_menu_list(const Options&, const Args&);
int cmd_is_topmost(const Options&, const Args&);
int cmd_wait_exit(const Options&, const Args&);
int cmd_get_check(const Options&, const Args&);
int cmd_move(const Options&, const Args&);
int cmd_menu_self_test(const Options&, const Args&);
int cmd_text_fit(const Options&, const Args&);
int cmd_combo_items(const Options&, const Args&);
int cmd_combo_drop(const Options&, const Args&);
int cmd_combo_fit(const Options&, const Args&);
int cmd_combo_capture(const Options&, const Args&);
int cmd_focused(const Options&, const Args&);
int cmd_focus(const Options&, const Args&);
int cmd_tab(const Options&, const Args&);
int cmd_argv_compare(const Options&, const Args&);

}  // namespace e2e
