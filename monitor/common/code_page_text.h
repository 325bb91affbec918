// Where UTF-8 text (the console's, the JSON lines', a UTF-8 log's) meets the ANSI code page (the
// settings file's, the dialogs', a log's in that code page), both ways.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Characters the code page lacks become its default character.
void Utf8ToAnsiText(std::string_view utf8, std::string& out);
void AnsiToUtf8Text(std::string_view ansi, std::string& out);
