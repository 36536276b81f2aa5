// The IPC file: its grammar, the version offsets and the sound handling of
// files and entries that cannot be used.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "FloorplanTestDesign.h"

using namespace fptest;

namespace {

// A design of blocks alu, lsq and rob with three versions each.
struct IpcFixture : testing::Test {
  TestDesign t;
  CktInstance* alu = t.block("alu", 1, 1);
  CktInstance* lsq = t.block("lsq", 1, 1);
  CktInstance* rob = t.block("rob", 1, 1);
  std::string file = testDir() + "/ipc";

  void SetUp() override {
    for (CktInstance* i : {alu, lsq, rob}) {
      t.version(i, 2, 2);
      t.version(i, 3, 3);
    }
  }

  std::unique_ptr<DB> load(const std::string& text) {
    osvotest::writeFile(file, text);
    resetOptions(file);
    return quietDB(t);
  }
};

// The configurations read, one line each: the versions, then the IPC.
std::string describe(const DB& db) {
  std::ostringstream out;
  for (const auto& cfg : db.configs) {
    for (const auto& [name, version] : cfg->versions) out << name << ":" << version << " ";
    out << "= " << cfg->ipc << "\n";
  }
  return out.str();
}

TEST_F(IpcFixture, GrammarCases) {
  struct Case {
    const char* text;
    const char* configs;
    const char* err;  // part of what is printed on standard error, or nothing
  };
  const Case cases[] = {
      // Comments and blanks; names the file does not give take version 0. "lsq "
      // is read up to the colon and names no instance: dropped, lsq takes 0.
      {"# machine configurations\n{alu:1, lsq:0} 1.35\n  # a second one\n"
       "{rob:2,\n   alu:0 ,lsq : 1}\n  0.9\n",
       "alu:1 lsq:0 rob:0 = 1.35\nalu:0 lsq:0 rob:2 = 0.9\n", "entry \"lsq \" names no instance"},
      // A repeated name takes the later version.
      {"{alu:1, alu:2} 1.0\n", "alu:2 lsq:0 rob:0 = 1\n", ""},
      // A missing closing brace drops the last configuration.
      {"{alu:1} 1.1\n{alu:2, lsq:1\n", "alu:1 lsq:0 rob:0 = 1.1\n",
       "configuration 1 is not closed"},
      // A missing IPC value counts as zero.
      {"{alu:1} 1.1\n{alu:2}\n{lsq:2} 0.5\n{rob:1}",
       "alu:1 lsq:0 rob:0 = 1.1\nalu:2 lsq:0 rob:0 = 0\nalu:0 lsq:2 rob:0 = 0.5\n"
       "alu:0 lsq:0 rob:1 = 0\n",
       ""},
      // Blanks after the opening brace belong to the name.
      {"{ alu:2} 1.0\n", "alu:0 lsq:0 rob:0 = 1\n", "entry \" alu\" names no instance"},
      // An unknown instance is warned about, naming the file, and dropped.
      {"{alu:1, fpu:2} 1.0\n", "alu:1 lsq:0 rob:0 = 1\n", "/ipc, configuration 0: entry \"fpu\""},
      // A malformed version ends reading with a warning.
      {"{alu:1} 1.0\n{lsq:x} 2.0\n{rob:1} 3.0\n", "alu:1 lsq:0 rob:0 = 1\n",
       "entry \"lsq\" has no version number"},
  };
  for (const Case& c : cases) {
    testing::internal::CaptureStderr();
    auto db = load(c.text);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(describe(*db), c.configs) << c.text;
    if (*c.err == 0) {
      EXPECT_EQ(err, "") << c.text;
    } else {
      EXPECT_NE(err.find(c.err), std::string::npos) << c.text << "\n" << err;
    }
  }
}

TEST_F(IpcFixture, VersionOffsetIsAdded) {
  alu->versionOffset = 1;
  lsq->versionOffset = 2;
  auto db = load("{alu:1} 1.0\n");
  EXPECT_EQ(describe(*db), "alu:2 lsq:2 rob:0 = 1\n");
  EXPECT_EQ(db->getNodeWidth(alu), 3);
  EXPECT_EQ(db->getNodeWidth(lsq), 3);
}

TEST_F(IpcFixture, FilesThatCannotBeUsedStopTheRun) {
  const std::pair<const char*, const char*> cases[] = {
      {nullptr, "cannot open IPC file .*ipc"},
      {"# nothing but a comment\n", "IPC file .*ipc holds no complete configuration"},
      {"{alu:1, lsq:2", "no complete configuration"},
      {"{alu:3} 1.0\n", "instance \"alu\" has no version 3"}};
  for (const auto& [text, message] : cases) {
    std::filesystem::remove(file);
    if (text) osvotest::writeFile(file, text);
    resetOptions(file);
    EXPECT_EXIT(DB(t.get(), 20, false, 0, 1.0, 1.0), testing::ExitedWithCode(1), message);
  }
}

}  // namespace
