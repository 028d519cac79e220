// The saver's rules that every host follows alike: which input ends a full-screen run, and the
// texts (window class, notice) it shows. A host only tells what its events are; the rules decide.
#pragma once

#include <cstdint>

#include "config/saver_texts.h"

namespace tavrik {

inline constexpr const char* kSaverWindowClass = TAVRIK_SAVER_WINDOW_CLASS;
inline constexpr const char* kSaverWindowTitle = TAVRIK_SAVER_WINDOW_TITLE;
inline constexpr const char* kNoticeCaption = TAVRIK_NOTICE_CAPTION;
// The notice's texts, each a sentence and a line feed, in UTF-8.
inline constexpr const char* kPasswordNoticeEnglish = TAVRIK_NOTICE_ENGLISH;
inline constexpr const char* kPasswordNoticeJapanese = TAVRIK_NOTICE_JAPANESE;

// What a host's input event stands for. System keys are Alt, F10 and Alt with a key, which the
// window system keeps for itself.
enum class SaverInput { Key, SystemKey, LeftButton, RightButton, OtherButton, Wheel, MouseMove };

// A key or a left or right button ends the run at once; the first 21 mouse moves are tolerated
// (a few are the hand settling, more are someone back) and the 22nd ends it; system keys, the
// middle button and the wheel never do.
struct ExitRules {
  static constexpr int32_t kToleratedMouseMoves = 21;
  int32_t mouseMoveCount = 0;  // never reset during a run

  // True when this input ends the saver.
  bool ends(SaverInput input) {
    switch (input) {
      case SaverInput::Key:
      case SaverInput::LeftButton:
      case SaverInput::RightButton:
        return true;
      case SaverInput::MouseMove:
        return mouseMoveCount++ >= kToleratedMouseMoves;
      case SaverInput::SystemKey:
      case SaverInput::OtherButton:
      case SaverInput::Wheel:
        return false;
    }
    return false;
  }
};

}  // namespace tavrik
