#pragma once

// The compiled catalogue, as po/catalogue.mjs writes it at build time.

#include "catalogue_keys.h"

namespace calvetra::catalogue {

struct LanguageTable {
    const char* code;
    const char* const* texts;  // kTextCount of them, by key
};

extern const char* const kKeyNames[kTextCount];
extern const LanguageTable kLanguages[kLanguageCount];

}  // namespace calvetra::catalogue
