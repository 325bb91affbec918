// A strict reader of the flat JSON objects tellitcap writes, one per line: string and whole-number
// values only, every escape JSON allows decoded (\u pairs joined into one UTF-8 character).
#pragma once

#include <map>
#include <string>
#include <vector>

struct JsonLine {
  std::map<std::string, std::string> strings;
  std::map<std::string, unsigned long long> numbers;
  std::vector<std::string> order;  // the keys as they came
};

// False with `error` set when the line is not such an object (or has text after it).
bool ReadJsonLine(const std::string& line, JsonLine& out, std::string& error);
