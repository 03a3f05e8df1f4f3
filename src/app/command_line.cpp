#include "app/command_line.h"

#include "profile/address_check.h"
#include "profile/field_rules.h"

namespace app {

std::optional<std::string> refusedSwitchValue(const command::Switches& switches,
                                              const platform::Codepage& codepage) {
    if (switches.ip && !profile::isAcceptableAddress(*switches.ip, codepage)) {
        return "「/ip=" + *switches.ip +
               "」的位址不正確：請給 IP 位址（例如 "
               "10.0.0.9）或網路印表機路徑（\\\\主機\\共用名稱）。";
    }
    if (switches.name) {
        if (profile::isBlankText(*switches.name))
            return std::string("「/name=」的印表機名稱只有空白。");
        if (auto refused =
                profile::refusedFieldText("/name= 的印表機名稱", *switches.name, codepage, true))
            return refused;
    }
    return std::nullopt;
}

}  // namespace app
