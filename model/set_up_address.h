#pragma once

// The set-up as an address: the figures in the boxes and the runs of the
// series drawn, each with the figures it was calculated with, written as a
// short, readable, versioned fragment that both faces read back:
//
//   v=1&V=5.4&Q=10&To=20&Ap=100&q=1000&t=20000&i=100&n=1000
//      &runs=5.4,10,20,100,1000,20000;5.4,10,20,75,1000,20000&fin
//
//   v     the format's version, 1
//   V Q To Ap q t   the boxes: volume (l), feed flow (l/h), initial
//         temperature (ºC), valve opening (%), heater power (W), time span (s)
//   i     the instantaneous-time box, once a query has run
//   n     1000 when the curves were last redrawn after an instantaneous
//         query (a time edit then integrates 1000 steps, not 5000)
//   runs  up to three runs, ";" between them, each "V,Q,To,Ap,q,t" as the
//         boxes held them when "Calcular" drew it
//   lang  the language the program speaks, when not Spanish ("en", "ca", ...)
//   fin   the end: a fragment without it has been cut off
//
// Numbers are written with the point and read back to the same value.
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
// The address is untrusted. Whatever cannot be applied (an unknown key, a
// value that is not a number or is negative or huge, a run too many, a run
// the program itself would refuse, a cut-off end) is named in one message
// and the rest is applied; an address that cannot be read as one (another
// version, doubly encoded, too long) leaves the window as it opened.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/form1.h"
#include "toolkit/window.h"

namespace calvetra {

struct SetUp {
    std::optional<double> volume, inflow, initialTemp, valve, power, span;
    std::optional<double> instant;     // the instantaneous-time box
    bool queryBeforeTimeEdit = false;  // n=1000
    std::vector<RunFigures> runs;
    std::string language;  // lang=: a language the program speaks; empty when not given
};

struct ParsedAddress {
    SetUp setUp;
    std::vector<std::string> ignored;     // what was left out, in the user's words
    std::vector<std::size_t> runNumbers;  // where each run of setUp stood in the address, from 1
    std::string unread;                   // why nothing of it was read; empty when it was
};

// The fragment (without "#") for the program as it stands.
std::string addressOf(const Form1& form, const Window& window);

// Reads a whole address, a fragment with or without "#", or nothing.
ParsedAddress parseAddress(std::string_view address);

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

// The one message: why nothing was read, or what was ignored (empty when
// everything was applied).
std::string addressMessage(const ParsedAddress& parsed);

}  // namespace calvetra
