#include "model/form1.h"

namespace calvetra {

// "Borrar Gráfica": the empty frame, a blank legend, and the next run is the
// first of a series. MaxTemp keeps its value, so the scale stays.
void Form1::Command2_Click()
{
    clearPicture();
    DrawGraphFrame();
    for (int i = 0; i < kRunCount; ++i) {
        window_.setLegendLineVisible(i, false);
        window_.setCaption(label4(i), "");
    }
    store().RunIndex = 0;
}

}  // namespace calvetra
