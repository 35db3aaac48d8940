#include "rules/choice_list.h"

#include <algorithm>

#include "config/setup_config.h"
#include "menu/menu_file.h"

std::string expandedLabel(const Menu& menu, int i, const SetupConfig* config) {
    const char* label = menu.options[i].label;
    if (!label) return {};
    return config ? config->resolveText(label) : std::string(label);
}

int ChoiceList::count() const {
    return menu_ ? std::min(menu_->optionCount, limit_) : static_cast<int>(labels_.size());
}

void ChoiceList::add(const std::string& label) {
    if (menu_ || count() >= limit_) return;
    labels_.push_back(label);
    marks_.push_back(0);
}

std::string ChoiceList::label(int index, const SetupConfig* config) const {
    if (index < 0 || index >= count()) return {};
    return menu_ ? expandedLabel(*menu_, index, config) : labels_[index];
}

int ChoiceList::mark(int index) const {
    return index >= 0 && index < count() ? allMarks()[index] : 0;
}

void ChoiceList::setMark(int index, int value) {
    if (index >= 0 && index < count()) allMarks()[index] = value;
}

bool ChoiceList::marked(int index) const {
    return menu_ ? mark(index) == 1 : mark(index) != 0;
}

bool ChoiceList::anyMarked() const {
    for (int i = 0; i < count(); ++i)
        if (marked(i)) return true;
    return false;
}

std::int32_t* ChoiceList::allMarks() {
    return menu_ ? menu_->optionSelected : marks_.data();
}

const std::int32_t* ChoiceList::allMarks() const {
    return menu_ ? menu_->optionSelected : marks_.data();
}

int ChoiceList::allMarksCount() const {
    return menu_ ? menu_->optionCount : static_cast<int>(marks_.size());
}
