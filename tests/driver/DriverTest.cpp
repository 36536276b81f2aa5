#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "driver/Driver.h"
#include "options/ReadParam.h"

namespace {

using testing::internal::CaptureStdout;
using testing::internal::GetCapturedStdout;

class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ReadParam::clear();
    ReadParam::defaultOptionMap = nullptr;
  }
  void TearDown() override { SetUp(); }
};

void put(const std::string& key, const std::string& value) {
  ReadParam::cmdOption.insert_or_assign(key, value);
}

struct Draws {
  long a48;
  int c;
  long r;
  bool operator==(const Draws&) const = default;
};

Draws seedAndDraw() {
  CaptureStdout();
  seedRandomGenerators();
  GetCapturedStdout();
  return Draws{lrand48(), std::rand(), random()};
}

TEST_F(DriverTest, SameSeedSameGeneratorStateAndLeadingDigitsSilently) {
  put("-seed", "12345");
  const Draws first = seedAndDraw();
  EXPECT_EQ(seedAndDraw(), first);
  put("-seed", "12346");
  EXPECT_FALSE(seedAndDraw() == first);

  put("-seed", "0");
  const Draws zero = seedAndDraw();
  put("-seed", "abc");
  CaptureStdout();
  seedRandomGenerators();
  EXPECT_EQ(GetCapturedStdout(), "seed: abc\n");
  EXPECT_EQ((Draws{lrand48(), std::rand(), random()}), zero);
  put("-seed", "12345xyz");
  EXPECT_EQ(seedAndDraw(), first);
}

TEST_F(DriverTest, EmptySeedBecomesTheCurrentTime) {
  const long long before = static_cast<long long>(std::time(nullptr));
  CaptureStdout();
  seedRandomGenerators();
  const std::string out = GetCapturedStdout();
  const std::string seed = ReadParam::getOption("-seed");
  const long long value = std::atoll(seed.c_str());
  EXPECT_GE(value, before);
  EXPECT_LE(value, before + 5);
  std::string expected = " seed is set to the current time when runnning the program\n";
  expected.append("Set option -seed ").append(seed).append("\nseed: ").append(seed).append("\n");
  EXPECT_EQ(out, expected);
}

TEST_F(DriverTest, ReportParaNamesVerilogFileOnlyForVerilog) {
  ReadParam::cmdOption = {{"-format", "v"}, {"-f", "cpu.v"}, {"-t", "top"}, {"-c", "cell.lib"}};
  CaptureStdout();
  reportPara();
  EXPECT_EQ(GetCapturedStdout(),
            "file format: v\nverilog file: cpu.v\ntopModule: top\nLibrary file: cell.lib\n"
            "flat Master file: \n");
}

}  // namespace
