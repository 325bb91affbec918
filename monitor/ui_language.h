// The process-wide user-interface language, read from the settings at start-up and changed by
// the language dialog; every text shown from then on follows it.
#pragma once

// 1 Japanese, 0 English, -1 not chosen yet.
extern int language;
// The language the user's locale suggests: 1 for Japanese (0x0411), else 0.
int DetectLanguage();
