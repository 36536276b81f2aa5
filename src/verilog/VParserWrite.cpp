#include "verilog/VParserWrite.h"

#include <iostream>

namespace {
void printRange(int msb, int lsb) {
  if (msb >= 0 || lsb >= 0) std::cout << " [" << msb << ":" << lsb << "]";
}

void printActual(const VParserWrite::arrayVar& v) {
  std::cout << (v.constant ? "1'b" : "") << v.name;
  if (v.first == v.second && v.first >= 0) {
    std::cout << "[" << v.first << "]";
  } else if (v.first >= 0 || v.second >= 0) {
    std::cout << "[" << v.first << ":" << v.second << "]";
  }
}
}  // namespace

int VParserWrite::writeModuleHead(const std::string& name, const std::vector<std::string>& ports) {
  std::cout << "Parse module " << name << " (";
  for (size_t i = 0; i < ports.size(); ++i) std::cout << (i ? ", " : "") << ports[i];
  std::cout << ")\n";
  return 0;
}

int VParserWrite::writeInputPort(const std::string& name, int msb, int lsb) {
  std::cout << "input " << name;
  printRange(msb, lsb);
  std::cout << "\n";
  return 0;
}

int VParserWrite::writeOutputPort(const std::string& name, int msb, int lsb) {
  std::cout << "output " << name;
  printRange(msb, lsb);
  std::cout << "\n";
  return 0;
}

int VParserWrite::writeWire(const std::string& name, int msb, int lsb) {
  std::cout << "wire " << name;
  printRange(msb, lsb);
  std::cout << "\n";
  return 0;
}

int VParserWrite::writeAssignment(const std::string& left, const std::string& right, int leftKind,
                                  int rightKind, int rightIsConstant, int leftIndex,
                                  int rightIndex) {
  std::cout << "assign " << left;
  if (leftKind != 0) std::cout << "[" << leftIndex << "]";
  std::cout << " <-- " << (rightIsConstant ? "1'b" : "") << right;
  if (rightKind != 0) std::cout << "[" << rightIndex << "]";
  std::cout << "\n";
  return 0;
}

int VParserWrite::writeInstance(const std::string& master, const std::string& name,
                                std::vector<formalActualList> connections) {
  std::cout << "instance " << master << " " << name << " (";
  for (size_t i = 0; i < connections.size(); ++i) {
    const formalActualList& c = connections[i];
    std::cout << (i ? ", " : "");
    if (!c.formal.empty()) std::cout << "." << c.formal << "(";
    if (c.actuals.size() > 1) std::cout << "{";
    for (size_t k = 0; k < c.actuals.size(); ++k) {
      if (k) std::cout << ", ";
      printActual(c.actuals[k]);
    }
    if (c.actuals.size() > 1) std::cout << "}";
    if (!c.formal.empty()) std::cout << ")";
  }
  std::cout << ")\n";
  return 0;
}

int VParserWrite::endModule() {
  std::cout << "endmodule\n";
  return 0;
}
