#include "maker/profile_fields.h"

#include "text/text.h"

namespace maker {

namespace {

bool hasControlCharacter(const std::string& value) {
    for (char32_t c : text::toCodePoints(value)) {
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            return true;
    }
    return false;
}

// Empty, or only blanks: spaces, the ideographic space a Chinese keyboard types, no-break spaces.
bool isBlank(const std::string& value) {
    for (char32_t c : text::toCodePoints(value)) {
        if (c != U' ' && c != U'\u3000' && c != U'\u00A0')
            return false;
    }
    return true;
}

}  // namespace

std::optional<std::string> refusedField(const profile::InstallProfile& p,
                                        const platform::Codepage& codepage) {
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
    // The fields the technician fills in: an empty one, or one still holding the default line's
    // example text, would reach the end user's command line as it is.
    const std::pair<const char*, const std::string*> filled[] = {
        {"INF檔名", &p.infFile}, {"印表機模組", &p.modelName}, {"印表機名稱", &p.printerName}};
    const std::string_view placeholders[] = {profile::kDefaultInfFile, profile::kDefaultModelName,
                                             profile::kDefaultPrinterName};
    for (std::size_t i = 0; i < std::size(filled); ++i) {
        const std::string name = std::string("「") + filled[i].first + "」";
        const std::string& value = *filled[i].second;
        if (isBlank(value))
            return name + "不可空白。";
        if (value == placeholders[i])
            return name + "仍是範例文字「" + value + "」，請填入實際的內容。";
    }
    for (const Field& f : fields) {
        const std::string name = std::string("「") + f.label + "」";
        if (f.value.find(',') != std::string::npos)
            return name + "不可包含逗號「,」。";
        if (f.value.find_first_of("\r\n") != std::string::npos)
            return name + "不可包含換行。";
        if (hasControlCharacter(f.value))
            return name + "不可包含控制字元（例如 Tab）。";
        if (f.quoteBreaksLines && f.value.find('"') != std::string::npos)
            return name + "不可包含雙引號「\"」。";
        if (!f.value.empty() && f.value.back() == '\\')
            return name + "不可以反斜線「\\」結尾。";
        std::string bad = codepage.firstUnstorable(f.value);
        if (!bad.empty()) {
            return name + "的字元「" + bad + "」無法以系統字碼頁 " + std::to_string(codepage.id()) +
                   " 儲存，請改用其他字元。";
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
