// MessageView: each received message, and each notice, shown in the console and the views and
// written to the log.
#include "monitor/app/message_view.h"

#include <windows.h>

#include <string>

#include "code_page/ansi_to_utf8.h"
#include "code_page/utf8_characters.h"
#include "monitor/common/code_page_text.h"
#include "monitor/filters/history_filter.h"
#include "receiving/byte_buffer.h"
#include "receiving/file_time.h"
#include "receiving/line_ends.h"
#include "receiving/message_text.h"
#include "filtering/message_subject.h"

namespace {

// A name in the ANSI code page as UTF-8: the same bytes where it is ASCII, else decoded into
// `decoded`.
std::string_view InUtf8(const code_page::CodePageDecoder& decoder, std::string_view ansi, std::string& decoded) {
  if (code_page::IsAscii(ansi.data(), ansi.size())) return ansi;
  decoded = code_page::AnsiToUtf8(decoder, ansi.data(), ansi.size());
  return decoded;
}

}  // namespace

void MessageView::AllocateConvertBuffer() { convertBuffer = TryAllocateBytes(convertCapacity); }

void MessageView::Take(const Message& message) {
  if (message.kind == MessageKind::kText) status.Count(GetTickCount());
  // The console keeps who sent each message and when beside its lines. The channel's own lines
  // (banner, cut notice) are notices there, which no filter hides.
  StoredMessage record;
  record.SetTimes(message.arrivalTime, message.hasTrailer ? message.sentTime : 0);
  record.pid = message.hasProcessId ? message.processId : 0;
  record.thread = message.hasTrailer ? message.threadId : 0;
  // The console keeps and draws its names in UTF-8, as its text.
  std::string decodedName;
  record.program =
      console.text.programs.Intern(InUtf8(log.decoder(), message.program, decodedName)) & ProgramNames::kMaxNames;
  record.source = static_cast<uint32_t>(message.source);
  const bool channelNotice = message.kind == MessageKind::kText && message.source == MessageSource::kTellit &&
                             filtering::IsChannelNotice(message.text, message.length);
  record.kind = static_cast<uint32_t>(channelNotice ? MessageKind::kNotice : message.kind);
  // Whether the view may name the sender: the same rule as for the log's prefix below.
  record.namesSender = message.kind == MessageKind::kText && message.hasProcessId;
  if (message_text::ShowsSender(record.namesSender != 0, message.source, false)) gutter.namesAlways = true;
  if (message.kind != MessageKind::kText) {  // the receiver's own lines: short, never cut
    // A loss is stamped with the time of the datagram it comes before.
    ShowNotice(std::string(reinterpret_cast<const char*>(message.text), message.length),
               message.hasTrailer ? message.sentTime : 0, record);
    return;
  }
  // The console keeps the sender's text alone and draws the prefix from the record; the log
  // takes it written before the text.
  const std::string_view program = message.program;  // the log's and the notices': ANSI
  const bool prefixed = log.IsOpen() && message_text::ShowsSender(message, gutter.senders);
  const std::string prefix = prefixed ? message_text::SenderPrefix(message.processId, program) : std::string();
  const auto length = static_cast<uint32_t>(message.length > bufferCeiling ? bufferCeiling : message.length);

  const uint32_t convertGrown = line_ends::GrownConvertCapacity(
      convertCapacity, static_cast<uint32_t>(length + prefix.size()), bufferCeiling);
  if (convertGrown != 0 || !convertBuffer) {
    // Also retried when an earlier allocation failed, so one failure does not end intake.
    if (convertGrown != 0) convertCapacity = convertGrown;
    convertBuffer = TryAllocateBytes(convertCapacity);
  }
  if (!convertBuffer) return;  // this message is lost

  unsigned char* out = convertBuffer.get();
  const size_t prefixLength = prefix.size() + 3 < convertCapacity ? prefix.size() : 0;
  prefix.copy(reinterpret_cast<char*>(out), prefixLength);
  uint8_t* text = out + prefixLength;
  const size_t room = convertCapacity - prefixLength;
  size_t consumed = 0;
  size_t converted = line_ends::Convert(message.text, length, text, room, &consumed);
  const bool convertCut = consumed < message.length;
  if (message.cut || convertCut) {
    // A cut text ends its line, so that the next message starts one of its own; a lead byte
    // whose trail was cut off goes with it.
    if (!line_ends::EndsLine(text, converted) && converted + 3 > room && room > 3) {
      converted = line_ends::Convert(message.text, length, text, room - 2, &consumed);
    }
    const size_t whole = console.codePage.WholeCharacters(text, converted);
    consumed -= converted - whole;
    converted = whole;
    if (!line_ends::EndsLine(text, converted)) {
      text[converted++] = '\r';
      text[converted++] = '\n';
    }
  }
  record.cut = message.cut || convertCut;
  if (message.cutFrom != 0 || convertCut) {
    // Cut as it was read, or by the convert buffer: said before what is left of it.
    const uint64_t size = message.cutFrom != 0 ? message.cutFrom : message.length;
    ShowNotice(message.hasProcessId ? message_text::CutNotice(size, consumed, message.processId, program)
                                    : message_text::CutNotice(size, consumed));
  }
  // The console keeps every character in UTF-8: the message's own text with its line ends
  // converted, or what its ANSI text says where that is all there is, or was cut on the way here.
  const uint8_t* consoleText = text;
  size_t consoleLength = converted;
  std::string utf8Text;
  const bool exactIsAnsi = message.utf8 == message.text ||
                           (message.utf8 == nullptr && code_page::IsAscii(text, converted));
  if (!exactIsAnsi) {
    if (message.utf8 != nullptr && !convertCut) {
      utf8Text.resize(2 * message.utf8Length + 3);
      auto* utf8Out = reinterpret_cast<uint8_t*>(&utf8Text[0]);
      size_t n = line_ends::Convert(message.utf8, message.utf8Length, utf8Out, utf8Text.size() - 2);
      if (message.cut) {
        n = code_page::WholeUtf8(utf8Out, n);
        if (!line_ends::EndsLine(utf8Out, n)) {
          utf8Out[n++] = '\r';
          utf8Out[n++] = '\n';
        }
      }
      utf8Text.resize(n);
    } else {
      utf8Text = code_page::AnsiToUtf8(log.decoder(), reinterpret_cast<const char*>(text), converted);
    }
    consoleText = reinterpret_cast<const uint8_t*>(utf8Text.data());
    consoleLength = utf8Text.size();
  }
  std::string utf8Shown;
  if (log.IsOpen() && log.encoding() == LogEncoding::kUtf8 && message.utf8 != nullptr) {
    utf8Shown = LogLineInUtf8(code_page::AnsiToUtf8(log.decoder(), prefix.data(), prefixLength), message.utf8,
                              message.utf8Length, record.cut != 0);
  }
  WriteShown(out, prefixLength + converted, consoleText, consoleLength, message.hasTrailer ? message.sentTime : 0, record,
             utf8Shown.empty() ? nullptr : &utf8Shown);
}

void MessageView::WriteShown(const unsigned char* shownText, size_t length, const uint8_t* senderText,
                            size_t senderLength, uint64_t sentTime, StoredMessage record, const std::string* utf8Shown) {
  // The console stores the sender's text alone, which the filters decide on, as they do again
  // over the history; the view draws the stamp and the sender from the record.
  if (record.Arrival() == 0) record.SetTimes(NowAsFileTime(), sentTime);
  const uint64_t number = console.text.NextMessageNumber();
  HistoryFilter::Store(console.text, views.Current().active, record, senderText, senderLength, filterScratch, [&] {
    console.Write(reinterpret_cast<const char*>(senderText), static_cast<int>(senderLength), 0);
  });
  // The other views decide it by their rules, as they come.
  if (views.size() > 1) {
    const std::string& program = console.text.programs.Name(record.program);
    views.MarkOthers(number, [&](const filtering::FilterSet& filters) {
      return HistoryFilter::MarkFor(filters, record, program, senderText, senderLength);
    });
  }
  // The log takes the text as shown, stamped where its lines begin.
  if (!log.IsOpen()) {
    stamps.Follow(shownText, length);
    return;
  }
  // In UTF-8: every character of the sender's, or what the ANSI text says. The line ends are the
  // same in both, so the stamps fall where they fall in the console.
  std::string decoded;
  if (log.encoding() == LogEncoding::kUtf8) {
    if (!utf8Shown) decoded = code_page::AnsiToUtf8(log.decoder(), reinterpret_cast<const char*>(shownText), length);
    const std::string& utf8 = utf8Shown ? *utf8Shown : decoded;
    shownText = reinterpret_cast<const unsigned char*>(utf8.data());
    length = utf8.size();
  }
  // Stamped with the time the view draws for it.
  size_t shownLength = length;
  const unsigned char* shown = shownText;
  const uint64_t time = !gutter.style.arrival && sentTime != 0 ? sentTime : record.Arrival();
  if (gutter.stamps) shown = stamps.Apply(shownText, length, time, gutter.style, shownLength);
  else stamps.Follow(shownText, length);
  log.WriteLog(shown, static_cast<DWORD>(shownLength));
}

void MessageView::ShowReceived(const unsigned char* text, size_t length) {
  Message received;
  received.text = text;
  received.length = length;
  Take(received);
}

void MessageView::ShowNotice(const std::string& text, uint64_t sentTime, StoredMessage record) {
  if (record.kind == static_cast<uint32_t>(MessageKind::kText)) record.kind = static_cast<uint32_t>(MessageKind::kNotice);
  // Converted apart from the convert buffer, which may hold the message the notice is about.
  std::string converted(2 * text.size() + 1, '\0');
  const size_t length = line_ends::Convert(reinterpret_cast<const uint8_t*>(text.data()), text.size(),
                                           reinterpret_cast<uint8_t*>(&converted[0]), converted.size());
  const auto* bytes = reinterpret_cast<const unsigned char*>(converted.data());
  if (code_page::IsAscii(bytes, length)) {
    WriteShown(bytes, length, bytes, length, sentTime, record);
    return;
  }
  const std::string utf8 = code_page::AnsiToUtf8(log.decoder(), converted.data(), length);
  WriteShown(bytes, length, reinterpret_cast<const uint8_t*>(utf8.data()), utf8.size(), sentTime, record);
}
