#include "model/worked_example.h"

#include <utility>

#include "model/form1.h"
#include "model/memory_window.h"
#include "model/messages.h"
#include "toolkit/layout.h"
#include "toolkit/text.h"

namespace calvetra {

namespace {

std::string query(char separator, const char* time)
{
    ProgramOn<> p(separator);
    p.type(Box::Text2, time);
    return p.window.caption(Label::Label2);
}

}  // namespace

WorkedExample workedExample(char separator)
{
    WorkedExample example;
    {
        ProgramOn<> p(separator);
        example.outflow = p.window.text(text1(kOutflowIndex));
        example.hours = p.window.caption(Label::Label5);
        example.simTime = p.window.text(text1(kSimTimeIndex));
        p.form.clickCalcular();
        const RunStore& s = p.store();
        example.finalTemp = text::fixed(s.RunTemps.at(0, s.StepCount), 1, separator);
        example.legend = p.window.caption(label4(0));
    }
    example.query100 = query(separator, "100");
    example.query1000 = query(separator, "1000");
    {
        ProgramOn<> p(separator);
        p.window.setText(text1(kValveIndex), "0");
        p.form.clickCalcular();
        example.overflow = p.window.messages.empty() ? std::string() : p.window.messages.front();
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
        {"{{mensaje_valvula}}", std::string(messages::valveAbove100())},
        {"{{mensaje_datos}}", std::string(messages::checkParameters())},
        {"{{mensaje_tiempo}}", std::string(messages::negativeTime())},
        {"{{version}}", layout::kVersion},
        {"{{credito}}", std::string(layout::caption(layout::control("Label7")))},
    };
    for (const auto& [placeholder, figure] : figures) {
        const std::string key = placeholder;
        for (auto at = html.find(key); at != std::string::npos; at = html.find(key, at + figure.size()))
            html.replace(at, key.size(), figure);
    }
    return html;
}

}  // namespace calvetra
