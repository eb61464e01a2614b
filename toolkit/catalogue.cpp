#include "toolkit/catalogue.h"

#include <algorithm>
#include <array>

#include "toolkit/catalogue_table.h"

namespace calvetra::catalogue {

namespace {

int current_ = 0;  // index into kLanguages; Spanish is the first

const std::array<Language, kLanguageCount>& table()
{
    static const std::array<Language, kLanguageCount> languages = [] {
        std::array<Language, kLanguageCount> out;
        for (int k = 0; k < kLanguageCount; ++k)
            out[k] = {kLanguages[k].code, kLanguages[k].texts[static_cast<int>(Text::LanguageName)]};
        return out;
    }();
    return languages;
}

int indexOf(std::string_view code)
{
    for (int k = 0; k < kLanguageCount; ++k)
        if (code == kLanguages[k].code)
            return k;
    return -1;
}

}  // namespace

std::span<const Language> languages() { return table(); }

std::optional<Language> language(std::string_view code)
{
    const int k = indexOf(code);
    return k < 0 ? std::nullopt : std::optional<Language>(table()[k]);
}

Language current() { return table()[current_]; }

bool choose(std::string_view code)
{
    const int k = indexOf(code);
    current_ = std::max(k, 0);
    return k >= 0;
}

std::string_view text(Text key) { return kLanguages[current_].texts[static_cast<int>(key)]; }

std::optional<Text> key(std::string_view name)
{
    const auto* end = kKeyNames + kTextCount;
    const auto* at = std::find(kKeyNames, end, name);
    return at == end ? std::nullopt : std::optional<Text>(static_cast<Text>(at - kKeyNames));
}

std::string_view name(Text key) { return kKeyNames[static_cast<int>(key)]; }

std::string format(Text key, std::initializer_list<std::string_view> arguments)
{
    return format(key, std::span<const std::string_view>(arguments.begin(), arguments.size()));
}

std::string format(Text key, std::span<const std::string_view> arguments)
{
    const std::string_view pattern = text(key);
    std::string out;
    for (std::size_t k = 0; k < pattern.size(); ++k) {
        const char c = pattern[k];
        const std::size_t n =
            k + 1 < pattern.size() ? static_cast<std::size_t>(pattern[k + 1] - '1') : arguments.size();
        if (c == '%' && n < arguments.size()) {
            out += arguments[n];
            ++k;
        } else {
            out += c;
        }
    }
    return out;
}

std::string helpFile()
{
    return current_ == 0 ? "ayuda.html" : "ayuda." + std::string(kLanguages[current_].code) + ".html";
}

std::string unknownLanguageMessage(std::string_view code) { return format(Text::UnknownLanguage, {code}); }

}  // namespace calvetra::catalogue
