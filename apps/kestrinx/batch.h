// Line-by-line mode: checks every line of a stream as an entry and prints one result per line.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "session.h"

namespace kestrinx::cli {

// Reads lines of any bytes (NUL included) from a stream, keeping at most `cap` bytes of each and
// counting the rest, so a line of any length costs bounded memory.
class LineReader {
 public:
  LineReader(std::FILE* in, std::size_t cap) : in_(in), cap_(cap) {}
  // The next line without its "\n" and without one trailing "\r"; false at the end of input.
  // `length` is the line's full length (after dropping "\r"), `line` its first `cap` bytes.
  bool next(std::string& line, std::size_t& length);

 private:
  std::FILE* in_;
  std::size_t cap_;
};

struct BatchSummary {
  std::size_t entries = 0;
  std::size_t invalid = 0;
  std::size_t errors = 0;  // checks stopped by a run-time error
};

enum class OutputFormat : std::uint8_t { Human, Json };

// Checks every line of `in` in a fresh session and writes one result line per entry to `out`.
BatchSummary runBatch(std::FILE* in, std::FILE* out, const SessionFactory& fresh, OutputFormat format);
// The same with a control of its own per line, set up as `config` says.
BatchSummary runBatch(std::FILE* in, std::FILE* out, const SessionConfig& config, OutputFormat format);

}  // namespace kestrinx::cli
