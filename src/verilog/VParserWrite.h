#pragma once
// The callbacks through which VerilogParser reports what it recognised.
//
// For one module the parser calls writeModuleHead first, then the declarations,
// assignments and instances in source order, and endModule last. The base class
// prints a trace of every call on standard output; a real writer overrides them
// all. Each callback returns 0 on success and 1 when it reported a problem; the
// parser does not look at the result.
#include <string>
#include <vector>

class VParserWrite {
 public:
  // One actual signal. A whole name has indices (-1, -1), a bit select [k]
  // (k, k), a range [a:b] (a, b); a one-bit constant has its bit string as name,
  // indices (-1, -1) and `constant` 1.
  struct arrayVar {
    std::string name;
    int first = -1;
    int second = -1;
    int constant = 0;
  };
  // One connection of an instance; `formal` is empty for a positional one.
  // The actuals hold more than one signal only for a concatenation.
  struct formalActualList {
    std::string formal;
    std::vector<arrayVar> actuals;
  };

  virtual ~VParserWrite() = default;
  virtual int writeModuleHead(const std::string& name, const std::vector<std::string>& ports);
  // msb and lsb are both -1 without a range.
  virtual int writeInputPort(const std::string& name, int msb, int lsb);
  virtual int writeOutputPort(const std::string& name, int msb, int lsb);
  virtual int writeWire(const std::string& name, int msb, int lsb);
  // kinds: 0 a whole name (or a constant on the right), 1 a bit select, 2 a
  // range; an index is the first index of its side, -1 for a whole name.
  virtual int writeAssignment(const std::string& left, const std::string& right, int leftKind,
                              int rightKind, int rightIsConstant, int leftIndex, int rightIndex);
  // The connections are handed over to the writer.
  virtual int writeInstance(const std::string& master, const std::string& name,
                            std::vector<formalActualList> connections);
  virtual int endModule();
};
