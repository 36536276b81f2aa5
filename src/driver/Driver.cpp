#include "driver/Driver.h"

#include <cstdlib>
#include <ctime>
#include <iostream>
#include <memory>
#include <string>

#include "driver/InputStage.h"
#include "flat/FlatDesign.h"
#include "hdm/Hdm.h"
#include "options/CpOption.h"
#include "options/ReadParam.h"
#include "stage/Floorplan.h"
#include "support/Error.h"

namespace {

// Runs one header command; standard output is flushed first so that the
// command's output lands after everything printed so far.
void runHeaderCommand(const char* command) {
  std::cout.flush();
  // The header is informative only; a missing command does not stop the run.
  [[maybe_unused]] const int status = std::system(command);
}

}  // namespace

void seedRandomGenerators() {
  std::string seed = ReadParam::getOption("-seed");
  if (seed.empty()) {
    std::cout << " seed is set to the current time when runnning the program"
              << "\n";
    seed = std::to_string(static_cast<long long>(std::time(nullptr)));
    ReadParam::setOption("-seed", seed);
  }
  std::cout << "seed: " << seed << "\n";
  // One seed fixes all three generator families: the 48-bit generator draws the
  // seeds of rand and random. Texts that are not numbers seed with their
  // leading digits (0 when there are none).
  srand48(std::strtol(seed.c_str(), nullptr, 10));
  std::srand(static_cast<unsigned>(lrand48()));
  srandom(static_cast<unsigned>(lrand48()));
}

void reportPara() {
  const std::string format = ReadParam::getOption("-format");
  std::cout << "file format: " << format << std::endl;
  if (format == "v") std::cout << "verilog file: " << ReadParam::getOption("-f") << std::endl;
  std::cout << "topModule: " << ReadParam::getOption("-t") << std::endl;
  std::cout << "Library file: " << ReadParam::getOption("-c") << std::endl;
  std::cout << "flat Master file: " << ReadParam::getOption("-s") << std::endl;
  // "-help" is read for completeness; there is no help text to show.
  [[maybe_unused]] const std::string help = ReadParam::getOption("-help");
}

namespace {

// The run up to the completion line; its result is the exit status.
int run(int argc, char** argv) {
  // Machine and user header.
  runHeaderCommand("hostname");
  runHeaderCommand("date");
  runHeaderCommand("whoami");
  std::cout.flush();

  // Command-line echo.
  if (argc > 0 && argv[0] != nullptr) std::cout << argv[0];
  for (int i = 1; i < argc; ++i) std::cout << " " << (argv[i] ? argv[i] : "");
  std::cout << "\n";

  // Options: table, command line, option file, defaults, rules.
  CP_OPTION::process_cp_option(argc, argv);
  seedRandomGenerators();
  reportPara();
  ReadParam::dumpAllOptions(std::cout);

  // The driver owns the flat design until the end of the run; the
  // floorplanning stage borrows it. The Verilog path hands its hierarchical
  // model through `model`; the import has released it already, so it is empty
  // by the time the stage starts.
  std::unique_ptr<hdm::Model> model;
  std::unique_ptr<CoarsePlacement::FlatDesign> design = buildDesign(readInputOptions(), &model);
  const int stageStatus = floorplan(design.get());

  // A hierarchical model still held goes before the completion line, the flat
  // design after it.
  model.reset();
  std::cout << " OSVO run complete " << std::endl;
  design.reset();
  return stageStatus;
}

}  // namespace

int osvoMain(int argc, char** argv) {
  try {
    return run(argc, argv);
  } catch (const osvo::Error& e) {
    // What standard output shows so far stays before the message.
    std::cout.flush();
    std::ostream& stream = e.stream() == osvo::Stream::Out ? std::cout : std::cerr;
    stream << e.what() << std::flush;
    return e.status();
  }
}
