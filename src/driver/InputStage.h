#pragma once
// The choice of input path: builds the flat design for the chosen input format.
#include <memory>
#include <string>

#include "flat/FlatDesign.h"

// The flat design built from the input files named by the options, or null when
// `format` has no input path in this build. Every input format gets one branch here.
std::unique_ptr<CoarsePlacement::FlatDesign> buildDesign(const std::string& format);
