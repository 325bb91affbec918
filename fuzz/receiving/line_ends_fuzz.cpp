// Fuzzes the receiver's line-end rule: bounds, the NUL, and the rule checked against the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "receiving/line_ends.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the output capacity, so cuts at every position are reached.
  const size_t capacity = data[0] % 2 == 0 ? 2 * size + 1 : 1 + data[0] % 17;
  const uint8_t* text = data + 1;
  const size_t length = line_ends::TextLength(text, size - 1);
  if (length > size - 1) std::abort();

  std::vector<uint8_t> out(capacity);
  const size_t written = line_ends::Convert(text, length, out.data(), capacity);
  if (written >= capacity || out[written] != 0) std::abort();

  // Re-derive the rule: every CR and LF of the output belongs to a two-byte line end, and the
  // output minus its line ends equals a prefix of the input minus its CRs and LFs.
  size_t in = 0;
  for (size_t i = 0; i < written;) {
    const uint8_t b = out[i];
    if (b == '\r' || b == '\n') {
      if (i + 1 >= written) std::abort();
      const uint8_t partner = out[i + 1];
      if (!((b == '\r' && partner == '\n') || (b == '\n' && partner == '\r'))) std::abort();
      if (in >= length || (text[in] != '\r' && text[in] != '\n')) std::abort();
      const bool pair = in + 1 < length && text[in + 1] == (text[in] == '\r' ? '\n' : '\r');
      in += pair ? 2 : 1;
      i += 2;
    } else {
      if (in >= length || text[in] != b) std::abort();
      ++in;
      ++i;
    }
  }
  // With room for twice the text, nothing is cut.
  if (capacity > 2 * length && in != length) std::abort();
  return 0;
}
