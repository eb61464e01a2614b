// The program's texts for the page: every text the page shows or writes is
// the core's, looked up by its key in the language the program speaks.

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/catalogue.h"
#include "web/binding_json.h"

using emscripten::val;

namespace calvetra::web {

namespace {

// Every text of the catalogue by its key's name, in the current language.
val texts()
{
    Json o = Json::object();
    for (int k = 0; k < kTextCount; ++k) {
        const Text key = static_cast<Text>(k);
        o.set(catalogue::name(key), catalogue::text(key));
    }
    return o.parsed();
}

// The languages the program speaks, as [{code, name}], Spanish first.
val languages()
{
    val list = val::array();
    for (const catalogue::Language& l : catalogue::languages()) {
        val o = val::object();
        o.set("code", std::string(l.code));
        o.set("name", std::string(l.name));
        list.call<void>("push", o);
    }
    return list;
}

std::string language() { return std::string(catalogue::current().code); }

// The text of a key with %1, %2 ... replaced by the arguments, by the core's
// one rule; an unknown key is an error for the page to report.
std::string formatText(const std::string& name, const val& arguments)
{
    const std::optional<Text> key = catalogue::key(name);
    if (!key)
        throw std::invalid_argument("no text " + name);
    const auto texts = emscripten::vecFromJSArray<std::string>(arguments);
    const std::vector<std::string_view> views(texts.begin(), texts.end());
    return catalogue::format(*key, views);
}

}  // namespace

EMSCRIPTEN_BINDINGS(calvetra_texts)
{
    emscripten::function("texts", &texts);
    emscripten::function("languages", &languages);
    emscripten::function("language", &language);
    emscripten::function("formatText", &formatText);
}

}  // namespace calvetra::web
