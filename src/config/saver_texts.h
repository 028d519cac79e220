// The saver's words that more than one place shows: the window class every host's saver window
// carries, the password notice, and the credit lines of the settings dialog. Plain string
// macros, so that the Windows resource script takes them through the preprocessor just as C++
// does; UTF-8, as every source of the project.
#pragma once

// The class of every saver window, full-screen or preview, on every platform: a second start
// looks for it to stay away, and desktop tools find the saver by it.
#define TAVRIK_SAVER_WINDOW_CLASS "TavrikWindow"
#define TAVRIK_SAVER_WINDOW_TITLE "Tavrik"

// The password notice: the feature is not supported. Each text is a sentence and a line feed.
#define TAVRIK_NOTICE_CAPTION "TAVRIK"
#define TAVRIK_NOTICE_ENGLISH "The password feature is not supported.\n"
#define TAVRIK_NOTICE_JAPANESE "パスワード機能には対応しておりません\n"
// Said, under the same caption, where the processor lacks SSE2, which the program is built for.
#define TAVRIK_NEEDS_SSE2 \
  "TAVRIK needs a processor with SSE2: a Pentium 4, an Athlon 64 or a later one."

// Our own lines under the dialog's version banner, in template order: the third stands between
// the first and the second. They stay true whichever device draws.
#define TAVRIK_CREDIT_LINE_1 "By the TAVRIK developers"
#define TAVRIK_CREDIT_LINE_2 "Thanks for watching"
#define TAVRIK_CREDIT_LINE_3 "Every frame drawn live"
