#include "app/inf_check.h"

#include <algorithm>
#include <optional>

#include "app/damaged_package.h"
#include "inf/models.h"

namespace app {

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

void stopUnlessModelDeclared(forms::Runtime& runtime, platform::Services& os,
                             const std::string& infFile, const std::string& model) {
    std::optional<inf::Document> document;
    try {
        document = inf::Document::fromBytes(os.files.readAll(infFile), os.codepage);
    } catch (const platform::Error& e) {
        os.log.write("無法讀取 INF 檔 " + infFile + "，不檢查型號：" + e.description());
        return;
    }
    const platform::WindowsTarget target = os.process.target();
    const inf::ModelList list = inf::readModels(*document, target);
    if (!list.hasManufacturer ||
        std::any_of(list.models.begin(), list.models.end(),
                    [&](const std::string& declared) { return inf::sameModel(declared, model); })) {
        return;
    }
    stopDamagedPackage(runtime, os,
                       undeclaredModelText(infFile, model, target.architecture, list.models));
}

}  // namespace app
