// The catalogue at run time: the build checks every text of every language
// (po/catalogue.mjs), these the lookups the program makes with them.

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "toolkit/catalogue.h"

using namespace calvetra;

namespace {

bool isPlaceholder(std::string_view s, std::size_t k)
{
    return s[k] == '%' && k + 1 < s.size() && s[k + 1] >= '1' && s[k + 1] <= '9';
}

// A text without its placeholders, and how often each of %1..%9 occurs in it.
struct Pieces {
    std::string rest;
    int count[9] = {};
};

Pieces pieces(std::string_view text)
{
    Pieces out;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (isPlaceholder(text, k))
            ++out.count[text[++k] - '1'];
        else
            out.rest += text[k];
    }
    return out;
}

// What format() put in for argument n, as no text of the catalogue holds it.
std::string marker(int n) { return "\x01" + std::to_string(n) + "\x02"; }

// The result of format() with the markers taken out again.
Pieces markersOf(std::string formatted)
{
    Pieces out;
    for (int n = 0; n < 9; ++n)
        for (std::size_t at; (at = formatted.find(marker(n))) != std::string::npos;) {
            formatted.erase(at, marker(n).size());
            ++out.count[n];
        }
    out.rest = formatted;
    return out;
}

}  // namespace

// Every text of every language formatted with nine arguments: each %n
// becomes argument n wherever the translation put it, a "%" that is not a
// placeholder ("Ap.Valv = %4 (%)") stays, and nothing else changes.
TEST(Catalogue, FormatPutsEachArgumentWhereItsLanguagePutsItsPlaceholder)
{
    std::string markers[9];
    std::string_view arguments[9];
    for (int n = 0; n < 9; ++n) {
        markers[n] = marker(n);
        arguments[n] = markers[n];
    }
    for (const catalogue::Language& language : catalogue::languages()) {
        ASSERT_TRUE(catalogue::choose(language.code));
        for (int k = 0; k < kTextCount; ++k) {
            const Text key = static_cast<Text>(k);
            SCOPED_TRACE(std::string(language.code) + ": " + std::string(catalogue::name(key)));
            const Pieces expected = pieces(catalogue::text(key));
            const Pieces found = markersOf(catalogue::format(key, arguments));
            EXPECT_EQ(found.rest, expected.rest);
            for (int n = 0; n < 9; ++n)
                EXPECT_EQ(found.count[n], expected.count[n]) << "%" << n + 1;
        }
        // An argument is put in as it is, even one that looks like a
        // placeholder (a piece of a link, quoted in a message).
        EXPECT_NE(catalogue::format(Text::Quoted, {"%1 %2"}).find("%1 %2"), std::string::npos) << language.code;
    }
    catalogue::choose("es");
}

// The page asks for texts by their keys' names, and a link or an option
// names a language by its code: an unknown one leaves the program in Spanish.
TEST(Catalogue, KeysByNameAndLanguagesByCode)
{
    for (int k = 0; k < kTextCount; ++k)
        EXPECT_EQ(catalogue::key(catalogue::name(static_cast<Text>(k))), static_cast<Text>(k));
    EXPECT_EQ(catalogue::key("NoSuchKey"), std::nullopt);
    EXPECT_EQ(catalogue::key(""), std::nullopt);

    ASSERT_TRUE(catalogue::choose("en"));
    EXPECT_EQ(catalogue::text(Text::LanguageName), "English");
    EXPECT_EQ(catalogue::helpFile(), "ayuda.en.html");
    for (const std::string_view unknown : {"xx", "", "EN", "en-GB", "es\n"}) {
        catalogue::choose("pt");
        EXPECT_FALSE(catalogue::choose(unknown)) << unknown;
        EXPECT_EQ(catalogue::current().code, "es") << unknown;
        EXPECT_EQ(catalogue::text(Text::LanguageName), "Español");
        EXPECT_EQ(catalogue::helpFile(), "ayuda.html");
        EXPECT_FALSE(catalogue::language(unknown).has_value()) << unknown;
    }
    EXPECT_EQ(catalogue::unknownLanguageMessage("xx"),
              "El idioma «xx» no está disponible; el programa sigue en español.");
}
