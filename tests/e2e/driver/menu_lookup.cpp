#include "menu_lookup.h"

#include "driver.h"

namespace e2e {

std::wstring shown_caption(const std::wstring& raw) {
    std::wstring out;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == L'\t')
            break;
        if (raw[i] == L'&' && i + 1 < raw.size()) {
            out += raw[++i];  // "&&" is a literal ampersand
            continue;
        }
        out += raw[i];
    }
    return out;
}

std::vector<MenuEntry> parse_menu_lines(const std::wstring& lines) {
    std::vector<MenuEntry> entries;
    size_t at = 0;
    while (at < lines.size()) {
        size_t end = lines.find(L'\n', at);
        if (end == std::wstring::npos)
            end = lines.size();
        std::wstring line = lines.substr(at, end - at);
        at = end + 1;
        unsigned long fields[5] = {};
        size_t pos = 0;
        bool ok = true;
        for (unsigned long& field : fields) {
            size_t tab = line.find(L'\t', pos);
            if (tab == std::wstring::npos || !parse_number(line.substr(pos, tab - pos), field)) {
                ok = false;
                break;
            }
            pos = tab + 1;
        }
        if (!ok)
            continue;
        MenuEntry entry;
        entry.depth = static_cast<int>(fields[0]);
        entry.id = static_cast<UINT>(fields[1]);
        entry.state = static_cast<UINT>(fields[2]);
        entry.type = static_cast<UINT>(fields[3]);
        entry.submenu = fields[4] != 0;
        // The caption is the rest of the line: an accelerator's "\t" stays inside it.
        entry.caption = shown_caption(line.substr(pos));
        entries.push_back(std::move(entry));
    }
    return entries;
}

const MenuEntry* find_item(const std::vector<MenuEntry>& entries, const std::wstring& path) {
    std::vector<std::wstring> wanted;
    for (size_t start = 0;;) {
        size_t slash = path.find(L'/', start);
        wanted.push_back(path.substr(start, slash - start));
        if (slash == std::wstring::npos)
            break;
        start = slash + 1;
    }
    std::vector<std::wstring> trail;  // the captions from the bar down to this entry
    for (const MenuEntry& entry : entries) {
        trail.resize(static_cast<size_t>(entry.depth));
        trail.push_back(entry.caption);
        if (entry.submenu || (entry.type & MFT_SEPARATOR))
            continue;
        if (wanted.size() == 1 ? entry.caption == wanted[0] : trail == wanted)
            return &entry;
    }
    return nullptr;
}

}  // namespace e2e

namespace e2e {

namespace {

struct LookupCase {
    const wchar_t* path;
    int expected_id;  // 0: nothing may be found
};

}  // namespace

// The lookup runs on a made-up menu first, so a wrong item chosen in a scenario is the
// program's doing and not the driver's.
int cmd_menu_self_test(const Options&, const Args&) {
    const std::wstring lines =
        L"0\t10\t0\t0\t1\t&File\n"
        L"1\t11\t0\t0\t0\t&Open\tCtrl+O\n"
        L"1\t0\t0\t2048\t0\t\n"  // a separator
        L"1\t12\t3\t0\t0\tSave\n"
        L"1\t13\t0\t0\t0\t關於\n"
        L"1\t15\t0\t0\t1\tRecent\n"
        L"2\t14\t0\t0\t0\tA&&B\n"
        L"0\t20\t0\t0\t1\t進階\n"
        L"1\t21\t0\t0\t0\t設定值\n"
        L"1\t22\t0\t0\t0\t關於\n"
        L"broken line\n"
        L"0\t31\t0\t0\t0\tHelp";  // no final line break
    const LookupCase cases[] = {
        {L"Open", 11},        {L"File/Open", 11},       {L"關於", 13}, {L"進階/關於", 22},
        {L"進階/設定值", 21}, {L"File/Recent/A&B", 14}, {L"A&B", 14},  {L"Recent/A&B", 0},
        {L"進階", 0},         {L"File/設定值", 0},      {L"Help", 31}, {L"", 0},
        {L"Open\tCtrl+O", 0},
    };
    std::vector<MenuEntry> entries = parse_menu_lines(lines);
    int failed = 0;
    if (entries.size() != 11) {
        print_error(L"parsed " + std::to_wstring(entries.size()) + L" entries, expected 11");
        ++failed;
    }
    for (const LookupCase& c : cases) {
        const MenuEntry* found = find_item(entries, c.path);
        int got = found ? static_cast<int>(found->id) : 0;
        if (got != c.expected_id) {
            print_error(L"\"" + std::wstring(c.path) + L"\": got id " + std::to_wstring(got) +
                        L", expected " + std::to_wstring(c.expected_id));
            ++failed;
        }
    }
    const MenuEntry* save = find_item(entries, L"Save");
    if (!save || !(save->state & MFS_GRAYED)) {
        print_error(L"the grayed state of Save is lost");
        ++failed;
    }
    size_t total = std::size(cases) + 2;
    print_line(std::to_wstring(total - failed) + L" of " + std::to_wstring(total) +
               L" menu lookup cases pass");
    return failed ? kFailed : kOk;
}

}  // namespace e2e
