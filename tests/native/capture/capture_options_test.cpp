// tellitcap's command line: every accepted form and every refusal, with the reason it gives.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "capture/capture_options.h"

namespace {

using capture::ParseCaptureArguments;

struct Expected {
  std::string outputFile;
  bool json = false;
  bool debugOutput = false;
  uint64_t count = 0;
  uint64_t milliseconds = 0;
  bool help = false;
  bool debugOutputGlobal = false;
};

TEST(CaptureArguments, AcceptedForms) {
  const struct {
    const char* name;
    std::vector<std::string> arguments;
    Expected expected;
  } cases[] = {
      {"nothing: standard output, no limit", {}, {}},
      {"-o", {"-o", "log.txt"}, {"log.txt"}},
      {"--output=", {"--output=C:\\logs\\a b.txt"}, {"C:\\logs\\a b.txt"}},
      {"--output with a separate value", {"--output", "x"}, {"x"}},
      {"--json", {"--json"}, {"", true}},
      {"--debug-output", {"--debug-output"}, {"", false, true}},
      {"--count", {"--count", "5"}, {"", false, false, 5}},
      {"--count=", {"--count=18446744073709551615"}, {"", false, false, 18446744073709551615ull}},
      {"--seconds whole", {"--seconds", "2"}, {"", false, false, 0, 2000}},
      {"--seconds with decimals", {"--seconds=0.5"}, {"", false, false, 0, 500}},
      {"--seconds with three decimals", {"--seconds", "1.25"}, {"", false, false, 0, 1250}},
      {"--seconds without a whole part", {"--seconds", ".001"}, {"", false, false, 0, 1}},
      {"--seconds at the longest", {"--seconds", std::to_string(capture::kMaxSeconds)},
       {"", false, false, 0, capture::kMaxSeconds * 1000}},
      {"everything, any order", {"--seconds", "3", "--json", "-o", "f", "--debug-output", "--count", "7"},
       {"f", true, true, 7, 3000}},
      {"--help", {"--help"}, {"", false, false, 0, 0, true}},
      {"-h among others", {"--json", "-h"}, {"", true, false, 0, 0, true}},
      {"/?", {"/?"}, {"", false, false, 0, 0, true}},
      {"--debug-output-global listens to the session's too", {"--debug-output-global"},
       {"", false, true, 0, 0, false, true}},
      {"--debug-output-global with --debug-output", {"--debug-output", "--debug-output-global"},
       {"", false, true, 0, 0, false, true}},
  };
  for (const auto& c : cases) {
    const capture::ParsedArguments parsed = ParseCaptureArguments(c.arguments);
    ASSERT_TRUE(parsed.ok) << c.name << ": " << parsed.error;
    const capture::CaptureOptions& options = parsed.options;
    EXPECT_EQ(options.outputFile, c.expected.outputFile) << c.name;
    EXPECT_EQ(options.json, c.expected.json) << c.name;
    EXPECT_EQ(options.debugOutput, c.expected.debugOutput) << c.name;
    EXPECT_EQ(options.count, c.expected.count) << c.name;
    EXPECT_EQ(options.milliseconds, c.expected.milliseconds) << c.name;
    EXPECT_EQ(options.help, c.expected.help) << c.name;
    EXPECT_EQ(options.debugOutputGlobal, c.expected.debugOutputGlobal) << c.name;
  }
}

TEST(CaptureArguments, RefusedFormsSayWhy) {
  const struct {
    std::vector<std::string> arguments;
    const char* reason;  // a part of the error line
  } cases[] = {
      {{"--bogus"}, "unknown option --bogus"},
      {{"-x"}, "unknown option -x"},
      {{"stray"}, "unexpected argument 'stray'"},
      {{"-o"}, "-o needs a value"},
      {{"-o", ""}, "-o needs a file name"},
      {{"-o", "--json"}, "-o needs a file name"},
      {{"--output="}, "--output needs a file name"},
      {{"-o", "a", "-o", "b"}, "the output file is given twice"},
      {{"--json", "--json"}, "--json is given twice"},
      {{"--json=1"}, "--json takes no value"},
      {{"--debug-output", "--debug-output"}, "--debug-output is given twice"},
      {{"--debug-output-global", "--debug-output-global"}, "--debug-output-global is given twice"},
      {{"--debug-output-global=yes"}, "--debug-output-global takes no value"},
      {{"--count"}, "--count needs a value"},
      {{"--count", "0"}, "above 0, not '0'"},
      {{"--count", "-3"}, "not '-3'"},
      {{"--count", "3x"}, "not '3x'"},
      {{"--count", "1.5"}, "not '1.5'"},
      {{"--count", ""}, "not ''"},
      {{"--count", "18446744073709551616"}, "not '18446744073709551616'"},
      {{"--count", "1", "--count", "2"}, "--count is given twice"},
      {{"--seconds", "0"}, "above 0"},
      {{"--seconds", "0.000"}, "above 0"},
      {{"--seconds", "1.2345"}, "not '1.2345'"},
      {{"--seconds", "2."}, "not '2.'"},
      {{"--seconds", "."}, "not '.'"},
      {{"--seconds", "1e3"}, "not '1e3'"},
      {{"--seconds", "-1"}, "not '-1'"},
      {{"--seconds", std::to_string(capture::kMaxSeconds + 1)}, "--seconds needs"},
      {{"--seconds", "99999999999999999999"}, "--seconds needs"},
      {{"--seconds", "1", "--seconds", "2"}, "--seconds is given twice"},
      {{"-o", "f", "--max-size", "0"}, "--max-size needs a size above 0"},
      {{"-o", "f", "--max-size", "10X"}, "not '10X'"},
      {{"-o", "f", "--max-size", "M"}, "not 'M'"},
      {{"-o", "f", "--max-size", "1.5M"}, "not '1.5M'"},
      {{"-o", "f", "--max-size", "17179869184G"}, "not '17179869184G'"},
      {{"-o", "f", "--max-size", "1K", "--max-size", "2K"}, "--max-size is given twice"},
      {{"-o", "f", "--max-size", "1K", "--keep", "1000"}, "from 0 to 999, not '1000'"},
      {{"-o", "f", "--daily", "--keep", "-1"}, "not '-1'"},
      {{"-o", "f", "--daily", "--daily"}, "--daily is given twice"},
      {{"--daily=yes", "-o", "f"}, "--daily takes no value"},
      {{"--max-size", "1M"}, "they need -o FILE"},
      {{"--daily"}, "they need -o FILE"},
      {{"--keep", "3"}, "they need -o FILE"},
      {{"-o", "f", "--keep", "3"}, "--keep needs --max-size or --daily"},
      {{"--include"}, "--include needs a value"},
      {{"--include", ""}, "--include needs a pattern"},
      {{"--exclude="}, "--exclude needs a pattern"},
      {{"--program", "--json"}, "--program needs a pattern (one that begins with - is written --program=--json)"},
      {{"--exclude", "-x"}, "written --exclude=-x"},
      {{"--syslog", "tcp://h:514", "--ca", "ca.pem"}, "need --syslog tls://"},
      {{"--ca", "ca.pem"}, "need --syslog tls://"},
      {{"--syslog", "udp://h:514", "--insecure"}, "need --syslog tls://"},
      {{"--syslog", "tcp://h:514", "--client-cert", "me.pfx"}, "need --syslog tls://"},
      {{"--syslog", "tls://h", "--ca"}, "--ca needs a value"},
      {{"--syslog", "tls://h", "--ca", "--insecure"}, "--ca needs a file name"},
      {{"--syslog", "tls://h", "--client-cert="}, "--client-cert needs a file name"},
      {{"--syslog", "tls://h", "--ca", "a", "--ca", "b"}, "--ca is given twice"},
      {{"--syslog", "tls://h", "--insecure", "--insecure"}, "--insecure is given twice"},
      {{"--syslog", "tls://h", "--insecure=1"}, "--insecure takes no value"},
      {{"--syslog", "tls://h", "--insecure", "--ca", "ca.pem"}, "cannot go with --ca"},
      {{"--syslog", "tls://h:0"}, "--syslog needs"},
  };
  for (const auto& c : cases) {
    const capture::ParsedArguments parsed = ParseCaptureArguments(c.arguments);
    std::string shown;
    for (const std::string& argument : c.arguments) shown += "[" + argument + "]";
    EXPECT_FALSE(parsed.ok) << shown;
    EXPECT_NE(parsed.error.find(c.reason), std::string::npos) << shown << " said: " << parsed.error;
    EXPECT_EQ(parsed.error.find('\n'), std::string::npos) << "one line";
  }
}

TEST(CaptureArguments, RotationOptions) {
  const struct {
    std::vector<std::string> arguments;
    uint64_t maxSize;
    uint32_t keep;
    bool daily;
  } cases[] = {
      {{"-o", "f"}, 0, 5, false},
      {{"-o", "f", "--max-size", "1000"}, 1000, 5, false},
      {{"-o", "f", "--max-size=64k"}, 64 * 1024, 5, false},
      {{"--max-size", "10M", "-o", "f", "--keep", "2"}, 10ull << 20, 2, false},
      {{"-o", "f", "--max-size", "3G", "--keep=0"}, 3ull << 30, 0, false},
      {{"-o", "f", "--max-size", "17179869183G"}, 17179869183ull << 30, 5, false},
      {{"-o", "f", "--daily"}, 0, 5, true},
      {{"-o", "f", "--daily", "--keep", "999", "--max-size", "1"}, 1, 999, true},
  };
  for (const auto& c : cases) {
    const capture::ParsedArguments parsed = ParseCaptureArguments(c.arguments);
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.maxSize, c.maxSize) << c.arguments.back();
    EXPECT_EQ(parsed.options.keep, c.keep) << c.arguments.back();
    EXPECT_EQ(parsed.options.daily, c.daily) << c.arguments.back();
  }
}

TEST(CaptureArguments, FiltersAreRepeatableAndKeepTheirOrder) {
  const struct {
    std::vector<std::string> arguments;
    std::vector<std::string> includes;
    std::vector<std::string> excludes;
    std::vector<std::string> programs;
  } cases[] = {
      {{}, {}, {}, {}},
      {{"--include", "keep*"}, {"keep*"}, {}, {}},
      {{"--include=a", "--json", "--include", "b", "--include=c=d"}, {"a", "b", "c=d"}, {}, {}},
      {{"--exclude", "*drop*", "--exclude=-x", "--exclude", "a b"}, {}, {"*drop*", "-x", "a b"}, {}},
      {{"--program", "client*", "--include", "k", "--program=x.exe", "--exclude", "e"}, {"k"}, {"e"},
       {"client*", "x.exe"}},
  };
  for (const auto& c : cases) {
    const capture::ParsedArguments parsed = ParseCaptureArguments(c.arguments);
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.includes, c.includes);
    EXPECT_EQ(parsed.options.excludes, c.excludes);
    EXPECT_EQ(parsed.options.programs, c.programs);
  }
}

// --until takes one pattern as the filters do; a second one, an empty one or a forgotten one is
// refused.
TEST(CaptureArguments, UntilTakesOnePattern) {
  const struct {
    std::vector<std::string> arguments;
    const char* until;  // null: refused
    const char* error;
  } cases[] = {
      {{"--until", "*service ready*"}, "*service ready*", ""},
      {{"--until=-begins with a dash", "--seconds", "30"}, "-begins with a dash", ""},
      {{"--count", "3", "--until", "x", "--json"}, "x", ""},
      {{"--until"}, nullptr, "--until needs a value"},
      {{"--until="}, nullptr, "--until needs a pattern"},
      {{"--until", "--json"}, nullptr, "--until needs a pattern (one that begins with - is written --until=--json)"},
      {{"--until", "a", "--until", "b"}, nullptr, "--until is given twice"},
  };
  for (const auto& c : cases) {
    const capture::ParsedArguments parsed = ParseCaptureArguments(c.arguments);
    EXPECT_EQ(parsed.ok, c.until != nullptr) << c.arguments[0];
    EXPECT_EQ(parsed.ok ? parsed.options.until : parsed.error, c.until ? c.until : c.error);
  }
}

TEST(CaptureArguments, TimeTakesOneFormOfTheTextForm) {
  const struct {
    std::vector<std::string> arguments;
    int form;  // -2: refused
    const char* error;
  } cases[] = {
      {{}, -1, ""},
      {{"--time", "clock"}, 0, ""},
      {{"--time=date"}, 1, ""},
      {{"--time", "elapsed", "--senders"}, 2, ""},
      {{"--time", "delta"}, 3, ""},
      {{"--time", "Delta"}, -2, "--time takes clock, date, elapsed or delta, not 'Delta'"},
      {{"--time"}, -2, "--time needs a value"},
      {{"--time", "clock", "--time", "date"}, -2, "--time is given twice"},
      {{"--time", "clock", "--json"}, -2, "--time is for the text form: --json writes its times"},
  };
  for (const auto& c : cases) {
    const capture::ParsedArguments parsed = ParseCaptureArguments(c.arguments);
    EXPECT_EQ(parsed.ok, c.form != -2) << (c.arguments.empty() ? "" : c.arguments.back());
    if (parsed.ok) EXPECT_EQ(parsed.options.timeForm, c.form);
    else EXPECT_EQ(parsed.error, c.error);
  }
}

TEST(CaptureArguments, ByteSizes) {
  const struct {
    const char* text;
    bool ok;
    uint64_t bytes;
  } cases[] = {
      {"1", true, 1},        {"0", true, 0},          {"2K", true, 2048},        {"2k", true, 2048},
      {"5M", true, 5 << 20}, {"1g", true, 1ull << 30}, {"", false, 0},           {"K", false, 0},
      {"1KB", false, 0},     {"-1", false, 0},        {" 1", false, 0},          {"1 K", false, 0},
      {"18446744073709551615", true, ~0ull},           {"18446744073709551616", false, 0},
      {"18014398509481983K", true, 18014398509481983ull << 10},
      {"18014398509481984K", false, 0},
  };
  for (const auto& c : cases) {
    uint64_t bytes = 12345;
    EXPECT_EQ(capture::ParseByteSize(c.text, bytes), c.ok) << c.text;
    if (c.ok) EXPECT_EQ(bytes, c.bytes) << c.text;
  }
}

TEST(CaptureArguments, TlsOptions) {
  const struct {
    const char* name;
    std::vector<std::string> arguments;
    const char* ca;
    const char* clientCert;
    bool insecure;
  } cases[] = {
      {"system roots", {"--syslog", "tls://logs.example"}, "", "", false},
      {"a CA of its own", {"--syslog", "tls://logs.example:10514", "--ca", "C:\\ca.pem"}, "C:\\ca.pem", "", false},
      {"a client certificate", {"--client-cert=me.pfx", "--syslog=tls://h"}, "", "me.pfx", false},
      {"both", {"--syslog", "tls://h", "--ca=ca.der", "--client-cert", "me.p12"}, "ca.der", "me.p12", false},
      {"insecure", {"--syslog", "tls://h", "--insecure"}, "", "", true},
      {"insecure with a client certificate", {"--syslog", "tls://h", "--insecure", "--client-cert", "c.pfx"}, "",
       "c.pfx", true},
  };
  for (const auto& c : cases) {
    const capture::ParsedArguments parsed = ParseCaptureArguments(c.arguments);
    ASSERT_TRUE(parsed.ok) << c.name << ": " << parsed.error;
    EXPECT_EQ(parsed.options.caFile, c.ca) << c.name;
    EXPECT_EQ(parsed.options.clientCertFile, c.clientCert) << c.name;
    EXPECT_EQ(parsed.options.insecure, c.insecure) << c.name;
  }
}

TEST(CaptureArguments, UsageNamesEveryOption) {
  const std::string usage = capture::CaptureUsage();
  for (const char* option : {"-o", "--output", "--json", "--count", "--seconds", "--debug-output", "--help",
                             "--max-size", "--keep", "--daily", "--include", "--exclude", "--program", "--until",
                             "--syslog", "tls://", "--queue", "--ca", "--client-cert", "--insecure", "--debug-output-global", "--time"}) {
    EXPECT_NE(usage.find(option), std::string::npos) << option;
  }
  ASSERT_FALSE(usage.empty());
  EXPECT_EQ(usage.back(), '\n');
}

// Every option the usage text spells is one the parser knows: none is said and then refused.
TEST(CaptureArguments, EveryOptionOfTheUsageIsKnown) {
  const std::string usage = capture::CaptureUsage();
  int found = 0;
  for (std::size_t at = usage.find("--"); at != std::string::npos; at = usage.find("--", at + 2)) {
    std::size_t end = at + 2;
    while (end < usage.size() && (std::isalnum(static_cast<unsigned char>(usage[end])) || usage[end] == '-')) ++end;
    const std::string option = usage.substr(at, end - at);
    if (option.size() <= 2) continue;
    ++found;
    const capture::ParsedArguments parsed = ParseCaptureArguments({option});
    EXPECT_EQ(parsed.error.find("unknown option"), std::string::npos) << option << ": " << parsed.error;
  }
  EXPECT_GE(found, 20);
}

}  // namespace
