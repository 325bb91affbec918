// The one place where an opened file's UTF-8 text meets the console's ANSI code page, both ways:
// the console stores ANSI bytes, the JSON lines and UTF-8 logs hold UTF-8.
#pragma once

#include <string>
#include <string_view>

// Characters the code page lacks become its default character.
void Utf8ToAnsiText(std::string_view utf8, std::string& out);
void AnsiToUtf8Text(std::string_view ansi, std::string& out);
