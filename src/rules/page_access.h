#pragma once
// What a page tells a screen reader and the keyboard, decided without a window: the names a
// control's text gives (its mnemonic taken out, and as a shortcut), the page's own name and
// description made of its painted texts, and the tab order of a page's controls.
#include <string>
#include <vector>

#include "rules/wizard_layout.h"

// The text as a reader says it: every "&" that marks a mnemonic taken out ("&&" is one "&").
std::string withoutMnemonic(const std::string& text);
// The mnemonic as a keyboard shortcut, "Alt+N" for "&Next"; empty when the text has none.
std::string mnemonicShortcut(const std::string& text);

// The page's name: its caption, else the window's title.
std::string pageName(const std::string& caption, const std::string& title);
// The painted texts that are not controls, one a line, in reading order: the question at the
// top, the text at the bottom, the text under the side picture. Empty ones are left out.
std::string pageDescription(const std::string& topText, const std::string& bottomText,
                            const std::string& sideText);

// A progress bar's value as readers say it: the share of low..high that position has reached,
// in whole percent ("45%"), within 0 and 100; empty for an empty range.
std::string percentText(int low, int high, int position);

// The order of the tab key over controls that stand in the given rectangles: as they are
// read, row by row from the top, left to right within a row (a control whose top lies within
// another's height shares its row). Controls in the same place keep the order they are given
// in; those with an empty rectangle (never shown) come last.
std::vector<int> readingOrder(const std::vector<WizRect>& places);
// Which controls keep their place when controls that stand in z-order 0, 1, 2 ... are put in
// the given order (a permutation of them): a longest run that already stands in that order.
// Every other control moves, each right after the one it follows in the order (the first one
// to the top); no fewer moves reach the order.
std::vector<bool> keptInOrder(const std::vector<int>& order);
