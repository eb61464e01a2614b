// Writes what the core gives for a script of user actions, for the browser
// test to compare with what the page's binding gives for the same script:
//
//   results_dump DIR SCRIPT [SEPARATOR]
//
// SCRIPT is actions joined by ";": "C" presses "Calcular", "B" "Borrar
// Gráfica", "Tk=text" replaces the whole text of box k (0..7 for Text1(k),
// 8 for Text2). DIR receives runs.csv, graph.svg and link.txt.

#include <fstream>
#include <iostream>
#include <string>

#include "graph/graph_svg.h"
#include "graph/runs_csv.h"
#include "model/open_address.h"
#include "tests/support/recording_window.h"

int main(int argc, char* argv[])
{
    using namespace calvetra;
    if (argc < 3) {
        std::cerr << "usage: results_dump DIR SCRIPT [SEPARATOR]\n";
        return 2;
    }
    const char separator = argc > 3 && argv[3][0] == ',' ? ',' : '.';
    testing::Program p(separator);
    std::string script = argv[2];
    for (std::size_t start = 0; start <= script.size();) {
        const std::size_t end = std::min(script.find(';', start), script.size());
        const std::string action = script.substr(start, end - start);
        if (action == "C")
            p.form.clickCalcular();
        else if (action == "B")
            p.form.clickBorrarGrafica();
        else if (action.size() >= 3 && action[0] == 'T' && action[2] == '=')
            p.type(static_cast<Box>(action[1] - '0'), action.substr(3));
        start = end + 1;
    }
    const std::string dir = argv[1];
    std::ofstream(dir + "/runs.csv", std::ios::binary) << drawnRunsCsv(p.form.drawnGraph(), separator);
    std::ofstream(dir + "/graph.svg", std::ios::binary) << graphSvg(p.window.pictureOps, p.form.drawnGraph());
    std::ofstream(dir + "/link.txt", std::ios::binary) << addressOf(p.form, p.window);
    return 0;
}
