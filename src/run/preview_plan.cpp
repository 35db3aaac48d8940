#include "run/preview_plan.h"

#include <algorithm>
#include <cctype>

#include "config/setup_config.h"
#include "platform/code_page.h"
#include "rules/choice_list.h"
#include "run/install_pass.h"
#include "run/run_context.h"
#include "run/run_state.h"

namespace {

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool startsWithNoCase(const std::string& text, const std::string& prefix) {
    return lower(text).rfind(lower(prefix), 0) == 0;
}

std::string lastName(const std::string& path) {
    std::size_t sep = path.find_last_of("\\/");
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

// The texts of the run's pages are drawn as the configuration holds them; the report is UTF-8.
std::string forReport(const std::string& text, const SetupConfig& config) {
    if (config.textEncoding == platform::TextEncoding::Utf8) return text;
    return platform::ansiCodePage().toUtf8(text);
}

// The start menu of a language, as the run takes it.
int startMenu(const MenuFile& file, int language) {
    const Menu& head = file[0];
    if (head.languageStartMenu && language >= 0 && language < head.languageCount)
        return head.languageStartMenu[language];
    return 0;
}

bool showsPage(const Menu& m) {
    return !m.autoEntered &&
           (m.style == MenuStyle::CheckList || m.style == MenuStyle::RadioButtons);
}

int installOption(const Menu& m) {
    for (int i = 0; i < m.optionCount; ++i)
        if (isInstall(m.options[i].kind)) return i;
    return -1;
}

// The summary of a menu as the run shows it after the user chose its install options: every
// one of a check list, the first of a radio menu.
std::string summaryOf(SetupConfig& config, MenuFileList& files, Menu& menu) {
    std::vector<std::int32_t> saved(menu.optionSelected, menu.optionSelected + menu.optionCount);
    const int first = installOption(menu);
    for (int i = 0; i < menu.optionCount; ++i)
        menu.optionSelected[i] = menu.style == MenuStyle::CheckList
                                     ? (isInstall(menu.options[i].kind) ? 1 : 0)
                                     : (i == first ? 1 : 0);
    RunContext context(RunServices{&config, &files, nullptr, {}, nullptr, nullptr, ""});
    RunState state;
    InstallPass pass(context, state);
    std::vector<int> duplicates;
    std::string text = pass.summaryText(menu, duplicates);
    std::copy(saved.begin(), saved.end(), menu.optionSelected);
    return text;
}

void addStartupPages(std::vector<PlannedPage>& pages, SetupConfig& config,
                     const PreviewPlace& place, const std::string& folder) {
    auto page = [&](PreviewPageKind kind, const std::string& name, int topTextNumber) {
        PlannedPage p;
        p.kind = kind;
        p.place = place;
        p.picture = folder + "\\" + name + ".png";
        p.caption = standardCaption();
        p.topText = config.getText(topTextNumber);
        p.buttons = BUTTON_NEXT | BUTTON_CANCEL;
        return p;
    };
    if (config.getLanguageCount() > 1) {
        PlannedPage p = page(PreviewPageKind::Language, "language", TEXT_LANGUAGE_HEADING);
        p.choices = config.languageNames;
        p.selected = config.currentLanguage;
        pages.push_back(p);
    }
    std::vector<int> usable;
    for (int p = 0; p < PLATFORM_COUNT; ++p)
        if (config.installerPresent[p] && !config.platformFolders[p].empty()) usable.push_back(p);
    if (usable.size() > 1) {
        PlannedPage p = page(PreviewPageKind::Platform, "platform", TEXT_PLATFORM_HEADING);
        for (int u : usable) p.choices.push_back(config.getText(platformNameText(u)));
        pages.push_back(p);
    }
    PlannedPage start = page(PreviewPageKind::StartText, "start", TEXT_ACCEPT_HEADING);
    start.text = config.getFileText(FILE_TEXT_START);
    start.acceptLabel = config.getText(TEXT_ACCEPT_LABEL);
    if (!start.text.empty()) pages.push_back(start);
}

void addProductPage(std::vector<PlannedPage>& pages, SetupConfig& config, const MenuFileList& files,
                    const PreviewPlace& place, const std::string& folder,
                    const HandheldPlatform& platform) {
    PlannedPage p;
    p.kind = PreviewPageKind::Product;
    p.place = place;
    p.picture = folder + "\\product-" + platform.name + ".png";
    p.caption = standardCaption();
    p.topText = config.getText(TEXT_PRODUCT_HEADING);
    p.buttons = BUTTON_NEXT | BUTTON_CANCEL;
    for (const MenuFilePtr& f : files)
        if (f && f->first().platformCode == static_cast<std::int32_t>(platform.code))
            p.choices.push_back(config.resolveText(orEmpty(f->first().title)));
    if (p.choices.size() > 1) pages.push_back(p);
}

void addScriptPages(std::vector<PlannedPage>& pages, SetupConfig& config, MenuFileList& files,
                    MenuFile& file, PreviewPlace place, const std::string& folder) {
    Menu& head = file.first();
    const int first = startMenu(file, config.currentLanguage);
    if (first < 0 || first >= file.menuCount()) return;
    const std::string caption = config.resolveText(orEmpty(file[first].title)) + " Setup";
    place.script = scriptName(head);
    const std::string scriptFolder = folder + "\\" + scriptFolderName(head);
    const std::string skins = orEmpty(head.directory);
    bool summaryShown = false;
    for (int n : menusOfLanguage(file, config.currentLanguage)) {
        Menu& m = file[n];
        if (!showsPage(m)) continue;
        PlannedPage p;
        p.kind = PreviewPageKind::Menu;
        p.place = place;
        p.place.menu = n;
        p.picture = scriptFolder + "\\menu" + std::to_string(n) + ".png";
        p.caption = caption;
        p.topText = config.resolveText(orEmpty(m.topText));
        p.bottomText = config.resolveText(orEmpty(m.bottomText));
        p.sideText = config.resolveText(orEmpty(m.version));
        p.buttons =
            n != first ? BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL : BUTTON_NEXT | BUTTON_CANCEL;
        p.menu = &m;
        p.skinFolder = skins;
        pages.push_back(p);
        if (summaryShown || installOption(m) < 0) continue;
        summaryShown = true;
        PlannedPage s;
        s.kind = PreviewPageKind::Summary;
        s.place = p.place;
        s.picture = scriptFolder + "\\summary" + std::to_string(n) + ".png";
        s.caption = caption;
        s.topText = config.getText(TEXT_SUMMARY_HEADING);
        s.sideText = orEmpty(m.version);
        s.buttons = BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL;
        s.text = summaryOf(config, files, m);
        s.skinFolder = skins;
        pages.push_back(s);
    }
    const char* url = head.registrationUrl;
    if (!url || std::string(url) == "-") return;
    PlannedPage c;
    c.kind = PreviewPageKind::Closing;
    c.place = place;
    c.picture = scriptFolder + "\\closing.png";
    c.topText = config.getText(TEXT_CLOSING_HEADING);
    c.choices = {config.getText(TEXT_REGISTER_LABEL)};
    c.marked = {1};
    c.buttons = BUTTON_NEXT | BUTTON_CANCEL;
    c.skinFolder = skins;
    pages.push_back(c);
}

int countOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos;
         at = text.find(what, at + what.size()))
        ++n;
    return n;
}

// A reference's text number and its arguments ("|"-separated, after the number's digits).
void checkReference(std::vector<PreviewFinding>& found, const PreviewPlace& place, int option,
                    const char* source, const std::vector<std::string>& texts) {
    if (!source || source[0] != '%' || source[1] != '0') return;
    const std::string s = source;
    std::size_t p = 1;
    long long n = 0;
    while (p < s.size() && std::isdigit(static_cast<unsigned char>(s[p]))) {
        if (n < 1000000000) n = n * 10 + (s[p] - '0');
        ++p;
    }
    const std::string args = s.substr(p);
    const int argCount = args.empty() ? 0 : 1 + countOf(args, "|");
    const std::string name = "text reference " + s.substr(0, p);
    if (n >= static_cast<long long>(texts.size()) || texts[static_cast<std::size_t>(n)].empty()) {
        found.push_back({place, option, name + " names no text", ""});
        return;
    }
    const int places = countOf(texts[static_cast<std::size_t>(n)], "%s");
    if (places < argCount)
        found.push_back({place, option, name + " has more arguments than its text has %s",
                         std::to_string(argCount) + " for " + std::to_string(places)});
}

WizardSkinSizes skinSizes(const SetupConfig& config) {
    auto w = [&](int i) { return config.getBitmap(i) ? config.getBitmap(i)->width() : 0; };
    auto h = [&](int i) { return config.getBitmap(i) ? config.getBitmap(i)->height() : 0; };
    WizardSkinSizes s;
    s.backgroundWidth = w(SKIN_BACKGROUND);
    s.backWidth = w(SKIN_BACK);
    s.backHeight = h(SKIN_BACK);
    s.nextWidth = w(SKIN_NEXT);
    s.nextHeight = h(SKIN_NEXT);
    s.cancelWidth = w(SKIN_CANCEL);
    s.cancelHeight = h(SKIN_CANCEL);
    return s;
}

}  // namespace

std::string scriptFolderName(const Menu& head) {
    return lastName(orEmpty(head.directory)) + "-" + orEmpty(head.platformName);
}

std::string scriptName(const Menu& head) {
    return lastName(orEmpty(head.directory)) + "\\" + orEmpty(head.platformName) + ".mnu";
}

std::vector<int> menusOfLanguage(const MenuFile& file, int language) {
    std::vector<bool> reached(static_cast<std::size_t>(file.menuCount()), false);
    std::vector<int> queue{startMenu(file, language)};
    while (!queue.empty()) {
        const int n = queue.back();
        queue.pop_back();
        if (n < 0 || n >= file.menuCount() || reached[static_cast<std::size_t>(n)]) continue;
        reached[static_cast<std::size_t>(n)] = true;
        const Menu& m = file[n];
        for (int i = 0; i < m.optionCount && m.options; ++i)
            if (m.options[i].kind == OptionKind::Menu) queue.push_back(m.options[i].targetMenu);
    }
    std::vector<int> menus;
    for (int n = 0; n < file.menuCount(); ++n)
        if (reached[static_cast<std::size_t>(n)]) menus.push_back(n);
    return menus;
}

std::vector<PlannedPage> planLanguage(SetupConfig& config, MenuFileList& files) {
    std::vector<PlannedPage> pages;
    PreviewPlace place;
    place.languageNumber = config.currentLanguage;
    if (config.currentLanguage >= 0 && config.currentLanguage < config.getLanguageCount())
        place.language = config.languageNames[static_cast<std::size_t>(config.currentLanguage)];
    const std::string folder = std::to_string(place.languageNumber) + "-" + place.language;
    addStartupPages(pages, config, place, folder);
    for (int p = 0; p < PLATFORM_COUNT; ++p)
        if (config.installerPresent[p] && !config.platformFolders[p].empty())
            addProductPage(pages, config, files, place, folder, platformTable[p]);
    for (MenuFilePtr& f : files)
        if (f) addScriptPages(pages, config, files, *f, place, folder);
    for (PlannedPage& p : pages) p.place.language = forReport(p.place.language, config);
    return pages;
}

PreviewPageLayout layOutPage(const PlannedPage& page, const SetupConfig& config,
                             PreviewMeasure& measure) {
    const WizardLayout l = computeWizardLayout(skinSizes(config), page.buttons);
    const int lh = measure.lineHeight();
    PreviewPageLayout out;
    out.place = page.place;
    out.picture = page.picture;
    out.content = l.content;
    auto add = [&](PreviewControlKind kind, const WizRect& r, const std::string& text,
                   int tenths = BODY_FONT_TENTHS, int width = 0) {
        out.controls.push_back({kind, r, forReport(text, config), tenths, width});
    };

    // The choices: a menu's options below the limits of its page, or the fixed list.
    std::vector<std::string> labels = page.choices;
    bool list = false;
    if (const Menu* m = page.menu) {
        const int limit =
            m->style == MenuStyle::CheckList ? MAX_CHECK_BOXES - 1 : MAX_RADIO_BUTTONS - 1;
        list = m->optionCount > limit;
        if (!list)
            for (int i = 0; i < m->optionCount; ++i)
                labels.push_back(expandedLabel(*m, i, &config));
    }
    const int count = static_cast<int>(labels.size());
    const int blockTop = choiceBlockTop(l.content, count, lh);
    if (!page.topText.empty()) {
        // Over a fixed check list the top text ends where the boxes begin.
        const int limit = page.kind == PreviewPageKind::Closing ? blockTop : l.content.top;
        const int width = l.topText.width();
        int h = measure.wrappedHeight(page.topText, width, BODY_FONT_TENTHS);
        const int tenths = fittedTopTextTenths(l.topText.top, limit, h);
        if (tenths != BODY_FONT_TENTHS) h = measure.wrappedHeight(page.topText, width, tenths);
        add(PreviewControlKind::TopText,
            {l.topText.left, l.topText.top, l.topText.right, l.topText.top + h}, page.topText,
            tenths);
    }
    for (int i = 0; i < count; ++i)
        add(PreviewControlKind::Choice, choiceRowRect(l.content, blockTop, i, lh), labels[i],
            BODY_FONT_TENTHS, measure.controlTextWidth(labels[i]));
    if (list) {
        WizRect r = l.content;
        if (page.menu->style == MenuStyle::CheckList) r.bottom -= CHECK_LIST_BOTTOM_GAP;
        add(PreviewControlKind::List, r, "");
    }
    if (page.kind == PreviewPageKind::Summary)
        add(PreviewControlKind::TextBox,
            {l.content.left, l.content.top + 2 * lh, l.content.right, l.content.bottom - 2 * lh},
            page.text);
    if (page.kind == PreviewPageKind::StartText) {
        const int boxTop = l.content.bottom - 2 * lh;
        add(PreviewControlKind::TextBox, {l.content.left, l.content.top, l.content.right, boxTop},
            page.text);
        add(PreviewControlKind::CheckBox,
            {l.content.left, boxTop, l.content.right, l.content.bottom}, page.acceptLabel);
    }
    if (!page.bottomText.empty())
        add(PreviewControlKind::BottomText,
            {l.content.left, l.content.bottom - BOTTOM_TEXT_HEIGHT, l.content.right,
             l.content.bottom},
            page.bottomText);
    if (!page.sideText.empty()) add(PreviewControlKind::SideText, l.sideText, page.sideText);
    if (!l.back.empty()) add(PreviewControlKind::Button, l.back, "Back");
    if (!l.next.empty())
        add(PreviewControlKind::Button, l.next, page.buttons & BUTTON_FINISH ? "Finish" : "Next");
    if (!l.cancel.empty()) add(PreviewControlKind::Button, l.cancel, "Cancel");
    return out;
}

std::vector<PreviewFinding> missingTextFindings(
    const std::vector<std::string>& languageNames,
    const std::vector<std::vector<std::string>>& texts) {
    std::size_t most = 0;
    for (const auto& t : texts) most = std::max(most, t.size());
    std::vector<PreviewFinding> found;
    for (std::size_t l = 0; l < texts.size(); ++l) {
        for (std::size_t n = 0; n < most; ++n) {
            if (n < texts[l].size() && !texts[l][n].empty()) continue;
            PreviewPlace place;
            place.languageNumber = static_cast<int>(l);
            if (l < languageNames.size()) place.language = languageNames[l];
            found.push_back({place, -1, "text " + std::to_string(n) + " is missing", ""});
        }
    }
    return found;
}

std::vector<PreviewFinding> referenceFindings(const MenuFile& file, int language,
                                              const std::string& languageName,
                                              const std::vector<std::string>& texts) {
    std::vector<PreviewFinding> found;
    PreviewPlace place{language, languageName, scriptName(file[0]), -1};
    for (int n : menusOfLanguage(file, language)) {
        const Menu& m = file[n];
        place.menu = n;
        for (const char* s : {m.title, m.topText, m.bottomText, m.version})
            checkReference(found, place, -1, s, texts);
        for (int i = 0; i < m.optionCount && m.options; ++i)
            checkReference(found, place, i, m.options[i].label, texts);
    }
    return found;
}

std::vector<PreviewFinding> skinFindings(const SetupConfig& config, const Menu& head) {
    std::vector<PreviewFinding> found;
    PreviewPlace place;
    place.script = scriptName(head);
    const std::string rsc = config.setupDataDir() + "rsc\\";
    const std::string own = std::string(orEmpty(head.directory)) + "\\";
    for (int i = 0; i < SKIN_COUNT; ++i) {
        if (!config.getBitmap(i)) continue;
        const std::string& source = config.bitmapSource(i);
        if (source.empty())
            found.push_back(
                {place, -1,
                 std::string("skin picture ") + skinFileNames[i] + " is the built-in one", ""});
        else if (!startsWithNoCase(source, rsc) && !startsWithNoCase(source, own))
            found.push_back(
                {place, -1,
                 std::string("skin picture ") + skinFileNames[i] + " comes from another folder",
                 source});
    }
    return found;
}
