#include "profile/profile_store.h"

#include <gtest/gtest.h>

#include "platform/sim/services.h"

namespace {

class ProfileStoreTest : public ::testing::Test {
  protected:
    sim::Transcript transcript;
    sim::Machine machine{transcript};
    sim::SimCodepage codepage{950};
    sim::SimFiles files{machine, codepage};
    profile::ProfileStore store{files, codepage};
};

TEST_F(ProfileStoreTest, MissingFileGetsTheDefaultLineOnceAndOnlyOnce) {
    store.ensureExists();
    std::string first = machine.file("ip.ini")->bytes;
    store.ensureExists();
    EXPECT_EQ(machine.file("ip.ini")->bytes, first);
    EXPECT_EQ(codepage.decode(first), profile::formatLine(profile::defaultProfile()));
    // Looked for twice, written once.
    std::vector<std::string> ops;
    for (const auto& line : transcript.lines())
        ops.push_back(line.find("op")->asString());
    EXPECT_EQ(ops, (std::vector<std::string>{"file.exists", "file.append", "file.exists"}));
}

TEST_F(ProfileStoreTest, HiddenFileGetsTheDefaultLineAppendedAndItsFirstLineStillCounts) {
    sim::SimFile& f = machine.createFile("ip.ini");
    f.bytes = codepage.encode("ip,10.0.0.7,Office,M,x.inf,100\r\n");
    f.hidden = true;
    store.ensureExists();
    EXPECT_EQ(
        codepage.decode(machine.file("ip.ini")->bytes),
        "ip,10.0.0.7,Office,M,x.inf,100\r\n" + profile::formatLine(profile::defaultProfile()));
    EXPECT_EQ(store.read().printerAddress, "10.0.0.7");
}

TEST_F(ProfileStoreTest, FailedWriteLeavesTheOldProfileAndRaises) {
    machine.createFile("ip.ini").bytes = codepage.encode("ip,10.0.0.7,Office,M,x.inf,100\r\n");
    sim::Fault fault;
    fault.match = sim::json::parse(R"({"op":"file.write","name":"ip.ini"})");
    machine.faults.push_back(fault);
    profile::InstallProfile changed = store.read();
    changed.printerAddress = "10.0.0.8";
    try {
        store.write(changed);
        ADD_FAILURE() << "the write did not fail";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), platform::errors::kPermissionDenied);
        ASSERT_TRUE(e.call().has_value());
        EXPECT_NE(e.call()->find("\"file.write\""), std::string::npos);
    }
    EXPECT_EQ(store.read().printerAddress, "10.0.0.7");
}

TEST_F(ProfileStoreTest, WriteReplacesEveryLineWithOneCommaLine) {
    machine.createFile("ip.ini").bytes =
        codepage.encode("ip\\10.0.0.7\\Office\\M\\x.inf\\100\r\nsecond line\r\n");
    profile::InstallProfile p = store.read();
    EXPECT_EQ(p.printerName, "Office");
    store.write(p);
    EXPECT_EQ(codepage.decode(machine.file("ip.ini")->bytes), "ip,10.0.0.7,Office,M,x.inf,100\r\n");
}

TEST_F(ProfileStoreTest, MissingFileRaisesFileNotFoundOnRead) {
    try {
        store.readFirstLine();
        ADD_FAILURE() << "no error";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.number(), platform::errors::kFileNotFound);
    }
}

}  // namespace
