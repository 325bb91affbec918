// The lead and trail byte sets and the case folding of a Windows code page, asked of the system.
#pragma once

#include <windows.h>

#include "code_page/case_folding.h"
#include "code_page/lead_trail_sets.h"
#include "code_page/utf8_characters.h"

// Lead and trail byte sets of the process's ANSI code page (GetCPInfo), for IsDoubleByte.
LeadTrailSets LeadTrailSetsForAnsiCodePage();
// The same for a given code page (932 gives Shift-JIS; single-byte code pages have no leads).
LeadTrailSets LeadTrailSetsForCodePage(UINT codePage);
// The single-byte upper-case letters of the ANSI code page and their lower case (É to é in code
// page 1252; in code page 932 the ASCII letters alone), for a search that ignores case.
CaseFolding CaseFoldingForAnsiCodePage();
// Every code point of the Basic Multilingual Plane in lower case as the user's locale maps it
// (LCMapStringEx), for a search or a filter of Unicode text that ignores case. Made once.
const code_page::UnicodeFolding& UnicodeFoldingOfSystem();
// Whether the ANSI code page is a double-byte one whose text sets Greek, Cyrillic and its
// symbols in two cells.
bool AmbiguousCharactersAreWide();
