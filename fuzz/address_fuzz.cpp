// libFuzzer target: the set-up address, read and opened on a freshly loaded
// program whatever bytes it holds. It traps (keeping the input) when
// opening throws, when something is ignored without a message, or
// when the address the program writes afterwards is not read back whole.
// Every input starts in Spanish, as the program does; a link's lang may
// choose another language, which the written address then keeps.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/messages.h"
#include "model/open_address.h"
#include "tests/support/recording_window.h"

namespace {

using namespace calvetra;

[[noreturn]] void fail(const char* what, const std::string& detail)
{
    std::fprintf(stderr, "\n*** invariant failed: %s\n    %s\n", what, detail.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view address(reinterpret_cast<const char*>(data), size);
    catalogue::choose("es");
    const ParsedAddress parsed = parseAddress(address);
    if (parsed.setUp.runs.size() > static_cast<std::size_t>(kRunCount))
        fail("more runs read than a series holds", std::to_string(parsed.setUp.runs.size()));

    testing::Program program;
    std::string message;
    try {
        message = openAddress(program.form, program.window, address);
    } catch (...) {
        fail("opening an address threw", std::string(address));
    }
    if (!addressMessage(parsed).empty() && message.empty())
        fail("something ignored without a message", addressMessage(parsed));
    // Only the program's own overflow report may come up while opening.
    for (const std::string& m : program.window.messages)
        if (!messages::isOverflow(m))
            fail("a message during the replay", m);
    // A link's language is the one spoken now: its own, or Spanish for one
    // the program does not have.
    const std::string& language = parseAddress(address).setUp.language;
    if (!language.empty() && catalogue::current().code != language)
        fail("the link's language is not the one spoken", language);

    // What the program writes now reads back whole and opens the same way.
    const std::string written = addressOf(program.form, program.window);
    const ParsedAddress again = parseAddress(written);
    if (!addressMessage(again).empty())
        fail("the written address is not read back whole", written + " -> " + addressMessage(again));
    testing::Program reopened;
    if (!openAddress(reopened.form, reopened.window, written).empty() ||
        reopened.window.texts != program.window.texts || !(reopened.form.graphLook() == program.form.graphLook()) ||
        reopened.window.pictureOps.size() != program.window.pictureOps.size() ||
        reopened.form.exactSolutionShown() != program.form.exactSolutionShown())
        fail("the written address does not open the same window", written);
    return 0;
}
