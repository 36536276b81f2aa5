#pragma once
// Writers of the three benchmark files from a BenchmarkDesign, in the form the
// readers take back: header words "ZEPT blocks 1.0", "ZEPT nets 1.0" and
// "ZEPT pl 1.0", each followed by an empty line. Numbers use the default
// stream formatting; aspect ratios keep a decimal point ("10.0").
#include <ostream>
#include <string>

#include "fenrik/BenchmarkDesign.h"

void writeBlockFile(std::ostream& out, const BenchmarkDesign& design);
void writeNetsFile(std::ostream& out, const BenchmarkDesign& design);
// Only the placements the design gives are written, after the header line(s).
void writePlFile(std::ostream& out, const BenchmarkDesign& design,
                 const std::string& header = "ZEPT pl 1.0");

// Writes baseName + ".blocks", ".nets" and ".pl"; a file that cannot be
// written throws osvo::Error (status 1) with one line naming it.
void writeBenchmark(const std::string& baseName, const BenchmarkDesign& design);
