#include "maker/model_texts.h"

#include "text/text.h"

namespace maker {

std::string noModelsText(const std::string& infFile, platform::Architecture here,
                         const std::vector<platform::Architecture>& others) {
    std::string text = "INF檔「" + infFile + "」沒有為這部電腦（" +
                       platform::architectureName(here) + "）宣告任何印表機型號。";
    if (others.empty())
        return text;
    text += "\r\n\r\n這個檔案只有這些架構的型號：";
    for (std::size_t i = 0; i < others.size(); ++i)
        text += (i == 0 ? "" : "、") + std::string(platform::architectureName(others[i]));
    return text + "\r\n請改用適合 " + platform::architectureName(here) + " 的驅動程式。";
}

std::string infNotInFolderText(const std::string& infFile) {
    return "INF檔「" + infFile +
           "」不在安裝程式的資料夾中，安裝時會找不到驅動程式。\r\n\r\n仍要儲存嗎？";
}

std::string undeclaredModelQuestion(const std::string& infFile, const std::string& model) {
    return "INF檔「" + infFile + "」沒有宣告型號「" + model +
           "」，安裝時 Windows 會找不到這個型號。\r\n\r\n仍要儲存嗎？";
}

std::string reportedModelText(const std::string& reported) {
    std::u32string points = text::toCodePoints(reported);
    for (char32_t& c : points) {
        if (text::isControl(c))
            c = U' ';
    }
    return text::fromCodePoints(points);
}

std::string reportedModelLabel(const std::string& reported) {
    return "印表機回報：" + reportedModelText(reported);
}

}  // namespace maker
