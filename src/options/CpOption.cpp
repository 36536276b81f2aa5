#include "options/CpOption.h"

#include <iostream>
#include <iterator>

#include "options/OptionDefaults.h"
#include "options/OptionRules.h"

OptionTypeRangeMap CP_OPTION::defaultOptionMap;

// clang-format off
const char* const CP_OPTION::defaultOptions[436] = {
    // key, type, default, range
    "-ALcluster", "i", "1", "0 1",
    "-alpha", "f", "0.5", "[0, 1]",
    "-auto", "i", "1", "0 1 2",
    "-areaWeight", "i", "30", "[0, 100]",
    "-hor_rate", "f", "1.0", "",
    "-ver_rate", "f", "1.0", "",
    "-balanceMoveRate", "f", "0.3", "[0, 1]",
    "-biasmove", "i", "1", "0 1",
    "-rtGap", "i", "1000", "",
    "-bigK", "f", "", "",
    "-book2proud", "i", "", "0 1",
    "-bookScale", "i", "1", "",
    "-c", "s", "", "",
    "-cmaxScale", "f", "", "",
    "-clstAlgo", "s", "fc", "esc hybrid mhec 2step fc",
    "-congDisp", "i", "0", "0 1",
    "-cong", "s", "rpt", "rpt monitor opt",
    "-contractRate", "f", "", "",
    "-coolTemp", "f", "0.01", "(0, )",
    "-CRATE", "f", "", "",
    "-ctrlAreaUnderflow", "i", "0", "0 1",
    "-d", "s", "", "",
    "-default_hack_fixed_inst", "i", "", "0 1",
    "-defaultNetWeight", "f", "", "",
    "-decompNet", "i", "", "",
    "-display", "i", "0", "",
    "-displayLabel", "i", "", "",
    "-dumpAreaUsage", "i", "", "",
    "-dumpGdfFile", "i", "0", "0 1",
    "-dumpIDM", "i", "", "",
    "-eli", "i", "", "(0, )",
    "-EMAX", "i", "", "",
    "-esc2", "i", "270", "(0, )",
    "-evaBook", "i", "", "",
    "-evaProud", "i", "", "",
    "-exponent", "f", "3", "(0, )",
    "-F", "f", "0.1", "(0, 1)",
    "-f", "s", "", "",
    "-fast", "i", "0", "",
    "-fcbound", "i", "2", "0 1 2",
    "-ffClusterLev", "i", "1", "",
    "-format", "s", "v", "v p s b i l f x",
    "-freezeEp", "f", "0.005", "(0, )",
    "-flSuccess", "i", "10", "[1, )",
    "-hack_idm_location", "f", "", "",
    "-height", "f", "", "(0, )",
    "-help", "i", "", "",
    "-in", "f", "0.01", "(0, )",
    "-initTemp", "f", "30000", "(0, )",
    "-IPcluster", "i", "", "",
    "-ipcFile", "s", "", "",
    "-keepHdm", "i", "", "",
    "-linear0", "i", "1", "",
    "-linearInner", "i", "5", "",
    "-minCalTempSize", "i", "", "",
    "-minRepeatAR", "f", "0.02", "",
    "-minShift", "f", "0.2", "",
    "-minTempSteps", "f", "26", "",
    "-moreChance", "i", "2", "",
    "-movePadScale", "f", "", "",
    "-moveIPALScale", "f", "", "",
    "-netWeightFile", "s", "", "",
    "-newAdjust", "f", "0.1", "",
    "-numOverflow", "i", "", "",
    "-numMoves", "i", "10", "[1, )",
    "-ogx", "i", "16", "(0, )",
    "-ogy", "i", "16", "(0, )",
    "-opt", "s", "WL", "WL WEIGHTED EPSILON",
    "-outPlotFile", "s", "out", "",
    "-p", "s", "", "",
    "-padfile", "s", "", "",
    "-padloc", "i", "0", "0 1 2",
    "-padmove", "i", "0", "0 1",
    "-probe", "i", "0", "",
    "-pwrlog", "s", "", "",
    "-readOptionFile", "s", "", "",
    "-readWidthSpace", "s", "", "",
    "-repeatT", "f", "0", "",
    "-reportWireLen", "i", "", "",
    "-rowBalance", "i", "", "",
    "-s", "s", "", "",
    "-seed", "i", "", "",
    "-setOutputLevel", "i", "", "",
    "-setRandomRate", "f", "", "",
    "-setTopTier", "i", "", "",
    "-shiftOverflowCost", "f", "", "",
    "-showTopoCmp", "i", "", "",
    "-skipRoute", "i", "1", "",
    "-smallBracketBound", "f", "", "",
    "-startCongOptlevelRate", "f", "", "",
    "-startCongOptlevel", "i", "", "",
    "-stopST1", "f", "", "(0, 1)",
    "-stopST2", "i", "", "(0, )",
    "-stopST3", "f", "", "(0, 1)",
    "-sweep", "i", "0", "0 1",
    "-sx", "f", "", "(0, )",
    "-sy", "f", "", "(0, )",
    "-t", "s", "cpu", "",
    "-tempAdj", "f", "0.0", "",
    "-timingOn", "i", "1", "[0, 1]",
    "-topTierReserve", "f", "", "",
    "-use_hack_root_pin", "i", "", "",
    "-useGreedy", "i", "1", "",
    "-useNetWeight", "i", "", "",
    "-useOverflowCostShift", "i", "", "",
    "-useTempAdj", "i", "", "",
    "-whitespace", "i", "20", "[0 100]",
    "-width", "f", "", "(0, )",
    "-write2gdf", "s", "", "",
};

// Each rule is "begin_rule" statement "end_rule"; a statement is
//   "eq" KEY VALUE statement statement | "set" KEY VALUE | "exit" MESSAGE |
//   "print" MESSAGE | "nil".
// An unset option compares equal to "".
const char* const CP_OPTION::rules[291] = {
    // An input name that the chosen format needs is missing.
    "begin_rule", "eq", "-format", "v", "eq", "-f", "", "exit", "please input the verilog filename", "nil", "nil", "end_rule",
    "begin_rule", "eq", "-format", "p", "eq", "-d", "", "exit", "please input the design name in PROUD format", "nil", "nil", "end_rule",
    "begin_rule", "eq", "-format", "l", "eq", "-lef", "", "exit", "please input the LEF file", "nil", "nil", "end_rule",
    "begin_rule", "eq", "-format", "l", "eq", "-def", "", "exit", "please input the DEF file", "nil", "nil", "end_rule",
    "begin_rule", "eq", "-format", "s", "eq", "-d", "", "exit", "please input the design name in ISPD format", "nil", "nil", "end_rule",
    "begin_rule", "eq", "-format", "b", "eq", "-d", "", "exit", "please input the the aux file name in BookShelf format", "nil", "nil", "end_rule",
    "begin_rule", "eq", "-format", "i", "eq", "-p", "", "exit", "path name required in IDM format", "nil", "nil", "end_rule",
    // These formats keep the hierarchical model.
    "begin_rule", "eq", "-format", "i", "set", "-keepHdm", "1", "nil", "end_rule",
    "begin_rule", "eq", "-format", "l", "set", "-keepHdm", "1", "nil", "end_rule",
    // Scaling applies only when no fixed outline is given.
    "begin_rule", "eq", "-width", "", "eq", "-sx", "", "set", "-sx", "1", "nil", "set", "-sx", "", "end_rule",
    "begin_rule", "eq", "-height", "", "eq", "-sy", "", "set", "-sy", "1", "nil", "set", "-sy", "", "end_rule",
    // Weighted and epsilon optimisation sweep.
    "begin_rule", "eq", "-opt", "WEIGHTED", "set", "-sweep", "1", "nil", "end_rule",
    "begin_rule", "eq", "-opt", "EPSILON", "set", "-sweep", "1", "nil", "end_rule",
    // A fixed outline needs both of its sides.
    "begin_rule", "eq", "-width", "", "eq", "-height", "", "nil", "exit", "-width and -height must be set at the same time", "eq", "-height", "", "exit", "-width and -height must be set at the same time", "nil", "end_rule",
    // Pads.
    "begin_rule", "eq", "-padloc", "2", "eq", "-padfile", "", "set", "-padfile", "pad.loc", "nil", "nil", "end_rule",
    "begin_rule", "eq", "-padloc", "0", "set", "-padmove", "0", "nil", "end_rule",
    // Objectives other than wire length and congestion sweep.
    "begin_rule", "eq", "-sweep", "0", "eq", "-opt", "WL", "nil", "eq", "-opt", "CONG", "nil", "set", "-sweep", "1", "nil", "end_rule",
    // Automatic stopping criteria.
    "begin_rule", "eq", "-auto", "2", "eq", "-stopST1", "", "set", "-stopST1", "0.01", "nil", "nil", "end_rule",
    "begin_rule", "eq", "-auto", "2", "eq", "-stopST2", "", "set", "-stopST2", "3", "nil", "nil", "end_rule",
    "begin_rule", "eq", "-auto", "2", "eq", "-stopST3", "", "set", "-stopST3", "0.5", "nil", "nil", "end_rule",
    "begin_rule", "eq", "-eli", "", "eq", "-opt", "WL", "set", "-eli", "60", "set", "-eli", "1000", "nil", "end_rule",
    "begin_rule", "eq", "-write2gdf", "", "nil", "set", "-keepHdm", "1", "end_rule",
    "begin_rule", "eq", "-format", "v", "eq", "-c", "", "set", "-c", "cell.lib", "nil", "nil", "end_rule",
    "begin_rule", "eq", "-netWeightFile", "", "nil", "set", "-useNetWeight", "1", "end_rule",
};
// clang-format on

int CP_OPTION::getDefaultOptionSize() {
  return static_cast<int>(std::size(defaultOptions));
}

int CP_OPTION::getRuleSize() {
  return static_cast<int>(std::size(rules));
}

void CP_OPTION::process_cp_option(int argc, char** argv) {
  OptionDefaults defaults(defaultOptions, getDefaultOptionSize(), &defaultOptionMap);
  defaults.setDefaultOptionMap();

  std::cout << "read command line\n";
  ReadParam::read(argc, argv);

  std::cout << "read option file\n";
  defaults.processOptionFile();

  std::cout << "fill unset default options\n";
  defaults.setAllDefaultOption();

  std::cout << "Start rule checking \n";
  OptionRules optionRules(rules, getRuleSize());
  optionRules.processRules();
}
