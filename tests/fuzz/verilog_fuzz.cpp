// The whole Verilog front-end on arbitrary bytes: scanner, parser and the
// writer building a hierarchical design model. Bad input may only end in
// osvo::Error; anything else escaping or crashing is a finding.
#include <cstddef>
#include <cstdint>
#include <iostream>
#include <sstream>
#include <streambuf>
#include <string>

#include "hdm/Hdm.h"
#include "support/Error.h"
#include "verilog/VerilogParser.h"
#include "verilog/VerilogScanner.h"
#include "verilog/WriteVerilog2HDM.h"

namespace {
// Swallows the reports, which would otherwise dominate the run time.
struct NullBuffer : std::streambuf {
  int_type overflow(int_type c) override { return c; }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};
NullBuffer sink;
const bool silenced = [] {
  std::cout.rdbuf(&sink);
  std::cerr.rdbuf(&sink);
  return true;
}();

// Ranges stay narrow here so that a short input cannot legitimately ask for
// gigabytes (a few hundred declarations of the widest vector would).
constexpr int kFuzzRangeWidth = 256;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  hdm::Model model;
  VerilogScanner scanner(&in);
  WriteVerilog2HDM writer(&model);
  VerilogParser parser(scanner, writer, "fuzz.v", kFuzzRangeWidth);
  try {
    parser.parse();
  } catch (const osvo::Error&) {
  }
  return 0;
}
