// The receiver's line-end rule and the receive-buffer sizing rules, as pure functions.
// Portable: no Windows header, so the rules are tested natively and fuzzed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace line_ends {

// Copies text into out with every lone CR and every lone LF made CR LF; CR LF and LF CR pass
// unchanged as one line end. At most outCapacity - 1 bytes are written, followed by a NUL;
// a two-byte line end that no longer fits is dropped whole, never half written. Returns the
// converted length (without the NUL); nothing is written when outCapacity is 0. `consumed`, when
// given, says how many bytes of text were taken: fewer than `length` when the text was cut.
size_t Convert(const uint8_t* text, size_t length, uint8_t* out, size_t outCapacity, size_t* consumed = nullptr);

// Whether the text ends with a line end (its last byte a CR or an LF).
bool EndsLine(const uint8_t* text, size_t length);

// The text of a datagram: the bytes before its first NUL, or every byte read when it has none.
size_t TextLength(const uint8_t* datagram, size_t bytesRead);

// Receive buffer for a datagram of the given size: the size rounded up to a multiple of 1024,
// at most ceiling. Returns 0 when the current capacity already holds the datagram (no change).
uint32_t GrownReceiveCapacity(uint32_t capacity, uint32_t datagramSize, uint32_t ceiling);

// Convert buffer for a text of the given length: twice the length and one byte for the NUL, at
// most ceiling, once the current capacity is smaller. Returns 0 when the current capacity is kept.
uint32_t GrownConvertCapacity(uint32_t capacity, uint32_t textLength, uint32_t ceiling);

}  // namespace line_ends
