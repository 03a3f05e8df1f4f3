// Real driver INF files as printer makers and Windows ship them (tests/inf/corpus, sources in
// SOURCES.md there): the models the reader lists for x64, x86 and ARM64 Windows 10 are the ones
// worked out by hand from each file.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "inf/models.h"
#include "platform/sim/codepage.h"

namespace {

namespace fs = std::filesystem;
using platform::Architecture;

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::vector<std::string> linesOf(const fs::path& file) {
    std::vector<std::string> lines;
    std::istringstream in(bytesOf(file));
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(InfCorpus, EveryFileListsTheModelsItDeclaresForEachArchitecture) {
    const fs::path corpus = VELMORA_INF_CORPUS;
    const sim::SimCodepage cp950(950);
    struct Target {
        Architecture architecture;
        const char* suffix;
    };
    const Target targets[] = {
        {Architecture::Amd64, "amd64"}, {Architecture::X86, "x86"}, {Architecture::Arm64, "arm64"}};
    std::size_t files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(corpus)) {
        if (entry.path().extension() != ".inf")
            continue;
        ++files;
        const std::string name = entry.path().stem().string();
        const inf::Document document = inf::Document::fromBytes(bytesOf(entry.path()), cp950);
        for (const Target& t : targets) {
            fs::path expected = corpus / (name + "." + t.suffix + ".txt");
            if (!fs::exists(expected))
                expected = corpus / (name + ".amd64.txt");
            ASSERT_TRUE(fs::exists(expected)) << name;
            platform::WindowsTarget windows;
            windows.architecture = t.architecture;
            EXPECT_EQ(inf::readModels(document, windows).models, linesOf(expected))
                << name << " on " << t.suffix;
        }
    }
    EXPECT_GE(files, 20u);
}

}  // namespace
