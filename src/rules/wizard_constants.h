#pragma once
// The numbers the program shows texts and pages by: the configuration's texts of the current
// language (SetupConfig::getText), its file texts (getFileText), and how many options a page
// of boxes or buttons holds before a menu is shown as a list instead.

// Texts by their number in a language's section. The numbers not named here are read only
// through text references of the menu scripts.
inline constexpr int TEXT_CANCEL_QUESTION = 0;  // the Yes/No question on Cancel
inline constexpr int TEXT_TITLE = 1;            // message box captions, window and progress titles
inline constexpr int TEXT_ACCEPT_LABEL = 2;     // the check box of the acceptance page
inline constexpr int TEXT_ACCEPT_HEADING = 3;   // the top text of the acceptance page
inline constexpr int TEXT_SUMMARY_HEADING = 6;  // the install summary
inline constexpr int TEXT_CLOSING_HEADING = 9;
inline constexpr int TEXT_REGISTER_LABEL = 10;       // the closing page's one check box
inline constexpr int TEXT_FIRST_PLATFORM_NAME = 12;  // then one per platform, in index order
inline constexpr int TEXT_NO_INSTALLER = 16;         // no platform's desktop software was found
inline constexpr int TEXT_PLATFORM_HEADING = 17;
inline constexpr int TEXT_PRODUCT_HEADING = 18;
inline constexpr int TEXT_NO_PLATFORM = 20;     // no platform has software and scripts both
inline constexpr int TEXT_SAME_PACKAGE = 21;    // heads the summary's options of one package
inline constexpr int TEXT_INSTALL_FAILED = 22;  // its one "%s" takes the option's label
inline constexpr int TEXT_PARSE_PROGRESS = 24;  // while a menu script is read
inline constexpr int TEXT_LANGUAGE_HEADING = 25;

// The display name of platform index 0..3.
inline constexpr int platformNameText(int platformIndex) {
    return TEXT_FIRST_PLATFORM_NAME + platformIndex;
}

// File texts by number.
inline constexpr int FILE_TEXT_START = 0;  // shown for acceptance when the wizard starts

// Check boxes a page holds: a check page of fixed strings takes at most this many, and a check
// list of this many options or more is shown as a list, so a menu's check page shows at most 19.
inline constexpr int MAX_CHECK_BOXES = 20;
// Radio buttons a page holds: a radio page of fixed strings takes at most this many (more
// products are offered as a list), and a radio menu of this many options or more is shown as a
// list, so a menu's radio page shows at most 11.
inline constexpr int MAX_RADIO_BUTTONS = 12;
