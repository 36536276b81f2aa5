// Reader of the IPC file: the configurations of the machine (a version per
// block) and the instructions per cycle each of them achieves.
//
// The file is a sequence of configurations such as
//   {alu:1, lsq:0} 1.35
// An entry is a name read up to ":" and an integer version; entries are
// separated by one non-blank character, and "}" ends the configuration, whose
// IPC follows. A "#" where a configuration or an entry would begin comments out
// the rest of the line. Blanks directly after "{" belong to the first name.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <limits>
#include <unordered_set>

#include "floorplan/DB.h"
#include "options/ReadParam.h"

using CoarsePlacement::CktInstance;

namespace {
[[noreturn]] void stopRun(const std::string& message) {
  std::cout.flush();
  std::cerr << message << "\n";
  std::exit(1);
}
}  // namespace

void DB::ipcparser() {
  std::string fileName = ReadParam::getOption("-ipcFile");
  if (fileName.empty()) {
    // Without an IPC file the machine has one configuration: every block in
    // version 0 (names enter the empty map on their first lookup), IPC 1.
    auto cfg = std::make_unique<Config>();
    cfg->ipc = 1.0;
    configs.push_back(std::move(cfg));
    invalidateVersionCache();
    return;
  }
  size_t first = configs.size();
  readIpcFile(fileName);
  if (configs.size() == first)
    stopRun("Error: IPC file " + fileName + " holds no complete configuration");
  reconcileConfigs(fileName, first);
  invalidateVersionCache();
}

void DB::readIpcFile(const std::string& fileName) {
  std::ifstream in(fileName);
  if (!in) stopRun("Error: cannot open IPC file " + fileName);

  auto cfg = std::make_unique<Config>();
  size_t number = 0;     // number of the configuration being read, in file order
  bool pending = false;  // the configuration being read has (part of) an entry
  for (;;) {
    char c;
    if (!(in >> c)) break;  // end of the file
    if (c == '#') {
      // The whole line is skipped, however long it is.
      in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
      continue;
    }
    if (c != '{') in.unget();
    pending = true;
    std::string name;
    std::getline(in, name, ':');
    if (in.eof()) break;  // no ":" before the end of the file
    int version = 0;
    if (!(in >> version)) {
      std::cerr << "Warning: IPC file " << fileName << ": entry \"" << name
                << "\" has no version number; the rest of the file is ignored\n";
      pending = false;
      break;
    }
    char sep = 0;
    if (!(in >> sep)) break;        // the file ends inside the configuration
    cfg->versions[name] = version;  // a repeated name takes the later version
    if (sep == '}') {
      double ipc = 0;
      // A missing IPC value counts as 0; reading goes on with what follows.
      if (!(in >> ipc)) {
        ipc = 0;
        in.clear();
      }
      cfg->ipc = ipc;
      configs.push_back(std::move(cfg));
      cfg = std::make_unique<Config>();
      ++number;
      pending = false;
    }
  }
  if (pending)
    std::cerr << "Warning: IPC file " << fileName << ": configuration " << number
              << " is not closed by \"}\" before the end of the file; it is dropped\n";
}

void DB::reconcileConfigs(const std::string& fileName, size_t first) {
  std::unordered_set<std::string> names;
  for (CktInstance* inst : design->instList) names.insert(CoarsePlacement::instanceName(inst));

  for (size_t c = first; c < configs.size(); ++c) {
    auto& versions = configs[c]->versions;
    // Entries that name no block of the design cannot select anything.
    for (auto it = versions.begin(); it != versions.end();) {
      if (names.count(it->first)) {
        ++it;
        continue;
      }
      std::cerr << "Warning: IPC file " << fileName << ", configuration " << c - first
                << ": entry \"" << it->first
                << "\" names no instance of the design; the entry is dropped\n";
      it = versions.erase(it);
    }
    // Version numbers count from the instance's own first version.
    for (CktInstance* inst : design->instList) {
      const std::string& name = CoarsePlacement::instanceName(inst);
      auto it = versions.find(name);
      if (it == versions.end())
        versions[name] = inst->versionOffset;
      else
        it->second += inst->versionOffset;
    }
    for (CktInstance* inst : design->instList) {
      const std::string& name = CoarsePlacement::instanceName(inst);
      int v = versions[name];
      int count = static_cast<int>(inst->master->versions.size());
      if (v < 0 || v >= count)
        stopRun("Error: IPC file " + fileName + ", configuration " + std::to_string(c - first) +
                ": instance \"" + name + "\" has no version " + std::to_string(v) + " (it has " +
                std::to_string(count) + ")");
    }
  }
}
