#include "command/switches.h"

#include <array>
#include <iterator>

#include "text/text.h"

namespace command {

namespace {

enum class Switch { Quiet, Passive, Ip, Name, Log, Uninstall, Help, Count };

struct SwitchName {
    const char* name;  // lower case, without its / or -
    Switch which;
};

// Windows Installer's names and the short ones deployment tools commonly pass.
constexpr SwitchName kNames[] = {
    {"quiet", Switch::Quiet},  {"qn", Switch::Quiet},        {"s", Switch::Quiet},
    {"silent", Switch::Quiet}, {"passive", Switch::Passive}, {"ip", Switch::Ip},
    {"name", Switch::Name},    {"log", Switch::Log},         {"uninstall", Switch::Uninstall},
    {"x", Switch::Uninstall},  {"?", Switch::Help},          {"help", Switch::Help},
    {"h", Switch::Help},
};

bool takesValue(Switch which) {
    return which == Switch::Ip || which == Switch::Name || which == Switch::Log;
}

const SwitchName* known(const std::string& lowerName) {
    for (const SwitchName& n : kNames) {
        if (lowerName == n.name)
            return &n;
    }
    return nullptr;
}

std::string inQuotes(const std::string& text) {
    return "「" + text + "」";
}

BadSwitch refuse(const std::string& argument, std::string reason) {
    return BadSwitch{argument, std::move(reason)};
}

// Why a switch's value is refused: one that takes a value needs a non-empty one, the others none.
std::optional<BadSwitch> badValue(const std::string& argument, Switch which,
                                  const std::optional<std::string>& value) {
    if (takesValue(which) && !value) {
        return refuse(argument,
                      "參數 " + inQuotes(argument) + " 需要一個值，寫成 " + argument + "=值。");
    }
    if (takesValue(which) && value->empty())
        return refuse(argument, "參數 " + inQuotes(argument) + " 的值是空的。");
    if (!takesValue(which) && value)
        return refuse(argument, "參數 " + inQuotes(argument) + " 不接受值。");
    return std::nullopt;
}

void apply(Switches& result, Switch which, const std::optional<std::string>& value) {
    switch (which) {
        case Switch::Quiet:
            result.ui = Ui::Quiet;
            break;
        case Switch::Passive:
            result.ui = Ui::Passive;
            break;
        case Switch::Ip:
            result.ip = value;
            break;
        case Switch::Name:
            result.name = value;
            break;
        case Switch::Log:
            result.log = value;
            break;
        case Switch::Uninstall:
            result.uninstall = true;
            break;
        case Switch::Help:
            result.help = true;
            break;
        case Switch::Count:
            break;
    }
}

}  // namespace

bool asksUnattended(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        if (argument.size() < 2 || (argument.front() != '/' && argument.front() != '-'))
            continue;
        const SwitchName* name = known(text::asciiLower(argument.substr(1)));
        if (name != nullptr && (name->which == Switch::Quiet || name->which == Switch::Passive))
            return true;
    }
    return false;
}

std::variant<Switches, BadSwitch> parseSwitches(const std::vector<std::string>& arguments) {
    Switches result;
    // The argument that gave each switch, to name it when an alias gives it again.
    std::array<std::optional<std::string>, static_cast<std::size_t>(Switch::Count)> given;
    auto seen = [&](Switch which) -> std::optional<std::string>& {
        return given[static_cast<std::size_t>(which)];
    };
    for (const std::string& argument : arguments) {
        if (argument.empty())
            return refuse(argument, "空的參數「」：參數以 / 或 - 開頭，例如 /quiet。");
        if (argument.front() != '/' && argument.front() != '-') {
            return refuse(argument,
                          inQuotes(argument) + " 不是參數：參數以 / 或 - 開頭，例如 /quiet。");
        }
        const std::string body = argument.substr(1);
        const std::size_t equals = body.find('=');
        const SwitchName* name = known(text::asciiLower(body.substr(0, equals)));
        if (name == nullptr)
            return refuse(argument, "不認得的參數 " + inQuotes(argument) + "。");
        if (const std::optional<std::string>& earlier = seen(name->which)) {
            return refuse(argument, "參數 " + inQuotes(argument) + " 重複了：" +
                                        inQuotes(*earlier) + " 已經指定過同一個參數。");
        }
        std::optional<std::string> value;
        if (equals != std::string::npos)
            value = body.substr(equals + 1);
        if (std::optional<BadSwitch> bad = badValue(argument, name->which, value))
            return *bad;
        const Switch other = name->which == Switch::Quiet     ? Switch::Passive
                             : name->which == Switch::Passive ? Switch::Quiet
                                                              : Switch::Count;
        if (other != Switch::Count && seen(other)) {
            return refuse(argument, inQuotes(argument) + " 不能與 " + inQuotes(*seen(other)) +
                                        " 一起使用：安裝時只能選一種畫面。");
        }
        seen(name->which) = argument;
        apply(result, name->which, value);
    }
    return result;
}

std::string usageText() {
    return "用法：[/quiet | /passive] [/ip=位址] [/name=名稱] [/log=路徑] [/uninstall] [/?]\n"
           "\n"
           "/quiet（或 /qn、/s、/silent）：不顯示任何視窗，也不詢問\n"
           "/passive：只顯示進度，不詢問\n"
           "/ip=位址：印表機的 IP 位址\n"
           "/name=名稱：印表機的名稱\n"
           "/log=路徑：安裝記錄寫到這個檔案\n"
           "/uninstall（或 /x）：移除印表機和它的連接埠\n"
           "/?（或 /help、/h）：顯示這份說明\n"
           "\n"
           "參數以 / 或 - 開頭，不分大小寫；值寫在 = 之後。\n"
           "\n"
           "結束代碼：\n"
           "0：完成所有要求的動作\n"
           "1602：使用者取消，沒有安裝\n"
           "1603：有步驟失敗，或程式因錯誤而停止\n"
           "1620：安裝套件損壞\n"
           "1639：命令列參數無效\n";
}

}  // namespace command
