// The catalogue: every text of the program in every language it speaks.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "toolkit/catalogue.h"

using namespace calvetra;

namespace {

// The %1..%9 of a text, in order of their number (a translation may move
// them about, but must keep every one).
std::vector<std::string> placeholders(std::string_view text)
{
    std::vector<std::string> found;
    for (std::size_t k = 0; k + 1 < text.size(); ++k)
        if (text[k] == '%' && text[k + 1] >= '1' && text[k + 1] <= '9')
            found.emplace_back(text.substr(k, 2));
    std::sort(found.begin(), found.end());
    return found;
}

TEST(Catalogue, EveryTextInEveryLanguageIsThereAndKeepsTheSpanishPlaceholders)
{
    ASSERT_FALSE(catalogue::languages().empty());
    EXPECT_EQ(catalogue::languages().front().code, "es");
    std::vector<std::string> spanish;
    for (int k = 0; k < kTextCount; ++k)
        spanish.emplace_back(catalogue::text(static_cast<Text>(k)));
    for (const catalogue::Language& language : catalogue::languages()) {
        ASSERT_TRUE(catalogue::choose(language.code)) << language.code;
        EXPECT_EQ(catalogue::current().code, language.code);
        EXPECT_FALSE(language.name.empty()) << language.code;
        for (int k = 0; k < kTextCount; ++k) {
            const Text key = static_cast<Text>(k);
            const std::string_view text = catalogue::text(key);
            EXPECT_FALSE(text.empty()) << language.code << ": " << catalogue::name(key);
            EXPECT_EQ(placeholders(text), placeholders(spanish[static_cast<std::size_t>(k)]))
                << language.code << ": " << catalogue::name(key) << " \"" << text << "\"";
        }
    }
    catalogue::choose("es");
}

}  // namespace
