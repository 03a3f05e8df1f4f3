#include "profile/profile_store.h"

#include "text/text.h"

namespace profile {

namespace {
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
}

std::string decodeProfileBytes(const std::string& bytes, const platform::Codepage& codepage) {
    if (text::startsWith(bytes, kUtf8Bom))
        return bytes.substr(kUtf8Bom.size());
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

InstallProfile ProfileStore::read() {
    std::string line = readFirstLine();
    return fromParts(splitLine(line, chooseSeparator(line)));
}

void ProfileStore::write(const InstallProfile& profile) {
    files_.writeAtomically(std::string(kFileName), codepage_.encode(formatLine(profile)));
}

}  // namespace profile
