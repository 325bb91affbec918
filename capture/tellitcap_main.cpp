// tellitcap.exe: captures the monitor's channel without a window, for test runs, CI jobs and
// servers; the exit status says how it ended (see CaptureUsage).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "code_page/ansi_code_page_decoder.h"
#include "capture/capture_filters.h"
#include "capture/capture_options.h"
#include "capture/capture_session.h"
#include "capture/console_stop.h"
#include "capture/output_sink.h"
#include "capture/syslog_sender.h"
#include "channel/channel.h"
#include "code_page/ansi_code_page.h"

namespace {

enum ExitStatus { kStopped = 0, kBadArguments = 1, kInUse = 2, kFailed = 3, kUntilNotSeen = 4 };

// How long the end of a capture waits for the syslog queue to be sent.
constexpr uint32_t kSyslogFinishMs = 5000;

// This machine's name, the HOSTNAME of the syslog messages; empty when it cannot be read.
std::string ComputerName() {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD length = sizeof name;
  return GetComputerNameA(name, &length) ? std::string(name, length) : std::string();
}

// The system's text for an error code, on one line, with the code.
std::string SystemMessage(DWORD error) {
  char text[512] = {};
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                      text, sizeof text, nullptr);
  std::string message(text, length);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' ||
                              message.back() == '.')) {
    message.pop_back();
  }
  for (char& c : message) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return (message.empty() ? "error" : message) + " (error " + std::to_string(error) + ")";
}

int Report(int status, const std::string& line) {
  std::fprintf(stderr, "tellitcap: %s\n", line.c_str());
  std::fflush(stderr);
  return status;
}

int ReportSession(capture::CaptureSession::Outcome outcome, const capture::CaptureSession& session,
                  const capture::OutputSink& sink) {
  using Outcome = capture::CaptureSession::Outcome;
  char name[channel::kNameBufferSize];
  channel::FormatMailslotName(name);
  switch (outcome) {
    case Outcome::kStopped:
      return kStopped;
    case Outcome::kMailslotInUse:
      return Report(kInUse, std::string("another monitor owns the mailslot ") + name + "; nothing was captured");
    case Outcome::kMailslotFailed:
      return Report(kFailed, std::string("the mailslot ") + name + " could not be created: " +
                                 SystemMessage(session.error()));
    case Outcome::kDebugOutputInUse:
      return Report(kInUse, "another program is capturing debug output (--debug-output); nothing was captured");
    case Outcome::kDebugOutputFailed:
      return Report(kFailed, "the debug-output listener failed: " + SystemMessage(session.error()));
    case Outcome::kOutputFailed:
      return Report(kFailed, "the output could not be written: " + SystemMessage(sink.error()));
  }
  return kFailed;
}

// A rotation that failed: the capture goes on in the current file, and the user hears why.
void TellRotationTrouble(const RotationTrouble& trouble) {
  const std::string step = trouble.to.empty() ? trouble.from + " could not be removed"
                                              : trouble.from + " could not be renamed to " + trouble.to;
  Report(0, "the output was not rotated: " + step + ": " + SystemMessage(trouble.error) +
                "; writing goes on in the current file");
}

int Capture(const capture::CaptureOptions& options) {
  // First of all, so that a Ctrl+C during the start ends the capture in order too.
  capture::ConsoleStop stop;
  if (!stop.installed()) return Report(kFailed, "the Ctrl+C handler could not be installed: " +
                                                    SystemMessage(GetLastError()));
  code_page::AnsiCodePageDecoder decoder;
  capture::OutputSink sink;
  capture::CaptureSession session(sink, decoder, options.json, options.senders);
  session.readOnThread = true;
  if (options.timeForm >= 0) {
    line_stamps::StampStyle style;
    style.form = line_stamps::StampForm(options.timeForm);
    session.SetStamps(style);
  }
  session.SetFilters(filtering::FilterSet(capture::CaptureFilterRules(options), LeadTrailSetsForAnsiCodePage(),
                                          CaseFoldingForAnsiCodePage()));
  session.SetUntil(filtering::FilterSet(capture::CaptureUntilRules(options), LeadTrailSetsForAnsiCodePage(),
                                        CaseFoldingForAnsiCodePage()));
  // The channel first: when another monitor owns it, no output file is created or touched.
  capture::CaptureSession::Outcome outcome = session.Open(options.debugOutput, options.debugOutputGlobal);
  if (outcome != capture::CaptureSession::Outcome::kStopped) return ReportSession(outcome, session, sink);
  rotation::Policy rotation;
  rotation.maxBytes = options.maxSize;
  rotation.keep = options.keep;
  rotation.daily = options.daily;
  sink.SetTroubleTeller(&TellRotationTrouble);
  bool opened = true;
  if (!options.outputFile.empty()) {
    opened = sink.OpenFile(options.outputFile.c_str(), rotation);
  } else if (options.syslog.empty()) {
    opened = sink.OpenStandardOutput();
  } else {
    sink.OpenNothing();  // the collector alone
  }
  if (!opened) {
    const std::string what = options.outputFile.empty() ? "standard output" : options.outputFile;
    return Report(kFailed, what + " could not be opened: " + SystemMessage(sink.error()));
  }
  // The collector last: its thread starts once the capture is sure to run.
  std::unique_ptr<capture::SyslogSender> syslog;
  if (!options.syslog.empty()) {
    capture::SyslogTarget target;
    std::string error;
    capture::ParseSyslogTarget(options.syslog, target, error);  // checked with the arguments
    capture::TlsOptions tls;
    tls.caFile = options.caFile;
    tls.clientCertFile = options.clientCertFile;
    tls.insecure = options.insecure;
    // The password stays off the command line, where every user of the machine could read it.
    if (const char* password = std::getenv("TELLITCAP_CERT_PASSWORD")) tls.clientCertPassword = password;
    if (options.insecure) {
      Report(0, "--insecure: the syslog collector's certificate is not checked; anyone on the way can read and "
                "change the messages");
    }
    syslog = std::make_unique<capture::SyslogSender>(target, static_cast<std::size_t>(options.queue), ComputerName(),
                                                     std::move(tls));
    if (!syslog->Start(error)) return Report(kFailed, error);
    session.SetSyslog(syslog.get());
  }
  capture::CaptureSession::Limits limits;
  limits.count = options.count;
  limits.milliseconds = options.milliseconds;
  outcome = session.Run(limits, stop.event());
  if (syslog) {
    const uint64_t unsent = syslog->Finish(kSyslogFinishMs);
    if (unsent != 0) Report(0, std::to_string(unsent) + " messages could not be sent to " + options.syslog);
  }
  stop.Finished();
  if (outcome == capture::CaptureSession::Outcome::kStopped && !options.until.empty() && session.timeRanOut()) {
    return Report(kUntilNotSeen, "no message matched --until \"" + options.until + "\" before the time ran out");
  }
  return ReportSession(outcome, session, sink);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const capture::ParsedArguments parsed = capture::ParseCaptureArguments(arguments);
    if (!parsed.ok) {
      std::fprintf(stderr, "tellitcap: %s\n%s", parsed.error.c_str(), capture::CaptureUsage());
      return kBadArguments;
    }
    if (parsed.options.help) {
      std::fputs(capture::CaptureUsage(), stdout);
      return kStopped;
    }
    return Capture(parsed.options);
  } catch (const std::exception& error) {
    // Out of memory for a message: what was written stays written.
    return Report(kFailed, std::string("stopped: ") + error.what());
  }
}
