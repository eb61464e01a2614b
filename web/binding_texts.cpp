// The program's texts for the page: every text the page shows or writes is
// the core's, looked up by its key in the language the program speaks.

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <string>

#include "toolkit/catalogue.h"

using emscripten::val;

namespace calvetra::web {

namespace {

// Every text of the catalogue by its key's name, in the current language.
val texts()
{
    val o = val::object();
    for (int k = 0; k < kTextCount; ++k) {
        const Text key = static_cast<Text>(k);
        o.set(std::string(catalogue::name(key)), std::string(catalogue::text(key)));
    }
    return o;
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

}  // namespace

EMSCRIPTEN_BINDINGS(calvetra_texts)
{
    emscripten::function("texts", &texts);
    emscripten::function("languages", &languages);
    emscripten::function("language", &language);
}

}  // namespace calvetra::web
