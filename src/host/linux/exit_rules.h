// The full-screen saver's exit rules: a key or a left or right button ends it at once, the first
// 21 mouse moves are tolerated and the 22nd ends it; system keys (Alt, F10, Alt with a key), the
// middle button and the wheel never do.
#pragma once

#include <cstdint>

namespace tavrik {

enum class SaverInput { Key, SystemKey, LeftButton, RightButton, OtherButton, Wheel, MouseMove };

struct ExitRules {
  int32_t mouseMoveCount = 0;  // never reset during a run

  // True when this input ends the saver.
  bool ends(SaverInput input) {
    switch (input) {
      case SaverInput::Key:
      case SaverInput::LeftButton:
      case SaverInput::RightButton:
        return true;
      case SaverInput::MouseMove:
        return mouseMoveCount++ > 20;
      case SaverInput::SystemKey:
      case SaverInput::OtherButton:
      case SaverInput::Wheel:
        return false;
    }
    return false;
  }
};

}  // namespace tavrik
