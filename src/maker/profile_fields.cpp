#include "maker/profile_fields.h"

namespace maker {

std::optional<std::string> refusedField(const profile::InstallProfile& p) {
    struct Field {
        const char* label;
        const std::string& value;
        bool quoteBreaksLines;
    };
    const Field fields[] = {
        {"印表機IP", p.printerAddress, false}, {"印表機名稱", p.printerName, true},
        {"印表機模組", p.modelName, true},     {"INF檔名", p.infFile, true},
        {"預設值", p.optionFlags, false},
    };
    for (const Field& f : fields) {
        if (f.value.find(',') != std::string::npos) {
            return std::string("「") + f.label + "」不可包含逗號「,」。";
        }
        if (f.value.find_first_of("\r\n") != std::string::npos) {
            return std::string("「") + f.label + "」不可包含換行。";
        }
        if (f.quoteBreaksLines && f.value.find('"') != std::string::npos) {
            return std::string("「") + f.label + "」不可包含雙引號「\"」。";
        }
    }
    return std::nullopt;
}

std::string optionFlagsFrom(int setAsDefault, int applyPreferenceFile, int twoPrinters) {
    std::string flags;
    for (int v : {setAsDefault, applyPreferenceFile, twoPrinters})
        flags += v == 1 ? '1' : '0';
    return flags;
}

std::string writeFailureText(const std::string& reason) {
    return "無法寫入 ip.ini：" + reason + "\r\n\r\n原來的 ip.ini 沒有變更。";
}

}  // namespace maker
