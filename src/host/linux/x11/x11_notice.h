// Password mode's notice: the feature is not supported.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/saver_rules.h"

namespace tavrik {

// The notice in the language of messages that the environment selects: the first of LC_ALL,
// LC_MESSAGES and LANG that is set and not empty, as the C library reads them. Japanese ("ja",
// "ja_JP.UTF-8", ...) gives the Japanese sentence, anything else the English one.
inline const char* passwordNotice(const char* lcAll, const char* lcMessages, const char* lang) {
  const char* chosen = "";
  for (const char* value : {lcAll, lcMessages, lang}) {
    if (value != nullptr && *value != '\0') {
      chosen = value;
      break;
    }
  }
  const std::string_view locale = chosen;
  const bool japanese = locale.substr(0, 2) == "ja" && (locale.size() == 2 || locale[2] == '_' ||
                                                        locale[2] == '.' || locale[2] == '@');
  return japanese ? kPasswordNoticeJapanese : kPasswordNoticeEnglish;
}

// Shows the notice in a message box with the caption "TAVRIK", owned by owner when it exists,
// until it is dismissed; without a display the text goes to standard error. Returns 0.
int showPasswordNotice(uint64_t owner);

}  // namespace tavrik
