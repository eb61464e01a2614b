#include "toolkit/figures.h"

#include "toolkit/text.h"

namespace calvetra {

std::array<std::string, kFigureCount> figureTexts(const RunFigures& figures, char separator)
{
    std::array<std::string, kFigureCount> texts;
    for (const FigureKind& kind : kFigures) {
        const double v = figures.*kind.member;
        std::string& text = texts[order(kind.figure)];
        switch (kind.format) {
        case FigureFormat::Single:
            text = text::general(static_cast<float>(v), separator);
            break;
        case FigureFormat::OneDecimal:
            text = text::pointOne(v, separator);
            break;
        case FigureFormat::Full:
            text = text::general(v, separator);
            break;
        }
    }
    return texts;
}

}  // namespace calvetra
