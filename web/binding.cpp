// The program's core for the web page. The page gets the layout table as
// data (binding_layout.cpp), the texts in the language the program speaks
// (binding_texts.cpp) and one Session: Form1 behind the page's Window
// (binding_window.cpp), with the graph box's picture handed over as numbers
// and made into an image (binding_picture.cpp, binding_raster.cpp).

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "graph/graph_svg.h"
#include "graph/run_table.h"
#include "graph/runs_csv.h"
#include "model/form1.h"
#include "model/open_address.h"
#include "model/step_study_view.h"
#include "model/worked_example.h"
#include "toolkit/catalogue.h"
#include "toolkit/layout.h"
#include "web/binding_layout.h"
#include "web/binding_picture.h"
#include "web/binding_window.h"

using emscripten::val;

namespace calvetra::web {

namespace {

class Session {
public:
    // separator: the decimal separator of the browser's language, "." or ",".
    Session(val page, const std::string& separator)
        : window_(std::move(page)), form_(window_, separator == "," ? ',' : '.')
    {
    }

    void load() { form_.load(); }
    void clickCalcular() { form_.clickCalcular(); }
    void clickBorrarGrafica() { form_.clickBorrarGrafica(); }
    void clickSalir() { form_.clickSalir(); }
    // The user left text in a box: the page hands it in, and the core keeps
    // it as the box's text from then on.
    void userChangedText(int box, const std::string& text)
    {
        if (box < 0 || box >= kBoxCount)
            return;
        window_.takeText(static_cast<Box>(box), text);
        form_.userChangedText(static_cast<Box>(box));
    }
    void mouseMoved(float x, float y) { form_.mouseMoved(x, y); }
    void readoutKey(int dx, int dy, bool large) { form_.readoutKey(dx, dy, large); }
    void placeReadoutPoint(double x, double y) { form_.placeReadoutPoint(x, y); }
    void readoutLeft() { form_.readoutLeft(); }
    void setReadoutNoteSize(double width, double height) { form_.setReadoutNoteSize({width, height}); }
    // The keyboard's read-out point in twips of the graph box, as [x, y].
    val readoutPoint() const
    {
        const GraphPoint p = form_.readoutPoint();
        return val::global("Array").call<val>("of", p.x, p.y);
    }
    // The help document with the figures this program works out.
    std::string help(const std::string& html) const { return fillHelp(html, form_.separator()); }
    // The help document's file in the language the program speaks.
    std::string helpFile() const { return catalogue::helpFile(); }

    // Grows with every change of the drawing: the page draws again only then.
    double pictureRevision() const { return static_cast<double>(window_.displayList().revision()); }

    // The graph box's picture for the canvas, in one call (web/binding_picture.h).
    val frame(int width, int height, double ratio, int background, int foreground, int border)
    {
        return picture_.frame(window_.displayList(), width, height, ratio, {background, foreground, border},
                              form_.graphLook());
    }

    // The results, as the desktop writes them: the drawn runs as CSV, the
    // graph as SVG, and the data table as {runs, temperatures}, each table
    // {caption, columns, rows} of texts (the first cell of a row heads it).
    // The CSV comes as its bytes (a Uint8Array of its own): a string would
    // lose its byte order mark, which the browser's UTF-8 decoder drops.
    // Each inside the program's one guard: on a fault, its message and an
    // empty result.
    val csv() const
    {
        std::string bytes;
        form_.guarded([&] { bytes = drawnRunsCsv(form_.drawnGraph(), form_.separator()); });
        return bytesForPage(bytes);
    }
    std::string svg() const
    {
        std::string svg;
        form_.guarded([&] { svg = graphSvg(window_.displayList(), form_.drawnGraph()); });
        return svg;
    }
    int drawnRunCount() const { return static_cast<int>(form_.drawnGraph().runs.size()); }
    val dataTable() const
    {
        val o = val::object();
        form_.guarded([&] {
            const RunTables tables = drawnRunTables(form_.drawnGraph(), form_.separator());
            o.set("runs", tableForPage(tables.runs));
            o.set("temperatures", tableForPage(tables.temperatures));
        });
        return o;
    }

    // "Solución exacta", as the results menu turns it on and off.
    void setExactSolution(bool shown)
    {
        form_.guarded([&] { form_.setExactSolution(shown); });
    }
    bool exactSolutionShown() const { return form_.exactSolutionShown(); }

    // The graph's look: "Modo proyector" (which brings its own default for
    // the marks), "Distinguir las simulaciones sin color", and the system's
    // high contrast, which the page follows as the system changes it.
    void chooseProjector(bool on)
    {
        layout::GraphLook look = layout::lookOf(on ? layout::GraphView::Projector : layout::GraphView::Window);
        look.systemContrast = form_.graphLook().systemContrast;
        form_.chooseGraphLook(look);
    }
    void chooseRunMarks(bool on)
    {
        changeLook([on](layout::GraphLook& look) { look.marks = on; });
    }
    void followSystemContrast(bool on)
    {
        changeLook([on](layout::GraphLook& look) { look.systemContrast = on; });
    }
    bool projectorShown() const { return form_.graphLook().view == layout::GraphView::Projector; }
    bool runMarksShown() const { return form_.graphLook().marks; }
    // A legend line's sample (its line and its mark) as SVG, as the whole
    // graph's legend draws it; none in the window's own look, whose legend
    // lines are the layout's.
    std::string legendSample(int run) const
    {
        const layout::GraphLook& look = form_.graphLook();
        return look == layout::GraphLook{} ? std::string() : legendSampleSvg(run, look);
    }

    // "Estudio del paso": the drawn runs to choose from, by name; the study
    // of one as {title, subject, tables, notes, svg} (null when there is no
    // such run), and its CSV bytes.
    val studyChoices() const
    {
        val names = val::array();
        for (const std::string& name : studyRunChoices(form_.drawnGraph()))
            names.call<void>("push", name);
        return names;
    }
    val study(int run) const
    {
        val o = val::null();
        form_.guarded([&] {
            const DrawnGraph& graph = form_.drawnGraph();
            if (run < 0 || static_cast<std::size_t>(run) >= graph.runs.size())
                return;
            const StepStudy study = stepStudyOf(graph.runs[static_cast<std::size_t>(run)]);
            const StepStudyView view =
                stepStudyView(study, studySubject(graph, static_cast<std::size_t>(run)), form_.separator());
            o = val::object();
            o.set("title", view.title);
            o.set("subject", view.subject);
            val tables = val::array(), notes = val::array();
            for (const TextTable& table : view.tables)
                tables.call<void>("push", tableForPage(table));
            for (const std::string& note : view.notes)
                notes.call<void>("push", note);
            o.set("tables", tables);
            o.set("notes", notes);
            o.set("svg", stepStudySvg(study, form_.separator()));
            o.set("csv", bytesForPage(stepStudyCsv(study, form_.separator())));
        });
        return o;
    }

    // The set-up as an address fragment, without "#".
    std::string link() const
    {
        std::string address;
        form_.guarded([&] { address = addressOf(form_, window_); });
        return address;
    }
    // Brings a freshly loaded session (load() called, nothing else) to the
    // set-up of an address or its fragment. What cannot be applied is named
    // in one message, shown through the page like any other and returned
    // (empty when everything was applied).
    std::string openLink(const std::string& address)
    {
        std::string message;
        form_.guarded([&] {
            message = openAddress(form_, window_, address);
            if (!message.empty())
                window_.showMessage(message);
        });
        return message;
    }

    // Speaks the language of that code from now on, the drawn runs' legends
    // written again in it; an unknown code gives Spanish and false.
    bool chooseLanguage(const std::string& code)
    {
        bool known = false;
        form_.guarded([&] {
            known = catalogue::choose(code);
            form_.languageChanged();
        });
        return known;
    }

private:
    template <class Change> void changeLook(Change change)
    {
        layout::GraphLook look = form_.graphLook();
        change(look);
        form_.chooseGraphLook(look);
    }
    // Bytes in an array of the page's own, out of the module's memory.
    static val bytesForPage(const std::string& bytes)
    {
        return val(emscripten::typed_memory_view(bytes.size(), reinterpret_cast<const unsigned char*>(bytes.data())))
            .call<val>("slice");
    }
    static val tableForPage(const TextTable& table)
    {
        const auto texts = [](const std::vector<std::string>& cells) {
            val array = val::array();
            for (const std::string& cell : cells)
                array.call<void>("push", cell);
            return array;
        };
        val rows = val::array();
        for (const auto& row : table.rows)
            rows.call<void>("push", texts(row));
        val o = val::object();
        o.set("caption", table.caption);
        o.set("columns", texts(table.columns));
        o.set("rows", rows);
        return o;
    }

    PageWindow window_;
    Form1 form_;
    PagePicture picture_;
};

// The program's version, as the help and the printed page show it.
std::string programVersion() { return layout::kVersion; }

}  // namespace

EMSCRIPTEN_BINDINGS(calvetra)
{
    emscripten::function("layout", &pageLayout);
    emscripten::function("version", &programVersion);
    emscripten::class_<Session>("Session")
        .constructor<val, const std::string&>()
        .function("load", &Session::load)
        .function("clickCalcular", &Session::clickCalcular)
        .function("clickBorrarGrafica", &Session::clickBorrarGrafica)
        .function("clickSalir", &Session::clickSalir)
        .function("userChangedText", &Session::userChangedText)
        .function("mouseMoved", &Session::mouseMoved)
        .function("readoutKey", &Session::readoutKey)
        .function("placeReadoutPoint", &Session::placeReadoutPoint)
        .function("readoutLeft", &Session::readoutLeft)
        .function("setReadoutNoteSize", &Session::setReadoutNoteSize)
        .function("readoutPoint", &Session::readoutPoint)
        .function("help", &Session::help)
        .function("helpFile", &Session::helpFile)
        .function("pictureRevision", &Session::pictureRevision)
        .function("frame", &Session::frame)
        .function("drawnRunCount", &Session::drawnRunCount)
        .function("csv", &Session::csv)
        .function("svg", &Session::svg)
        .function("dataTable", &Session::dataTable)
        .function("setExactSolution", &Session::setExactSolution)
        .function("exactSolutionShown", &Session::exactSolutionShown)
        .function("chooseProjector", &Session::chooseProjector)
        .function("chooseRunMarks", &Session::chooseRunMarks)
        .function("followSystemContrast", &Session::followSystemContrast)
        .function("projectorShown", &Session::projectorShown)
        .function("runMarksShown", &Session::runMarksShown)
        .function("legendSample", &Session::legendSample)
        .function("studyChoices", &Session::studyChoices)
        .function("study", &Session::study)
        .function("link", &Session::link)
        .function("openLink", &Session::openLink)
        .function("chooseLanguage", &Session::chooseLanguage);
}

}  // namespace calvetra::web
