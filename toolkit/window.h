#pragma once

// What the program's behaviour needs from the window, in the window's own
// terms: texts of boxes, captions of labels, legend lines, the graph box in
// twips and a modal message. The Qt window implements it; tests use a
// recording implementation. Nothing here knows about Qt.

#include <cstdint>
#include <string>

#include "toolkit/display_list.h"

namespace calvetra {

// The text boxes: Text1(0) to Text1(7), then Text2.
enum class Box : int { Text1_0, Text1_1, Text1_2, Text1_3, Text1_4, Text1_5, Text1_6, Text1_7, Text2 };
constexpr int kText1Count = 8;
constexpr int kBoxCount = kText1Count + 1;
constexpr Box text1(int index) { return static_cast<Box>(index); }

// What each parameter box holds, by its index in Text1.
constexpr std::int16_t kVolumeIndex = 0;       // V (l)
constexpr std::int16_t kFeedFlowIndex = 1;     // Q1 (l/h)
constexpr std::int16_t kInitialTempIndex = 2;  // T (ºC)
constexpr std::int16_t kSimTimeIndex = 3;      // t máximo (s)
constexpr std::int16_t kValveIndex = 4;        // Apertura válvula (%)
constexpr std::int16_t kFeedTempIndex = 5;     // T1 (ºC), locked
constexpr std::int16_t kOutflowIndex = 6;      // Q2 (l/h), locked
constexpr std::int16_t kPowerIndex = 7;        // q (W)

// The labels whose captions change at run time. Label8, under the
// instantaneous answer, compares it with the exact solution while that is
// shown, and is empty otherwise.
enum class Label : int { Label2, Label5, Label6_0, Label4_0, Label4_1, Label4_2, Label8 };
constexpr int kLabelCount = 7;
constexpr Label label4(int index) { return static_cast<Label>(static_cast<int>(Label::Label4_0) + index); }

struct PictureSize {
    double width = 0;   // outer width of Picture2 in twips
    double height = 0;  // outer height of Picture2 in twips
};

class Window {
public:
    virtual ~Window() = default;

    // Plain reads and writes of a box's text. Writing raises no change
    // notification: the program dispatches its own change handlers.
    virtual std::string text(Box box) const = 0;
    virtual void setText(Box box, const std::string& text) = 0;
    // A text the user typed, put into the box as typing would leave it
    // (Form1::userTyped). A window that tells the user's texts from the
    // program's writes (a recording of them) keeps it apart.
    virtual void showTyped(Box box, const std::string& text) { setText(box, text); }

    virtual void setCaption(Label label, const std::string& caption) = 0;
    virtual void setLegendLineVisible(int index, bool visible) = 0;  // Line3(0..2)

    // The graph box, Picture2.
    virtual PictureSize pictureSize() const = 0;
    virtual DisplayList& picture() = 0;
    virtual void setCrossCursor() = 0;
    // The note over the graph box beside the read-out point, while the exact
    // solution is shown: its text, one figure a line, and its top-left corner
    // in the box's twips. An empty text hides it.
    virtual void showReadoutNote(const std::string& text, double left, double top) = 0;

    // Modal: returns when the user has confirmed with OK.
    virtual void showMessage(const std::string& message) = 0;
    virtual void close() = 0;
};

}  // namespace calvetra
