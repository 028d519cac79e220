// The screen-saver switches of the Windows convention, shared by every host: the first of
// sixteen two-character switches, in table order, that occurs anywhere in the command text picks
// the mode, and the number after it is the parent window. Pure text handling, no window system.
#pragma once

#include <cstdint>
#include <string_view>

namespace tavrik {

enum class SaverMode : int32_t { Configure = 0, Preview = 1, Run = 2, Password = 3 };

// An empty text configures with no parent. The number after the winning switch is read as the C
// library's atol reads it and kept to 32 bits (0 when there are no digits). False when no switch
// occurs.
bool parseCommandLine(std::string_view commandText, SaverMode& mode, uint64_t& parentWindow);

// True when text is one of the sixteen switches, alone or followed by ':' and a number.
bool isSwitchArgument(std::string_view text);

}  // namespace tavrik
