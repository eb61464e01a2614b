// Writes the results files the core gives for a list of user actions, so
// that a face's files can be compared with them byte for byte:
//
//   results_files DIR SEPARATOR ACTION...
//
// SEPARATOR is "." or ","; an ACTION is "calcular", "borrar" or BOX=TEXT,
// a box (0 to 7 for Text1, 8 for Text2) given a whole new text by typing.
// Writes DIR/runs.csv and DIR/graph.svg.

#include <fstream>
#include <iostream>
#include <string>

#include "graph/graph_svg.h"
#include "graph/runs_csv.h"
#include "tests/support/recording_window.h"

namespace {

bool write(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace calvetra;
    if (argc < 3) {
        std::cerr << "usage: results_files DIR SEPARATOR ACTION...\n";
        return 2;
    }
    const std::string dir = argv[1];
    testing::Program p(std::string(argv[2]) == "," ? ',' : '.');
    for (int k = 3; k < argc; ++k) {
        const std::string action = argv[k];
        const std::size_t equals = action.find('=');
        if (action == "calcular")
            p.form.clickCalcular();
        else if (action == "borrar")
            p.form.clickBorrarGrafica();
        else if (equals != std::string::npos && equals > 0 &&
                 action.substr(0, equals).find_first_not_of("012345678") == std::string::npos)
            p.type(static_cast<Box>(std::stoi(action.substr(0, equals))), action.substr(equals + 1));
        else {
            std::cerr << "unknown action: " << action << "\n";
            return 2;
        }
    }
    const bool ok = write(dir + "/runs.csv", drawnRunsCsv(p.form.drawnGraph(), p.form.store(), p.form.separator())) &&
                    write(dir + "/graph.svg", graphSvg(p.window.pictureOps, p.form.drawnGraph()));
    return ok ? 0 : 1;
}
