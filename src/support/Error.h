#pragma once
// The one way a run fails. Library code never ends the process: where input is
// bad it throws osvo::Error carrying the message lines to print, the stream
// they belong on and the exit status. Only the driver catches it; it flushes
// standard output, prints the message verbatim and returns the status.
#include <stdexcept>
#include <string>
#include <utility>

namespace osvo {

// Exit statuses of the program.
constexpr int kExitSuccess = 0;
constexpr int kExitBadInput = 1;            // bad input, a bad option or a refused run
constexpr int kExitNoFit = 2;               // the runs never fit the outline
constexpr int kExitUnreadableNetlist = 255; // the Verilog netlist cannot be opened

enum class Stream { Out, Err };

class Error : public std::runtime_error {
 public:
  // `message` is printed exactly as given, so it carries its own line ends.
  explicit Error(std::string message, int status = kExitBadInput, Stream stream = Stream::Err)
      : std::runtime_error(std::move(message)), status_(status), stream_(stream) {}

  int status() const { return status_; }
  Stream stream() const { return stream_; }

 private:
  int status_;
  Stream stream_;
};

// Throws an Error; for call sites that read best as a statement.
[[noreturn]] inline void fail(std::string message, int status = kExitBadInput,
                              Stream stream = Stream::Err) {
  throw Error(std::move(message), status, stream);
}

}  // namespace osvo
