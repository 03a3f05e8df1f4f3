#include "inf/model_check.h"

#include <algorithm>

#include "inf/models.h"
#include "platform/error.h"

namespace inf {

namespace {

constexpr std::size_t kModelsShown = 10;

}  // namespace

std::string undeclaredModelText(const std::string& infFile, const std::string& model,
                                platform::Architecture architecture,
                                const std::vector<std::string>& declared) {
    std::string text = "INF檔「" + infFile + "」沒有為這部電腦（" +
                       platform::architectureName(architecture) + "）宣告型號「" + model + "」。";
    if (declared.empty())
        return text + "\r\n它沒有為這部電腦宣告任何型號。";
    text += "\r\n它宣告的型號：";
    for (std::size_t i = 0; i < declared.size() && i < kModelsShown; ++i)
        text += "\r\n" + declared[i];
    if (declared.size() > kModelsShown)
        text += "\r\n…（共 " + std::to_string(declared.size()) + " 個）";
    return text;
}

std::optional<std::string> undeclaredModel(platform::Services& os, const std::string& infFile,
                                           const std::string& model) {
    std::optional<Document> document;
    try {
        document = Document::fromBytes(os.files.readAll(infFile), os.codepage);
    } catch (const platform::Error& e) {
        os.log.write("無法讀取 INF 檔 " + infFile + "，不檢查型號：" + e.description());
        return std::nullopt;
    }
    const platform::WindowsTarget target = os.process.target();
    const ModelList list = readModels(*document, target);
    if (!list.hasManufacturer ||
        std::any_of(list.models.begin(), list.models.end(),
                    [&](const std::string& declared) { return sameModel(declared, model); })) {
        return std::nullopt;
    }
    return undeclaredModelText(infFile, model, target.architecture, list.models);
}

}  // namespace inf
