#pragma once
// The labels and marks a check or radio page shows, from one of two sources: a menu's first
// options (labels with text references, marks in the Menu's optionSelected, where 1 marks) or
// a fixed list of the caller's strings (platforms, products, languages; marks of its own,
// where anything but 0 marks).
#include <cstdint>
#include <string>
#include <vector>

struct Menu;
class SetupConfig;

// Option i's label with its text references expanded through config (null: as written).
std::string expandedLabel(const Menu& menu, int i, const SetupConfig* config);

class ChoiceList {
public:
    // An empty fixed list of at most limit strings.
    explicit ChoiceList(int limit) : limit_(limit) {}
    // The menu's options, at most limit of them.
    ChoiceList(Menu& menu, int limit) : menu_(&menu), limit_(limit) {}

    bool overMenu() const { return menu_ != nullptr; }
    int count() const;
    // Fixed lists only; a string past the limit is dropped.
    void add(const std::string& label);
    // A menu's label expanded through config (null: as written); a fixed one as given.
    std::string label(int index, const SetupConfig* config) const;

    // Outside the list a mark reads 0 and is not set.
    int mark(int index) const;
    void setMark(int index, int value);
    bool marked(int index) const;
    bool anyMarked() const;

    // The marks a radio choice moves: all of a menu's options (also those past the limit),
    // or the fixed list's own.
    std::int32_t* allMarks();
    int allMarksCount() const;

private:
    const std::int32_t* allMarks() const;

    Menu* menu_ = nullptr;
    int limit_;
    std::vector<std::string> labels_;
    std::vector<std::int32_t> marks_;
};
