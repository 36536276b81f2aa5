#pragma once
// The cell library: for each block (named as its flat instance) one or more
// implementation versions with area, latency, delay, pin times and kind.
//
// File format, whitespace-separated items without comments:
//   N                        number of cells
//   N x (name count)         cell headers with their version counts
//   T x 9 items              T = sum of the counts: cell name, two unused items
//                            (a word and an integer), kind ("seq" is
//                            sequential), area, latency, delay, input pin time,
//                            output pin time
// Anything after the T-th entry is ignored.
#include <iosfwd>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace CoarsePlacement {
class FlatDesign;
}

class ReadLibrary {
 public:
  enum cellType { FF = 0, GATE = 1, AL = 2, IP = 3 };

  struct cellVersion {
    double area = 0;
    float delay = 0;
    int latency = 0;
    double inTime = 0;   // input pin time
    double outTime = 0;  // output pin time
    cellType type = GATE;
  };

  struct Cell {
    std::string name;
    std::vector<cellVersion> versions;  // in file order
  };

  using Library = std::map<std::string, std::unique_ptr<Cell>>;

  // Longest item the reader accepts, so that endless input cannot exhaust memory.
  static constexpr size_t kMaxItemLength = 1 << 16;

  explicit ReadLibrary(Library& library, std::ostream& out = std::cout,
                       std::ostream& err = std::cerr)
      : lib_(library), out_(out), err_(err) {}

  // Reads the file into the library: 1 on success, 0 (after "can not open
  // file " + name on standard error) when it cannot be opened. Malformed
  // contents throw osvo::Error with one line naming the file and the entry.
  int readinCellLIB(CoarsePlacement::FlatDesign* design, const std::string& fileName);
  // Reads library text from `in`; `fileName` names it in messages.
  void read(std::istream& in, const std::string& fileName);

  // Queries on a cell; each first prints version 0's area and delay as a line.
  // A name not in the library gives -1 (-1.0), and the type of a cell without
  // versions, or of a missing one, is -1 (printed as "UNKNOWN").
  int getCellVerNum(const std::string& name) const;
  double getCellArea(const std::string& name, int k) const;
  double getCellDelay(const std::string& name, int k) const;
  cellType getCellType(const std::string& name) const;

  void dumpLibrary() const;
  void dumpCell(const Cell* cell) const;
  static const char* typeWord(int type);

 private:
  // The cell, after printing its version 0 line; none when absent.
  const Cell* lookUp(const std::string& name) const;

  Library& lib_;
  std::ostream& out_;
  std::ostream& err_;
};
