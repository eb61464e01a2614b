#include "model/worked_example.h"

#include <array>
#include <utility>
#include <vector>

#include "model/form1.h"
#include "model/messages.h"
#include "toolkit/layout.h"
#include "toolkit/text.h"

namespace calvetra {

namespace {

// A window with no screen: boxes start with the layout's texts; captions,
// the drawing and the messages are kept for reading back.
class MemoryWindow : public Window {
public:
    MemoryWindow()
    {
        for (std::size_t k = 0; k < texts_.size(); ++k)
            texts_[k] = layout::control(static_cast<Box>(k)).text;
    }
    std::string text(Box box) const override { return texts_[static_cast<std::size_t>(box)]; }
    void setText(Box box, const std::string& text) override { texts_[static_cast<std::size_t>(box)] = text; }
    void setCaption(Label label, const std::string& caption) override
    {
        captions_[static_cast<std::size_t>(label)] = caption;
    }
    void setLegendLineVisible(int, bool) override {}
    PictureSize pictureSize() const override { return layout::graphSize(); }
    DisplayList& picture() override { return picture_; }
    void setCrossCursor() override {}
    void showMessage(const std::string& message) override { messages.push_back(message); }
    void close() override {}

    const std::string& caption(Label label) const { return captions_[static_cast<std::size_t>(label)]; }
    std::vector<std::string> messages;

private:
    std::array<std::string, 9> texts_;
    std::array<std::string, 6> captions_;
    DisplayList picture_;
};

std::string query(char separator, const char* time)
{
    MemoryWindow window;
    Form1 form(window, separator);
    form.load();
    window.setText(Box::Text2, time);
    form.userChangedText(Box::Text2);
    return window.caption(Label::Label2);
}

}  // namespace

WorkedExample workedExample(char separator)
{
    WorkedExample example;
    {
        MemoryWindow window;
        Form1 form(window, separator);
        form.load();
        example.outflow = window.text(text1(6));
        example.hours = window.caption(Label::Label5);
        example.simTime = window.text(text1(3));
        form.clickCalcular();
        const RunStore& s = form.store();
        example.finalTemp = text::fixed(s.RunTemps.at(0, s.StepCount), 1, separator);
        example.legend = window.caption(label4(0));
    }
    example.query100 = query(separator, "100");
    example.query1000 = query(separator, "1000");
    {
        MemoryWindow window;
        Form1 form(window, separator);
        form.load();
        window.setText(text1(4), "0");
        form.clickCalcular();
        example.overflow = window.messages.empty() ? std::string() : window.messages.front();
    }
    return example;
}

std::string fillHelp(std::string html, char separator)
{
    const WorkedExample e = workedExample(separator);
    const std::pair<const char*, std::string> figures[] = {
        {"{{caudal_salida}}", e.outflow},
        {"{{horas}}", e.hours},
        {"{{temperatura_final}}", e.finalTemp},
        {"{{leyenda}}", e.legend},
        {"{{consulta_100}}", e.query100},
        {"{{consulta_1000}}", e.query1000},
        {"{{desbordamiento}}", e.overflow},
        {"{{tiempo_simulado}}", e.simTime},
        {"{{mensaje_valvula}}", messages::kValveAbove100},
        {"{{mensaje_datos}}", messages::kCheckParameters},
        {"{{mensaje_tiempo}}", messages::kNegativeTime},
        {"{{version}}", layout::kVersion},
        {"{{credito}}", layout::control("Label7").text},
    };
    for (const auto& [placeholder, figure] : figures) {
        const std::string key = placeholder;
        for (auto at = html.find(key); at != std::string::npos; at = html.find(key, at + figure.size()))
            html.replace(at, key.size(), figure);
    }
    return html;
}

}  // namespace calvetra
