#pragma once

// The link's codec: a set-up (the figures in the boxes and the runs of the
// series drawn, each with the figures it was calculated with) as a short,
// readable, versioned fragment that both faces read back, and the text of
// a link read back as a set-up, with the one message on what it left out.
// It knows nothing of the window; model/open_address.h applies a set-up to
// the program.
//
//   v=1&V=5.4&Q=10&To=20&Ap=100&q=1000&t=20000&i=100&n=1000
//      &runs=5.4,10,20,100,1000,20000;5.4,10,20,75,1000,20000&fin
//
//   v     the format's version, 1
//   V Q To Ap q t   the boxes: volume (l), feed flow (l/h), initial
//         temperature (ºC), valve opening (%), heater power (W), time span (s)
//         (their keys and order are the table of the figures, toolkit/figures.h)
//   i     the instantaneous-time box, once a query has run
//   n     1000 when the curves were last redrawn after an instantaneous
//         query (a time edit then integrates kQuerySteps, not
//         kCalculationSteps)
//   exact 1 when the exact solution is shown beside the runs
//   runs  up to three runs, ";" between them, each "V,Q,To,Ap,q,t" as the
//         boxes held them when "Calcular" drew it
//   lang  the language the program speaks, when not Spanish ("en", "ca", ...)
//   view  "projector" for the projector's look of the graph; the window's
//         look without it
//   marks 1 when each run carries a mark of its own, 0 when it does not;
//         written only where it differs from the look's default (on in the
//         projector's look, off in the window's)
//   fin   the end: a fragment without it has been cut off
//
// Numbers are written with the point and read back to the same value.
//
// The address is untrusted. Whatever cannot be read (an unknown key, a
// value that is not a number or is negative or huge, a run too many, a
// cut-off end) is named, and the rest is read; an address that cannot be
// read as one (another version, doubly encoded, too long) is read as
// nothing, with the reason.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/figures.h"

namespace calvetra {

struct SetUp {
    std::array<std::optional<double>, kFigureCount> boxes;  // in the order of kFigures
    std::optional<double> instant;                          // the instantaneous-time box
    bool queryBeforeTimeEdit = false;                       // n=1000
    bool exact = false;                                     // exact=1
    std::vector<RunFigures> runs;
    std::string language;       // lang=: a language the program speaks; empty when not given
    bool projector = false;     // view=projector
    std::optional<bool> marks;  // marks=: none for the look's default
};

struct ParsedAddress {
    SetUp setUp;
    std::vector<std::string> ignored;     // what was left out, in the user's words
    std::vector<std::size_t> runNumbers;  // where each run of setUp stood in the address, from 1
    std::string unread;                   // why nothing of it was read; empty when it was
};

// The fragment (without "#") of a set-up.
std::string writeAddress(const SetUp& setUp);

// Reads a whole address, a fragment with or without "#", or nothing.
ParsedAddress parseAddress(std::string_view address);

// The one message: why nothing was read, or what was ignored (empty when
// everything was applied).
std::string addressMessage(const ParsedAddress& parsed);

// A run's record as the address writes it: "V,Q,To,Ap,q,t".
std::string runRecord(const RunFigures& run);

// A piece of an address as a message quotes it: printable ASCII only, and
// short.
std::string quotedPiece(std::string_view piece);

}  // namespace calvetra
