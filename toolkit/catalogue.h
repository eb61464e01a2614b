#pragma once

// The program's texts in every language it speaks. Every caption, message,
// menu item and heading either face shows or writes is looked up here by its
// key; the texts themselves are in po/calvetra.pot (Spanish, the program's
// own language and its default) and po/<code>.po, compiled in at build time.

#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "catalogue_keys.h"

namespace calvetra::catalogue {

struct Language {
    std::string_view code;  // "es", "en", ...
    std::string_view name;  // in its own words: "Español", "English", ...
};

// Spanish first, then the others in the order of their codes.
std::span<const Language> languages();

// The language of that code, if the program speaks it.
std::optional<Language> language(std::string_view code);

// The language texts are looked up in; Spanish until another is chosen.
Language current();

// Chooses the language of that code; an unknown code chooses Spanish and
// returns false.
bool choose(std::string_view code);

// The text of a key in the current language.
std::string_view text(Text key);

// The same, by the key's name (as the page asks for it); nothing for a name
// that is not a key.
std::optional<Text> key(std::string_view name);
std::string_view name(Text key);

// The text of a key with %1, %2 ... replaced by the arguments in order.
std::string format(Text key, std::initializer_list<std::string_view> arguments);
std::string format(Text key, std::span<const std::string_view> arguments);

// The help document's file in the current language: "ayuda.html" in Spanish.
std::string helpFile();

// For the unknown language of a link or an option: the one message that
// names it (in Spanish, the language the program then speaks).
std::string unknownLanguageMessage(std::string_view code);

}  // namespace calvetra::catalogue
