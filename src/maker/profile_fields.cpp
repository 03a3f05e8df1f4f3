#include "maker/profile_fields.h"

#include "profile/field_rules.h"

namespace maker {

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
        if (profile::isBlankText(value))
            return name + "不可空白。";
        if (value == placeholders[i])
            return name + "仍是範例文字「" + value + "」，請填入實際的內容。";
    }
    for (const Field& f : fields) {
        if (auto refused =
                profile::refusedFieldText(f.label, f.value, codepage, f.quoteBreaksLines))
            return refused;
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
