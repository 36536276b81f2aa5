#pragma once
// A one-line progress indicator for an interactive terminal: each update
// rewrites the line in place (carriage return), and erase() blanks it again.
// When disabled it writes nothing at all, so redirected output stays clean.
#include <cstddef>
#include <ostream>
#include <string>

class ProgressLine {
 public:
  ProgressLine(std::ostream& out, bool enabled) : out_(out), enabled_(enabled) {}
  // Enabled exactly when standard error is a terminal; writes to std::cerr.
  static ProgressLine onStandardError();
  ~ProgressLine() { erase(); }
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  bool enabled() const { return enabled_; }
  // Replaces the shown text. The cursor is left at the start of the line, so a
  // line written to standard output meanwhile overwrites the indicator.
  void show(const std::string& text);
  // Blanks the line if something is shown.
  void erase();

  // The indicator's text for temperature step `step` of run `run`.
  static std::string text(long long run, long long maxRuns, long long fits, int required, int step,
                          double temperature, double bestBIPS);

 private:
  std::ostream& out_;
  bool enabled_;
  std::size_t shownWidth_ = 0;
};
