#pragma once
// Where a floorplanning benchmark's files are: "-d NAME" names NAME.blocks,
// NAME.nets and NAME.pl, or an .aux file that lists them.
#include <istream>
#include <string>

#include "fenrik/BenchmarkDesign.h"

struct BenchmarkFileNames {
  std::string blocks;
  std::string nets;
  std::string pl;
};

// Reads an .aux file: lines "KEY : FILE ...", comments after '#'. The files
// ending in .blocks, .nets and .pl are taken (each exactly once), relative to
// `directory` unless absolute; other files are ignored. Bad input throws an
// osvo::Error naming `fileName` and the line.
BenchmarkFileNames readAuxFile(std::istream& in, const std::string& fileName,
                               const std::string& directory);

// The files of design `name`: the .aux file's list when `name` ends in ".aux",
// or when NAME.blocks does not exist but NAME.aux does; else NAME.blocks,
// NAME.nets and NAME.pl.
BenchmarkFileNames benchmarkFileNames(const std::string& name);

// Reads the three files of design `name`.
BenchmarkDesign readBenchmarkDesign(const std::string& name);
