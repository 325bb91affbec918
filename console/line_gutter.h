// LineGutter: what the view draws before a stored line's text (a time stamp, who sent it), made
// by the owner from the line's message record when the line is laid out. Nothing of it is
// stored, so that changing it restyles the whole history at once. Portable: no Windows header.
#pragma once

#include <cstdint>
#include <string>

class TextStore;

class LineGutter {
 public:
  virtual ~LineGutter() = default;
  // Appends the text drawn before the first byte of stored line k (nothing for none). Asked
  // only for lines that hold bytes.
  virtual void Append(const TextStore& store, uint32_t line, std::string& out) const = 0;
  // The most bytes Append gives for any stored line now: what the horizontal range must allow.
  virtual uint32_t Widest(const TextStore& store) const = 0;
};
