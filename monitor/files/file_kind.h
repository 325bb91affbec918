// What an opened file holds, judged from its first bytes: JSON lines of the capture form or text
// lines; for text, UTF-8 (a byte order mark, or valid UTF-8 with other than ASCII) or the ANSI
// code page; and whether it looks like binary data. Portable: no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>

enum class FileFormat { kText, kJsonLines };
enum class TextEncoding { kAnsi, kUtf8 };

struct FileKind {
  FileFormat format = FileFormat::kText;
  TextEncoding encoding = TextEncoding::kAnsi;
  size_t byteOrderMark = 0;  // bytes of a UTF-8 byte order mark at the start, to pass over
  bool binary = false;       // NUL bytes among the first: no text file
};

// How many first bytes DetectFileKind is given (fewer when the file is shorter).
constexpr size_t kKindSampleBytes = 64 * 1024;

// `whole` says the sample is the whole file: a sequence cut at its end is then invalid UTF-8,
// not a character the next bytes would complete.
FileKind DetectFileKind(const uint8_t* sample, size_t size, bool whole);

// Whether the bytes are valid UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF);
// with cutEndAllowed, a sequence begun validly in the last three bytes counts as valid.
bool IsValidUtf8(const uint8_t* bytes, size_t size, bool cutEndAllowed);
