#pragma once

// A link applied to the program, and the program written as a link (the
// codec itself is model/address_codec.h).
//
// Opening an address runs the same actions a user would, through Form1, on
// a freshly loaded program: for each run, its figures typed into the boxes
// (a changed span is a time edit, which redraws the runs already drawn) and
// "Calcular"; then the boxes' figures typed (a new span redraws every curve
// over it); then the instantaneous time typed. With n=1000 the query comes
// before the last time edit, as it must have for the curves to have 1000
// steps. What the address cannot hold is the order of earlier queries and
// time edits between two runs, the scale a cleared series leaves behind, and
// texts that are not numbers.
//
// Whatever the program itself would refuse (a run whose figures it rejects,
// a span or an instantaneous time it refuses) is found on a trial run first,
// left out and named with what the codec left out; what the program reports
// of a run it draws (an overflow) comes up as when the user drew it.

#include <string>
#include <string_view>
#include <vector>

#include "model/address_codec.h"
#include "model/form1.h"
#include "toolkit/window.h"

namespace calvetra {

// The set-up of the program as it stands, and its fragment (without "#").
SetUp setUpOf(const Form1& form, const Window& window);
std::string addressOf(const Form1& form, const Window& window);

// Speaks the language the address asks for (Spanish for one the program
// does not have), the drawn runs' legends rewritten in it; true when that
// changed the language. openAddress does this first; a face that names
// what it left out calls it before writing those names.
bool chooseLinkLanguage(Form1& form, std::string_view address);

// Brings a freshly loaded program to the address's set-up. Returns the one
// message for the user, empty when everything was applied; alsoIgnored is
// named in it too (what the face itself left out).
std::string openAddress(Form1& form, Window& window, std::string_view address,
                        const std::vector<std::string>& alsoIgnored = {});

}  // namespace calvetra
