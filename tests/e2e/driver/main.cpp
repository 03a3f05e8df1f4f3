// velmora-e2e.exe [--desktop=NAME] [--timeout=MS] SUBCOMMAND ARGS...
// Runs beside Velmora.exe under Wine and finds its windows by the VelmoraControl property
// ("Form.Control" for controls, the form name for the form's own window).
#include "driver.h"
#include "serve.h"

#include <array>
#include <string_view>

namespace e2e {
namespace {

struct Command {
    std::wstring_view name;
    size_t min_args;
    size_t max_args;
    std::wstring_view usage;
    int (*run)(const Options&, const Args&);
};

constexpr std::array kCommands{
    Command{L"wait-window", 2, 2, L"TITLE TIMEOUT-MS", cmd_wait_window},
    Command{L"wait-gone", 2, 2, L"TITLE TIMEOUT-MS", cmd_wait_gone},
    Command{L"wait-control", 2, 3, L"TITLE FORM.CONTROL [TIMEOUT-MS]", cmd_wait_control},
    Command{L"get-text", 2, 2, L"TITLE FORM.CONTROL", cmd_get_text},
    Command{L"is-enabled", 2, 2, L"TITLE FORM.CONTROL", cmd_is_enabled},
    Command{L"is-visible", 2, 2, L"TITLE FORM.CONTROL", cmd_is_visible},
    Command{L"set-text", 3, 3, L"TITLE FORM.CONTROL TEXT", cmd_set_text},
    Command{L"click", 2, 2, L"TITLE FORM.CONTROL", cmd_click},
    Command{L"key", 3, 3, L"TITLE FORM.CONTROL KEY", cmd_key},
    Command{L"type", 3, 3, L"TITLE FORM.CONTROL TEXT", cmd_type},
    Command{L"window-rect", 1, 2, L"TITLE [FORM.CONTROL]", cmd_window_rect},
    Command{L"client-rect", 1, 2, L"TITLE [FORM.CONTROL]", cmd_client_rect},
    Command{L"repaint", 2, 2, L"TITLE TIMEOUT-MS", cmd_repaint},
    Command{L"list", 1, 1, L"TITLE", cmd_list},
    Command{L"close", 1, 1, L"TITLE", cmd_close},
    Command{L"terminate", 1, 1, L"TITLE", cmd_terminate},
    Command{L"process-count", 1, 1, L"IMAGE.exe", cmd_process_count},
    Command{L"hold-file", 3, 3, L"PATH RELEASE-FILE TIMEOUT-MS", cmd_hold_file},
    Command{L"kill-process", 1, 1, L"IMAGE.exe", cmd_kill_process},
    Command{L"menu", 2, 2, L"TITLE CAPTION[/CAPTION...]", cmd_menu},
    Command{L"menu-list", 1, 1, L"TITLE", cmd_menu_list},
    Command{L"is-topmost", 1, 2, L"TITLE [FORM]", cmd_is_topmost},
    Command{L"wait-exit", 2, 2, L"IMAGE.exe TIMEOUT-MS", cmd_wait_exit},
    Command{L"get-check", 2, 2, L"TITLE FORM.CONTROL", cmd_get_check},
    Command{L"move", 3, 3, L"TITLE X Y", cmd_move},
    Command{L"text-fit", 2, 2, L"TITLE FORM.CONTROL", cmd_text_fit},
    Command{L"combo-items", 2, 2, L"TITLE FORM.CONTROL", cmd_combo_items},
    Command{L"combo-drop", 3, 3, L"TITLE FORM.CONTROL show|hide", cmd_combo_drop},
    Command{L"combo-fit", 2, 2, L"TITLE FORM.CONTROL", cmd_combo_fit},
    Command{L"combo-capture", 3, 3, L"TITLE FORM.CONTROL FILE.bmp", cmd_combo_capture},
    Command{L"focused", 1, 1, L"TITLE", cmd_focused},
    Command{L"focus", 2, 2, L"TITLE FORM.CONTROL", cmd_focus},
    Command{L"tab", 1, 1, L"TITLE", cmd_tab},
    Command{L"msgbox-text", 1, 1, L"TITLE", cmd_msgbox_text},
    Command{L"msgbox-press", 2, 2, L"TITLE ok|cancel|yes|no|retry|ID", cmd_msgbox_press},
    Command{L"dpi", 0, 0, L"", cmd_dpi},
    Command{L"wmi-own-address", 0, 0, L"", cmd_wmi_own_address},
    Command{L"wmi-adapters", 0, 0, L"", cmd_wmi_adapters},
    Command{L"self-test", 0, 0, L"", cmd_self_test},
    Command{L"argv-compare", 1, 1, L"FILE", cmd_argv_compare},
    Command{L"menu-self-test", 0, 0, L"", cmd_menu_self_test},
};

int usage() {
    std::wstring text =
        L"usage: velmora-e2e.exe [--desktop=NAME] [--timeout=MS] SUBCOMMAND ARGS...";
    for (const auto& command : kCommands)
        text += L"\n  " + std::wstring(command.name) + (command.usage.empty() ? L"" : L" ") +
                std::wstring(command.usage);
    print_error(text);
    return kUsage;
}

}  // namespace
}  // namespace e2e

int e2e::run(int argc, wchar_t** argv) {
    using namespace e2e;
    Options options;
    int index = 1;
    for (; index < argc; ++index) {
        std::wstring_view arg = argv[index];
        if (arg.starts_with(L"--desktop=")) {
            options.desktop = arg.substr(10);
        } else if (arg.starts_with(L"--timeout=")) {
            unsigned long ms = 0;
            if (!parse_number(std::wstring(arg.substr(10)), ms))
                return usage();
            options.timeout_ms = static_cast<DWORD>(ms);
        } else {
            break;
        }
    }
    if (index >= argc)
        return usage();
    std::wstring_view name = argv[index];
    Args args(argv + index + 1, argv + argc);
    for (const auto& command : kCommands) {
        if (command.name != name)
            continue;
        if (args.size() < command.min_args || args.size() > command.max_args)
            return usage();
        if (!options.desktop.empty() && !join_desktop(options.desktop, options.timeout_ms))
            return kFailed;
        return command.run(options, args);
    }
    print_error(L"unknown subcommand " + std::wstring(name));
    return usage();
}

// `velmora-e2e.exe serve` takes its command lines from stdin (serve.cpp).
int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wstring_view(argv[1]) == L"serve")
        return e2e::serve();
    return e2e::run(argc, argv);
}
