#pragma once
// A floorplanning benchmark as a flat design: one master with one version and
// one instance per block, one chip pin per terminal pin, one net of weight 1
// per benchmark net. The design is judged by wire length alone, with every
// block pin at its block's centre and the terminals on the outline.
#include <memory>
#include <string>

#include "fenrik/BenchmarkDesign.h"
#include "flat/FlatDesign.h"

// Block i becomes instance i (of master i), named as in the files: a hard
// block with its width and height, a soft block as the square of its area
// with its aspect-ratio range attached (kAspectRangeKey). Every net pin gets a
// port of its own on its block's master, or on the chip's root master for a
// terminal; port and pin directions follow the pin's B, I or O. The chip pins
// keep the terminals' places relative to the outline: the terminals' bounding
// box in the .pl file is stretched onto the chip, whatever size the chip gets.
// The root master and the top instance are named `name`.
std::unique_ptr<CoarsePlacement::FlatDesign> benchmarkFlatDesign(const BenchmarkDesign& bench,
                                                                 const std::string& name);

// Reads benchmark `name` ("-d": NAME.blocks/.nets/.pl or an .aux file),
// converts it and attaches the report of its fitting runs (BenchmarkRunReport).
// Bad input throws an osvo::Error naming the file and line.
std::unique_ptr<CoarsePlacement::FlatDesign> buildBenchmarkDesign(const std::string& name);
