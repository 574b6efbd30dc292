#include "batch.h"

#include "output.h"

namespace kestrinx::cli {

bool LineReader::next(std::string& line, std::size_t& length) {
  line.clear();
  length = 0;
  bool any = false;
  // A "\r" is held back until we know whether the line ends right after it.
  bool pendingCr = false;
  auto keep = [&](char c) {
    if (line.size() < cap_) line += c;
    ++length;
  };
  for (int ch; (ch = std::getc(in_)) != EOF;) {
    any = true;
    if (ch == '\n') {
      pendingCr = false;
      return true;
    }
    if (pendingCr) keep('\r');
    pendingCr = ch == '\r';
    if (!pendingCr) keep(static_cast<char>(ch));
  }
  return any;  // a last line without "\n" still counts; a trailing lone "\r" is dropped with it
}

BatchSummary runBatch(std::FILE* in, std::FILE* out, const SessionConfig& config, OutputFormat format) {
  return runBatch(in, out, [&config] { return std::make_unique<Session>(config); }, format);
}

BatchSummary runBatch(std::FILE* in, std::FILE* out, const SessionFactory& fresh, OutputFormat format) {
  BatchSummary summary;
  LineReader reader(in, MaxEntryBytes);
  std::string line;
  std::size_t length = 0;
  while (reader.next(line, length)) {
    const Outcome outcome = checkEntry(fresh, line, length);
    ++summary.entries;
    if (!outcome.valid) ++summary.invalid;
    if (outcome.error) ++summary.errors;
    const std::string text = format == OutputFormat::Json ? jsonLine(outcome) : humanLine(outcome);
    std::fputs(text.c_str(), out);
    std::fputc('\n', out);
    std::fflush(out);  // one result per entry as it comes, for scripts reading a pipe
  }
  return summary;
}

}  // namespace kestrinx::cli
