#include "profile/profile_store.h"

#include "platform/error.h"
#include "text/text.h"

namespace profile {

namespace {
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
}

std::string decodeProfileBytes(const std::string& bytes, const platform::Codepage& codepage) {
    if (text::startsWith(bytes, kUtf8Bom))
        return bytes.substr(kUtf8Bom.size());
    if (auto utf16 = text::fromUtf16WithBom(bytes))
        return *utf16;
    return codepage.decode(bytes);
}

void ProfileStore::ensureExists() {
    const std::string name(kFileName);
    if (files_.exists(name))
        return;
    files_.append(name, codepage_.encode(formatLine(defaultProfile())));
}

std::string ProfileStore::readFirstLine() {
    return firstLine(decodeProfileBytes(files_.readAll(std::string(kFileName)), codepage_));
}

std::vector<std::string> ProfileStore::readParts() {
    std::string line = readFirstLine();
    return splitLine(line, chooseSeparator(line));
}

InstallProfile ProfileStore::read() {
    return fromParts(readParts());
}

void ProfileStore::write(const InstallProfile& profile) {
    const std::string* fields[] = {&profile.marker,      &profile.printerAddress,
                                   &profile.printerName, &profile.modelName,
                                   &profile.infFile,     &profile.optionFlags};
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        std::string bad = codepage_.firstUnstorable(*fields[i]);
        if (!bad.empty()) {
            throw platform::Error(platform::errors::kInvalidProcedureCall,
                                  std::string("「") + kFieldNames[i] + "」的字元「" + bad +
                                      "」無法以系統字碼頁 " + std::to_string(codepage_.id()) +
                                      " 儲存。",
                                  "profile.write");
        }
    }
    files_.writeAtomically(std::string(kFileName), codepage_.encode(formatLine(profile)));
}

}  // namespace profile
