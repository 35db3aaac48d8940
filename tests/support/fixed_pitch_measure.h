#pragma once
// Text measured as if every character had the same width: the preview's findings without a
// window, in sizes near those of the pages' fonts at 96 dots per inch.
#include <string>

#include "run/preview_plan.h"

namespace testing_support {

class FixedPitchMeasure : public PreviewMeasure {
public:
    int lineHeight() override { return 16; }
    int controlTextWidth(const std::string& text) override {
        return 5 * static_cast<int>(text.size());
    }
    // Greedy word wrap; a character is 7 pixels wide and a line 16 high at 10 points.
    int wrappedHeight(const std::string& text, int width, int tenths) override {
        const int charWidth = tenths * 7 / 100 > 0 ? tenths * 7 / 100 : 1;
        const int perLine = width / charWidth > 0 ? width / charWidth : 1;
        int lines = 1, used = 0;
        std::size_t at = 0;
        while (at < text.size()) {
            std::size_t end = text.find_first_of(" \n", at);
            if (end == std::string::npos) end = text.size();
            const int word = static_cast<int>(end - at);
            if (used > 0 && used + 1 + word > perLine) {
                ++lines;
                used = 0;
            }
            used += (used > 0 ? 1 : 0) + word;
            if (end < text.size() && text[end] == '\n') {
                ++lines;
                used = 0;
            }
            at = end + 1;
        }
        const int lineHeight = tenths * 16 / 100 > 0 ? tenths * 16 / 100 : 1;
        return lines * lineHeight;
    }
};

}  // namespace testing_support
