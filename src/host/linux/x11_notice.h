// Password mode's notice: the feature is not supported.
#pragma once

#include <cstdint>

namespace tavrik {

// The notice's text: the Japanese sentence and a line feed, in UTF-8.
inline constexpr const char* kPasswordNotice = "パスワード機能には対応しておりません\n";

// Shows the notice in a message box with the caption "TAVRIK", owned by owner when it exists,
// until it is dismissed; without a display the text goes to standard error. Returns 0.
int showPasswordNotice(uint64_t owner);

}  // namespace tavrik
