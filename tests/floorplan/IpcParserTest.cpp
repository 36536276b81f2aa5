// The IPC file: its grammar, the version offsets and the sound handling of
// files and entries that cannot be used.
#include <gtest/gtest.h>

#include "FloorplanTestDesign.h"
#include "RunBinary.h"
#include "floorplan/DB.h"

using namespace fptest;

namespace {

// A design of blocks alu, lsq and rob with three versions each.
struct IpcFixture : testing::Test {
  TestDesign t;
  CktInstance* alu = nullptr;
  CktInstance* lsq = nullptr;
  CktInstance* rob = nullptr;
  std::string dir;

  void SetUp() override {
    alu = t.block("alu", 1, 1);
    lsq = t.block("lsq", 1, 1);
    rob = t.block("rob", 1, 1);
    for (CktInstance* i : {alu, lsq, rob}) {
      t.version(i, 2, 2);
      t.version(i, 3, 3);
    }
    dir = osvotest::scratchDir(testing::UnitTest::GetInstance()->current_test_info()->name());
  }

  std::unique_ptr<DB> load(const std::string& text) {
    osvotest::writeFile(dir + "/ipc", text);
    resetOptions(dir + "/ipc");
    return std::make_unique<DB>(t.get(), 20, false, 0, 1.0, 1.0);
  }
};

using Versions = std::map<std::string, int>;

TEST_F(IpcFixture, ConfigurationsCommentsAndBlanks) {
  auto db = load(
      "# machine configurations\n"
      "{alu:1, lsq:0} 1.35\n"
      "  # a second one\n"
      "{rob:2,\n   alu:0 ,lsq : 1}\n  0.9\n");
  ASSERT_EQ(db->configs.size(), 2u);
  // Instances the file does not name take version 0 plus their offset.
  EXPECT_EQ(db->configs[0]->versions, (Versions{{"alu", 1}, {"lsq", 0}, {"rob", 0}}));
  EXPECT_DOUBLE_EQ(db->configs[0]->ipc, 1.35);
  // "lsq " is read up to the colon and names no instance: dropped, then lsq
  // takes its default.
  EXPECT_EQ(db->configs[1]->versions, (Versions{{"alu", 0}, {"lsq", 0}, {"rob", 2}}));
  EXPECT_DOUBLE_EQ(db->configs[1]->ipc, 0.9);
}

TEST_F(IpcFixture, RepeatedNameTakesTheLaterVersion) {
  auto db = load("{alu:1, alu:2} 1.0\n");
  ASSERT_EQ(db->configs.size(), 1u);
  EXPECT_EQ(db->configs[0]->versions["alu"], 2);
}

TEST_F(IpcFixture, MissingClosingBraceDropsTheLastConfiguration) {
  testing::internal::CaptureStderr();
  auto db = load("{alu:1} 1.1\n{alu:2, lsq:1\n");
  std::string err = testing::internal::GetCapturedStderr();
  ASSERT_EQ(db->configs.size(), 1u);
  EXPECT_EQ(db->configs[0]->versions["alu"], 1);
  EXPECT_NE(err.find("configuration 1"), std::string::npos) << err;
}

TEST_F(IpcFixture, MissingIpcValueCountsAsZero) {
  auto db = load("{alu:1} 1.1\n{alu:2}\n{lsq:2} 0.5\n{rob:1}");
  ASSERT_EQ(db->configs.size(), 4u);
  EXPECT_DOUBLE_EQ(db->configs[1]->ipc, 0);
  EXPECT_EQ(db->configs[1]->versions["alu"], 2);
  EXPECT_DOUBLE_EQ(db->configs[2]->ipc, 0.5);
  EXPECT_DOUBLE_EQ(db->configs[3]->ipc, 0);
  EXPECT_EQ(db->configs[3]->versions["rob"], 1);
}

TEST_F(IpcFixture, BlanksAfterTheOpeningBraceBelongToTheName) {
  testing::internal::CaptureStderr();
  auto db = load("{ alu:2} 1.0\n");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(db->configs[0]->versions, (Versions{{"alu", 0}, {"lsq", 0}, {"rob", 0}}));
  EXPECT_NE(err.find("\" alu\""), std::string::npos) << err;
}

TEST_F(IpcFixture, VersionOffsetIsAdded) {
  alu->versionOffset = 1;
  lsq->versionOffset = 2;
  auto db = load("{alu:1} 1.0\n");
  EXPECT_EQ(db->configs[0]->versions, (Versions{{"alu", 2}, {"lsq", 2}, {"rob", 0}}));
  EXPECT_EQ(db->getNodeWidth(alu), 3);
  EXPECT_EQ(db->getNodeWidth(lsq), 3);
}

TEST_F(IpcFixture, UnknownInstanceIsWarnedAboutAndDropped) {
  testing::internal::CaptureStderr();
  auto db = load("{alu:1, fpu:2} 1.0\n");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(db->configs[0]->versions.count("fpu"), 0u);
  EXPECT_EQ(db->configs[0]->versions["alu"], 1);
  EXPECT_NE(err.find("\"fpu\""), std::string::npos) << err;
  EXPECT_NE(err.find("ipc"), std::string::npos) << err;
}

TEST_F(IpcFixture, UnreadableOrEmptyFilesStopTheRun) {
  resetOptions(dir + "/missing");
  EXPECT_EXIT(DB(t.get(), 20, false, 0, 1.0, 1.0), testing::ExitedWithCode(1),
              "cannot open IPC file .*missing");
  osvotest::writeFile(dir + "/empty", "# nothing but a comment\n");
  resetOptions(dir + "/empty");
  EXPECT_EXIT(DB(t.get(), 20, false, 0, 1.0, 1.0), testing::ExitedWithCode(1),
              "IPC file .*empty holds no complete configuration");
  osvotest::writeFile(dir + "/open", "{alu:1, lsq:2");
  resetOptions(dir + "/open");
  EXPECT_EXIT(DB(t.get(), 20, false, 0, 1.0, 1.0), testing::ExitedWithCode(1),
              "no complete configuration");
}

TEST_F(IpcFixture, VersionThatDoesNotExistStopsTheRun) {
  osvotest::writeFile(dir + "/ipc", "{alu:3} 1.0\n");
  resetOptions(dir + "/ipc");
  EXPECT_EXIT(DB(t.get(), 20, false, 0, 1.0, 1.0), testing::ExitedWithCode(1),
              "instance \"alu\" has no version 3");
}

TEST_F(IpcFixture, MalformedVersionEndsReadingWithAWarning) {
  testing::internal::CaptureStderr();
  auto db = load("{alu:1} 1.0\n{lsq:x} 2.0\n{rob:1} 3.0\n");
  std::string err = testing::internal::GetCapturedStderr();
  ASSERT_EQ(db->configs.size(), 1u);
  EXPECT_NE(err.find("\"lsq\" has no version number"), std::string::npos) << err;
}

}  // namespace
