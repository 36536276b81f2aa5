#pragma once
// Readers of the three benchmark files into a BenchmarkDesign. They accept the
// files the floorplanning bridge writes and the GSRC benchmark files: any words
// before "blocks 1.0", "nets 1.0" or "pl 1.0" (a .pl file may say "blocks 1.0"
// too), '#' comments, pin directions and offsets, orientation words and DIMS
// fields on placement lines, soft blocks' aspect ranges. Malformed or truncated
// input throws osvo::Error (status 1) with one line "FILE:LINE: what".
#include <istream>
#include <string>

#include "fenrik/BenchmarkDesign.h"

// `fileName` names the stream in messages. The block file comes first; the net
// and placement files refer to its names.
void readBlockFile(std::istream& in, const std::string& fileName, BenchmarkDesign& design);
void readNetsFile(std::istream& in, const std::string& fileName, BenchmarkDesign& design);
void readPlFile(std::istream& in, const std::string& fileName, BenchmarkDesign& design);

// Reads baseName + ".blocks", ".nets" and ".pl".
BenchmarkDesign readBenchmark(const std::string& baseName);
// Reads the three named files.
BenchmarkDesign readBenchmarkFiles(const std::string& blocks, const std::string& nets,
                                   const std::string& pl);
