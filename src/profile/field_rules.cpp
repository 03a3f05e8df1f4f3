#include "profile/field_rules.h"

#include "text/text.h"

namespace profile {

bool isBlankText(const std::string& value) {
    for (char32_t c : text::toCodePoints(value)) {
        if (c != U' ' && c != U'\u3000' && c != U'\u00A0')
            return false;
    }
    return true;
}

std::optional<std::string> refusedFieldText(const std::string& label, const std::string& value,
                                            const platform::Codepage& codepage,
                                            bool quoteBreaksLines) {
    const std::string name = "「" + label + "」";
    if (value.find(',') != std::string::npos)
        return name + "不可包含逗號「,」。";
    if (value.find_first_of("\r\n") != std::string::npos)
        return name + "不可包含換行。";
    if (text::hasControl(value))
        return name + "不可包含控制字元（例如 Tab）。";
    if (quoteBreaksLines && value.find('"') != std::string::npos)
        return name + "不可包含雙引號「\"」。";
    if (!value.empty() && value.back() == '\\')
        return name + "不可以反斜線「\\」結尾。";
    std::string bad = codepage.firstUnstorable(value);
    if (!bad.empty()) {
        return name + "的字元「" + bad + "」無法以系統字碼頁 " + std::to_string(codepage.id()) +
               " 儲存，請改用其他字元。";
    }
    return std::nullopt;
}

}  // namespace profile
