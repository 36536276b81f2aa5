#pragma once
// Reader of the IPC file: the configurations of the machine (a version per
// block) and the instructions per cycle each of them achieves.
//
// The file is a sequence of configurations such as
//   {alu:1, lsq:0} 1.35
// An entry is a name read up to ":" (at most 254 characters) and an integer
// version; entries are separated by one non-blank character, and "}" ends the
// configuration, whose IPC follows. A "#" where a configuration or an entry
// would begin comments out the rest of the line. Blanks directly after "{"
// belong to the first name. Configurations are numbered from 0 in file order.
#include <istream>
#include <memory>
#include <string>
#include <vector>

#include "floorplan/Config.h"

// Longest instance name of an entry, and longest comment line.
constexpr std::size_t kMaxIpcNameLength = 254;
constexpr std::size_t kMaxIpcCommentLength = 1 << 16;

// The configurations of the IPC text `in`, named `fileName` in messages, in
// file order. A missing IPC value counts as 0; a configuration cut off by the
// end of the file is dropped, and an entry without a version ends the reading,
// each with a warning on standard error. An IPC value that is not a finite,
// non-negative number and an over-long name or comment throw an osvo::Error
// naming the file, the line and the configuration.
std::vector<std::unique_ptr<Config>> readIpcConfigs(std::istream& in, const std::string& fileName);
