#pragma once

#include <string>
#include <string_view>

#include "toolkit/catalogue.h"

// The program's messages to the user, in the current language.
namespace calvetra::messages {

inline std::string_view valveAbove100() { return catalogue::text(Text::ValveAbove100); }
inline std::string_view checkParameters() { return catalogue::text(Text::CheckParameters); }
inline std::string_view negativeTime() { return catalogue::text(Text::NegativeTime); }

// The tank overflows at that time, written as the program shows times.
inline std::string overflow(std::string_view time) { return catalogue::format(Text::Overflow, {time}); }

// Whether a message is the overflow's, whatever its time.
inline bool isOverflow(std::string_view message)
{
    const std::string_view pattern = catalogue::text(Text::Overflow);
    const std::size_t at = pattern.find("%1");
    const std::string_view before = pattern.substr(0, at), after = pattern.substr(at + 2);
    return message.size() > before.size() + after.size() && message.starts_with(before) && message.ends_with(after);
}

}  // namespace calvetra::messages
