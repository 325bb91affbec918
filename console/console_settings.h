// ConsoleSettings: every setting of the console control, one record copied whole. Its initial
// values are the defaults everywhere: of the control, of vigilo.ini's keys and of the fields the
// file does not hold.
#pragma once

#include <cstdint>

struct ConsoleSettings {
  // The line bound: at most maxLines - 1 complete lines; 0 lets the buffer size alone bound them
  // (a line for every 16 bytes, 10,000 at least).
  int32_t maxLines = 0;
  int32_t wrapColumn = 80;     // a line ends after this many bytes; width of a display row
  int32_t showVScroll = 1;
  int32_t showHScroll = 1;
  int32_t hexMode = 0;         // bytes 0x00..0x1F shown as <XX>
  int32_t autoScroll = 1;      // scroll to the end after each Write
  int32_t readOnly = 1;        // typed and pasted text refused
  int32_t newlineMode = 2;     // Enter and pasted breaks: 0 CR, 1 LF, otherwise CR LF
  int32_t bufferSize = 64 << 20;  // text store capacity in bytes
  int32_t tabSize = 4;         // tab stop distance in cells
  int32_t inputLine = 0;       // always 0: no input line
  int32_t fontSize = 18;       // font cell height in logical units
  char fontName[32] = "FixedSys";
  // Colour pairs by index: 0 normal, 1 hexadecimal codes, 2 selection, 3 input line (unused).
  // Values are 0x00BBGGRR.
  uint32_t normalText = 0x000000, normalBack = 0xFFFFFF;
  uint32_t hexText = 0x0000FF, hexBack = 0xFFFFFF;
  uint32_t selectText = 0x000000, selectBack = 0xFFFF00;
  uint32_t inputText = 0xFF00FF, inputBack = 0xFFFFFF;

  // Text colour (0) or background (1) of colour pair 0..3.
  uint32_t Colour(int pair, bool background) const {
    switch (pair) {
      case 1: return background ? hexBack : hexText;
      case 2: return background ? selectBack : selectText;
      case 3: return background ? inputBack : inputText;
      default: return background ? normalBack : normalText;
    }
  }
};
