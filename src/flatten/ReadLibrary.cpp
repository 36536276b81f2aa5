#include "flatten/ReadLibrary.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>

#include "support/Error.h"

namespace {

// Whitespace-separated items of a stream.
class ItemReader {
 public:
  ItemReader(std::istream& in, const std::string& file) : buf_(in.rdbuf()), file_(file) {}

  // The next item, or false at the end of the input.
  bool next(std::string& item) {
    item.clear();
    if (!buf_) return false;
    int c;
    while ((c = buf_->sgetc()) != EOF && isSpace(c)) buf_->sbumpc();
    while ((c = buf_->sgetc()) != EOF && !isSpace(c)) {
      if (item.size() == ReadLibrary::kMaxItemLength)
        osvo::fail("Error: cell library " + file_ + ": an item is longer than " +
                   std::to_string(ReadLibrary::kMaxItemLength) + " characters\n");
      item.push_back(static_cast<char>(c));
      buf_->sbumpc();
    }
    return !item.empty();
  }

 private:
  static bool isSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
  }
  std::streambuf* buf_;
  const std::string& file_;
};

// The text of a number without one leading "+", which the conversions refuse.
std::string_view numberText(const std::string& item) {
  std::string_view s = item;
  if (s.size() > 1 && s[0] == '+' && s[1] != '-' && s[1] != '+') s.remove_prefix(1);
  return s;
}

bool parseInt(const std::string& item, long long& value) {
  std::string_view s = numberText(item);
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  return ec == std::errc() && end == s.data() + s.size();
}

bool parseReal(const std::string& item, double& value) {
  std::string_view s = numberText(item);
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  return ec == std::errc() && end == s.data() + s.size() && std::isfinite(value);
}

}  // namespace

int ReadLibrary::readinCellLIB(CoarsePlacement::FlatDesign*, const std::string& fileName) {
  std::ifstream in(fileName);
  if (!in) {
    err_ << "can not open file " << fileName << "\n";
    return 0;
  }
  read(in, fileName);
  return 1;
}

void ReadLibrary::read(std::istream& in, const std::string& fileName) {
  ItemReader items(in, fileName);
  const std::string where = "Error: cell library " + fileName + ": ";
  std::string item;

  if (!items.next(item))
    osvo::fail(where + "the file is empty; it must begin with the number of cells\n");
  long long cells = 0;
  if (!parseInt(item, cells) || cells < 0)
    osvo::fail(where + "the number of cells \"" + item + "\" is not a whole number of 0 or more\n");

  long long total = 0;
  for (long long h = 1; h <= cells; ++h) {
    std::string header = "cell header " + std::to_string(h) + " of " + std::to_string(cells);
    std::string name;
    if (!items.next(name)) osvo::fail(where + header + " is missing\n");
    if (!items.next(item))
      osvo::fail(where + header + " (" + name + ") is cut short: its version count is missing\n");
    long long count = 0;
    if (!parseInt(item, count) || count < 0 || count > std::numeric_limits<int>::max())
      osvo::fail(where + header + " (" + name + "): the version count \"" + item +
                 "\" is not a whole number of 0 or more\n");
    total += count;
    auto cell = std::make_unique<Cell>();
    cell->name = name;
    lib_[name] = std::move(cell);
  }

  static const char* const kItems[9] = {"cell name", "second item",    "third item",
                                        "kind",      "area",           "latency",
                                        "delay",     "input pin time", "output pin time"};
  for (long long e = 1; e <= total; ++e) {
    std::string entry = "version entry " + std::to_string(e) + " of " + std::to_string(total);
    std::string fields[9];
    for (int k = 0; k < 9; ++k) {
      if (!items.next(fields[k])) {
        std::string got = k == 0 ? "" : " (cell " + fields[0] + ")";
        osvo::fail(where + entry + got + " is cut short: its " + kItems[k] + " is missing\n");
      }
    }
    auto it = lib_.find(fields[0]);
    if (it == lib_.end()) osvo::fail(fields[0] + "Module does not exist\n");
    std::string at = where + entry + " (cell " + fields[0] + "): the ";

    auto whole = [&](int k) {
      long long v = 0;
      if (!parseInt(fields[k], v) || v < std::numeric_limits<int>::min() ||
          v > std::numeric_limits<int>::max())
        osvo::fail(at + kItems[k] + " \"" + fields[k] + "\" is not a whole number\n");
      return static_cast<int>(v);
    };
    auto real = [&](int k) {
      double v = 0;
      if (!parseReal(fields[k], v))
        osvo::fail(at + kItems[k] + " \"" + fields[k] + "\" is not a finite number\n");
      return v;
    };

    whole(2);  // read and not used
    cellVersion v;
    v.type = fields[3] == "seq" ? FF : GATE;
    v.area = real(4);
    v.latency = whole(5);
    double delay = real(6);
    if (std::fabs(delay) > FLT_MAX)
      osvo::fail(at + "delay \"" + fields[6] + "\" is beyond single precision\n");
    v.delay = static_cast<float>(delay);
    v.inTime = real(7);
    v.outTime = real(8);
    it->second->versions.push_back(v);
  }
}

const char* ReadLibrary::typeWord(int type) {
  switch (type) {
    case FF:
      return "FF";
    case GATE:
      return "GATE";
    case AL:
      return "AL";
    case IP:
      return "IP";
    default:
      return "UNKNOWN";
  }
}

const ReadLibrary::Cell* ReadLibrary::lookUp(const std::string& name) const {
  auto it = lib_.find(name);
  if (it == lib_.end()) return nullptr;
  const Cell* cell = it->second.get();
  if (!cell->versions.empty())
    out_ << cell->versions[0].area << " " << cell->versions[0].delay << "\n";
  return cell;
}

int ReadLibrary::getCellVerNum(const std::string& name) const {
  const Cell* cell = lookUp(name);
  return cell ? static_cast<int>(cell->versions.size()) : -1;
}

double ReadLibrary::getCellArea(const std::string& name, int k) const {
  const Cell* cell = lookUp(name);
  if (!cell || k < 0 || k >= static_cast<int>(cell->versions.size())) return -1.0;
  return cell->versions[static_cast<size_t>(k)].area;
}

double ReadLibrary::getCellDelay(const std::string& name, int k) const {
  const Cell* cell = lookUp(name);
  if (!cell || k < 0 || k >= static_cast<int>(cell->versions.size())) return -1.0;
  return cell->versions[static_cast<size_t>(k)].delay;
}

ReadLibrary::cellType ReadLibrary::getCellType(const std::string& name) const {
  const Cell* cell = lookUp(name);
  if (!cell || cell->versions.empty()) return static_cast<cellType>(-1);
  return cell->versions[0].type;
}

void ReadLibrary::dumpLibrary() const {
  for (const auto& [name, cell] : lib_) dumpCell(cell.get());
}

void ReadLibrary::dumpCell(const Cell* cell) const {
  if (!cell) {
    out_ << "NULL Cell\n";
    return;
  }
  out_ << cell->name << " " << typeWord(cell->versions.empty() ? -1 : cell->versions[0].type)
       << "\n";
  for (const cellVersion& v : cell->versions)
    out_ << "\t" << v.area << " " << v.delay << " " << v.latency << "\n";
}
