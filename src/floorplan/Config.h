#pragma once
// One configuration of the machine: a version per instance name and its IPC.
#include <map>
#include <string>

struct Config {
  std::map<std::string, int> versions;
  double ipc = 0;
};
