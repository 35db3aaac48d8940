#include "menu/menu_parser.h"

#include <strings.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
#include <set>

#include "menu/script_reader.h"
#include "platform/code_page.h"
#include "platform/control_bytes.h"

namespace {

constexpr int MAX_MENUS = 999;
constexpr int MAX_OPTIONS = 9998;
constexpr std::uint32_t PROGRESS_INTERVAL_MS = 500;
// A file reached by SWITCHTO a second time would be read again from its start for ever.
constexpr const char* SWITCH_BACK_MESSAGE = "Menu files switch back to ";

bool startsWithNoCase(const char* line, const char* prefix) {
    return ::strncasecmp(line, prefix, std::strlen(prefix)) == 0;
}

// Whole-line keyword of known length; the length test spares most comparisons.
struct Keyword {
    const char* text;
    std::size_t length;
    template <std::size_t N>
    constexpr Keyword(const char (&t)[N]) : text(t), length(N - 1) {}
    bool matches(const char* line, std::size_t lineLength) const {
        return lineLength == length && ::strncasecmp(line, text, length) == 0;
    }
};

// Decimal number at the start of a text, as the C library reads it, kept within int.
int readNumber(const char* text) {
    long v = std::strtol(text, nullptr, 10);
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

// Cuts the next word off rest: it ends at the first byte not above 32, compared as a signed
// byte, so bytes of 128 and above end it too.
std::string nextWord(char*& rest) {
    char* p = rest;
    while (static_cast<signed char>(*p) > 32) ++p;
    std::string word(rest, p);
    rest = trimLine(p);
    return word;
}

enum class State { Directives, MenuBody, Title, TopText, BottomText, Version };

class MenuParser {
public:
    MenuParser(const std::string& path, MenuFilePtr& out, bool headerOnly, bool withProgress,
               MenuParseEnvironment& env)
        : path_(path), out_(out), headerOnly_(headerOnly), withProgress_(withProgress), env_(env) {}

    ~MenuParser() { flushTrace(); }
    int run();

private:
    int fail(int code, const std::string& message) {
        flushTrace();
        env_.system.messages->showMessage(message, env_.messageCaption,
                                          platform::MessageIcon::Exclamation);
        return code;
    }
    // Lines come in the encoding the script's texts are held in: a file of the other kind
    // reached by SWITCHTO is converted, an ANSI one to UTF-8, or the texts so far become UTF-8.
    char* nextLine() {
        char* line = readScriptLine(*reader_, buffer_);
        if (line && out_ && reader_->encoding() == platform::TextEncoding::Utf8)
            for (int n = 0; n < out_->menuCount(); ++n) (*out_)[n].convertedFromAnsi = false;
        if (!line || !out_ || reader_->encoding() == encoding_) return line;
        if (encoding_ == platform::TextEncoding::Ansi) {
            becomeUnicode();
            return line;
        }
        converted_ = platform::asUtf8(line, platform::TextEncoding::Ansi);
        return converted_.data();
    }
    void becomeUnicode();
    // The trace is collected and written in blocks: a write per line would cost more than
    // the whole parse.
    void trace(const char* line) {
        if (!env_.trace) return;
        trace_ += '[';
        if (env_.escapeTrace) {
            platform::appendEscaped(trace_, line, std::strlen(line));
        } else {
            trace_ += line;
        }
        trace_ += "]\n";
        if (trace_.size() >= TRACE_BLOCK) flushTrace();
    }
    void flushTrace() {
        if (env_.trace && !trace_.empty()) {
            std::fwrite(trace_.data(), 1, trace_.size(), env_.trace);
            std::fflush(env_.trace);
        }
        trace_.clear();
    }
    int readHeader();
    int keywordLoop();
    int handleDirective(char* line, bool& done);
    int handleMenuLine(char* line, bool& done);
    int handleMenuBody(char* line, bool& done);
    int handleText(char* line);
    int readOption(OptionKind kind, int lines, std::uint8_t autoFlag);
    int closeMenu();
    bool progressCancelled();

    const std::string& path_;
    MenuFilePtr& out_;
    bool headerOnly_, withProgress_;
    MenuParseEnvironment& env_;

    static constexpr std::size_t TRACE_BLOCK = 64 * 1024;
    std::string trace_;
    std::unique_ptr<ScriptReader> reader_;
    char buffer_[SCRIPT_LINE_SIZE];
    platform::TextEncoding encoding_ = platform::TextEncoding::Ansi;
    std::string converted_;
    std::string putBack_;
    bool hasPutBack_ = false;

    int platform_ = 0;
    int menuCount_ = 0;
    std::string appName_, version_, registrationUrl_;
    std::string firstFolder_;           // folder of the first script, with its separator
    std::set<std::string> switchedTo_;  // comparable paths of the files reached by SWITCHTO

    State state_ = State::Directives;
    Menu* current_ = nullptr;
    int declaredOptions_ = 0;
    int optionsSeen_ = 0;  // may exceed the arrays; only the declared number is stored
    int menusRead_ = 0;
    char text_[SCRIPT_LINE_SIZE];
    std::size_t textLength_ = 0;

    std::unique_ptr<platform::ProgressDisplay> progress_;
    platform::ProceedFlag proceed_{1};
    std::uint32_t lastRefresh_ = 0;
    bool refreshed_ = false;
};

int MenuParser::run() {
    std::size_t sep = platform::lastSeparator(path_);
    std::string fileName = sep == std::string::npos ? path_ : path_.substr(sep + 1);
    std::string directory = sep == std::string::npos ? std::string() : path_.substr(0, sep);
    firstFolder_ = sep == std::string::npos ? std::string() : path_.substr(0, sep + 1);

    platform::FilePtr file = env_.system.fs->openRegularFile(path_);
    if (!file) return fail(MENU_ERR_READ, "Could not read menu file");
    reader_ = std::make_unique<ScriptReader>(std::move(file));

    char* line = nextLine();
    if (!line) return fail(MENU_ERR_HEADER, "Device name expected");
    std::string base = fileName.size() >= 4 ? fileName.substr(0, fileName.size() - 4) : "";
    if (std::strncmp(line, base.c_str(), base.size()) != 0)
        return fail(MENU_ERR_HEADER, "Wrong device name specified");
    const HandheldPlatform* device = findPlatform(line);
    if (!device) return fail(MENU_ERR_DEVICE_UNKNOWN, "Unknown device name");
    platform_ = device->index;

    line = nextLine();
    if (!line) return fail(MENU_ERR_COUNT_MISSING, "Nr of menu's expected");
    menuCount_ = readNumber(line);
    if (menuCount_ < 1 || menuCount_ > MAX_MENUS)
        return fail(MENU_ERR_COUNT_RANGE, "Weird nr of menu's specified");
    if (headerOnly_) menuCount_ = 1;

    try {
        out_ = std::make_unique<MenuFile>(menuCount_);
    } catch (const std::bad_alloc&) {
        return fail(MENU_ERR_BLOCK_MEMORY, "Out of memory");
    }
    MenuFile& mf = *out_;
    const char* dir = mf.addText(directory.c_str());
    const char* name = mf.addText(platformTable[platform_].name);
    encoding_ = env_.ansiAsUtf8 ? platform::TextEncoding::Utf8 : reader_->encoding();
    for (int i = 0; i < menuCount_; ++i) {
        mf[i].textEncoding = encoding_;
        mf[i].convertedFromAnsi = encoding_ != reader_->encoding();
        mf[i].directory = dir;
        mf[i].platformName = name;
        mf[i].platformCode = static_cast<std::int32_t>(platformTable[platform_].code);
    }
    if (env_.languageCount >= 1) mf.allocateLanguageTable(env_.languageCount);

    if (int r = readHeader(); r != MENU_OK) return r;

    if (withProgress_) {
        progress_ = env_.system.progress->open(&proceed_, false, env_.appCaption, false);
        if (progress_) progress_->setText(env_.progressText, 0, menuCount_);
    }
    return keywordLoop();
}

void MenuParser::becomeUnicode() {
    MenuFile& mf = *out_;
    auto convert = [&mf](const char*& text) {
        const char* p = text;
        while (p && *p && static_cast<unsigned char>(*p) < 0x80) ++p;
        if (p && *p)
            text = mf.addText(platform::asUtf8(text, platform::TextEncoding::Ansi).c_str());
    };
    for (int n = 0; n < mf.menuCount(); ++n) {
        Menu& m = mf[n];
        m.textEncoding = platform::TextEncoding::Utf8;
        for (const char** t : {&m.title, &m.topText, &m.bottomText, &m.version, &m.packageFolder,
                               &m.registrationUrl})
            convert(*t);
        for (int i = 0; m.options && i < m.optionCount; ++i)
            for (const char** t :
                 {&m.options[i].label, &m.options[i].target, &m.options[i].copyright})
                convert(*t);
    }
    for (std::string* s : {&appName_, &version_, &registrationUrl_})
        *s = platform::asUtf8(*s, platform::TextEncoding::Ansi);
    encoding_ = platform::TextEncoding::Utf8;
}

int MenuParser::readHeader() {
    static const struct {
        std::string MenuParser::*field;
        const char* missing;
    } lines[] = {{&MenuParser::appName_, "Application name expected"},
                 {&MenuParser::version_, "Version number expected"},
                 {&MenuParser::registrationUrl_, "Registration URL expected"}};
    for (const auto& l : lines) {
        char* line = nextLine();
        if (!line) return fail(MENU_ERR_HEADER, l.missing);
        this->*l.field = line;
    }
    return MENU_OK;
}

bool MenuParser::progressCancelled() {
    if (!withProgress_) return false;
    std::uint32_t now = env_.system.clock->tickCount();
    if (refreshed_ && now - lastRefresh_ < PROGRESS_INTERVAL_MS) return false;
    if (progress_) progress_->setPos(current_ ? current_->index : 0);
    flushTrace();
    env_.system.progress->pumpMessages();
    lastRefresh_ = now;
    refreshed_ = true;
    return proceed_ == 0;
}

int MenuParser::keywordLoop() {
    for (;;) {
        if (progressCancelled()) return fail(MENU_ERR_CANCELLED, "User interruption");
        char* line;
        if (hasPutBack_) {
            hasPutBack_ = false;
            std::memcpy(buffer_, putBack_.c_str(), putBack_.size() + 1);
            line = buffer_;
        } else {
            line = nextLine();
            if (!line) return fail(MENU_ERR_EOF, "Unexpected end of file");
        }
        trace(line);
        bool done = false;
        int r = MENU_OK;
        switch (state_) {
            case State::Directives: r = handleDirective(line, done); break;
            case State::MenuBody: r = handleMenuBody(line, done); break;
            default: r = handleText(line); break;
        }
        if (r != MENU_OK || done) return r;
    }
}

int MenuParser::handleDirective(char* line, bool& done) {
    if (startsWithNoCase(line, "SETUPREQUIRED ")) {
        double required = std::strtod(line + std::strlen("SETUPREQUIRED "), nullptr);
        if (required > std::strtod(programVersion, nullptr))
            return fail(MENU_ERR_READ,
                        "This version of SETUP.EXE is too old to handle the installation of the "
                        "selected software");
        return MENU_OK;
    }
    if (startsWithNoCase(line, "MENU_FOR_LANGUAGE ")) {
        char* rest = trimLine(line + std::strlen("MENU_FOR_LANGUAGE "));
        int language = readNumber(nextWord(rest).c_str());
        int menu = readNumber(nextWord(rest).c_str());
        if (!setLanguageStartMenu(*out_, language, menu))
            return fail(MENU_ERR_READ, "Wrong language specified!");
        return MENU_OK;
    }
    if (startsWithNoCase(line, "SWITCHTO ")) {
        const char* name = trimLine(line + std::strlen("SWITCHTO "));
        std::string target = firstFolder_ + name;
        if (!env_.system.fs->exists(target))
            return fail(MENU_ERR_READ, "additional menu file is not found");
        if (!switchedTo_.insert(platform::comparablePath(target)).second)
            return fail(MENU_ERR_READ, SWITCH_BACK_MESSAGE + std::string(name));
        platform::FilePtr file = env_.system.fs->openRegularFile(target);
        if (!file) return fail(MENU_ERR_READ, "Could not read additional menu file");
        reader_ = std::make_unique<ScriptReader>(std::move(file));
        return MENU_OK;
    }
    if (startsWithNoCase(line, "MENU ")) return handleMenuLine(line, done);
    return fail(MENU_ERR_NO_MENU, "MENU or SWITCHTO expected");
}

int MenuParser::handleMenuLine(char* line, bool& done) {
    char* rest = trimLine(line + std::strlen("MENU "));
    int number = readNumber(nextWord(rest).c_str());
    int count = readNumber(nextWord(rest).c_str());
    std::string style = nextWord(rest);
    if (number < 0 || number >= menuCount_) return fail(MENU_ERR_BAD_MENU_LINE, "BAD MENU NUMBER");
    if (count < 1 || count > MAX_OPTIONS)
        return fail(MENU_ERR_BAD_MENU_LINE, "BAD NRCHOICES NUMBER");
    // END would find too many; a script repeating MENU lines would grow until then.
    if (menusRead_ >= menuCount_) return fail(MENU_ERR_MENUS_FOUND, "Bad nr of menu's found");

    MenuFile& mf = *out_;
    Menu& menu = mf[number];
    if (!headerOnly_) {
        try {
            mf.allocateOptions(number, count);
        } catch (const std::bad_alloc&) {
            return fail(MENU_ERR_OPTION_MEMORY, "Out of memory");
        }
    }
    menu.style = ::strncasecmp(style.c_str(), "RADIOBUTTONS", 12) == 0 ? MenuStyle::RadioButtons
                                                                       : MenuStyle::CheckList;
    menu.packageFolder = *rest ? mf.addText(rest) : menu.platformName;
    menu.title = mf.addText(appName_.c_str(), appName_.size());
    menu.version = mf.addText(version_.c_str(), version_.size());
    menu.registrationUrl = mf.addText(registrationUrl_.c_str(), registrationUrl_.size());
    menu.topText = nullptr;
    menu.bottomText = nullptr;
    menu.optionCount = 0;
    ++menusRead_;
    current_ = &menu;
    declaredOptions_ = count;
    optionsSeen_ = 0;
    state_ = State::MenuBody;
    if (headerOnly_) {
        menu.optionCount = count;
        done = true;
    }
    return MENU_OK;
}

int MenuParser::closeMenu() {
    if (optionsSeen_ != declaredOptions_)
        return fail(MENU_ERR_OPTIONS_FOUND, "Bad nr of options in mneu");
    return MENU_OK;
}

int MenuParser::handleMenuBody(char* line, bool& done) {
    static const struct {
        Keyword keyword;
        State state;
    } blocks[] = {{"TITLE", State::Title},
                  {"TOPTEXT", State::TopText},
                  {"BOTTOMTEXT", State::BottomText},
                  {"VERSION", State::Version}};
    const auto install = static_cast<OptionKind>(platformTable[platform_].code);
    static const struct {
        Keyword keyword;
        int kind;  // -1: the script's install kind
        int lines;
        std::uint8_t autoFlag;
    } options[] = {{"MENUOPTION", 0, 2, 0}, {"AUTOMENUOPTION", 0, 2, 1},
                   {"HTMLOPTION", 1, 2, 0}, {"INSTALLOPTION", -1, 2, 0},
                   {"I", -1, 2, 0},         {"EXEOPTION", 6, 2, 0},
                   {"QUIT", 7, 1, 0}};

    const std::size_t length = std::strlen(line);
    static constexpr Keyword END("END");
    if (END.matches(line, length)) {
        if (menusRead_ != menuCount_) return fail(MENU_ERR_MENUS_FOUND, "Bad nr of menu's found");
        if (int r = closeMenu(); r != MENU_OK) return r;
        done = true;
        return MENU_OK;
    }
    for (const auto& b : blocks) {
        if (b.keyword.matches(line, length)) {
            textLength_ = 0;
            text_[0] = 0;
            state_ = b.state;
            return MENU_OK;
        }
    }
    for (const auto& o : options) {
        if (o.keyword.matches(line, length))
            return readOption(o.kind < 0 ? install : static_cast<OptionKind>(o.kind), o.lines,
                              o.autoFlag);
    }
    if (startsWithNoCase(line, "MENU ") || startsWithNoCase(line, "SWITCHTO ")) {
        if (int r = closeMenu(); r != MENU_OK) return r;
        putBack_ = line;
        hasPutBack_ = true;
        state_ = State::Directives;
        return MENU_OK;
    }
    return fail(MENU_ERR_UNKNOWN_KEYWORD, "Unknown menu keyword");
}

int MenuParser::readOption(OptionKind kind, int lines, std::uint8_t autoFlag) {
    MenuFile& mf = *out_;
    const bool stored = optionsSeen_ < declaredOptions_;
    ++optionsSeen_;
    MenuOption option;
    option.kind = kind;
    char* line = nextLine();
    if (!line) return fail(MENU_ERR_OPTION_LINE1, "Unexpected end of option");
    if (stored) option.label = mf.addText(line);
    if (lines > 1) {
        line = nextLine();
        if (!line) return fail(MENU_ERR_OPTION_LINE2, "Unexpected end of option");
        if (kind == OptionKind::Menu) {
            option.targetMenu = readNumber(line);
            option.autoFlag = autoFlag;
        } else if (stored) {
            option.target = mf.addText(line);
        }
    }
    if (kind == OptionKind::Exe) {
        // A following "copyright" line names a text shown before the program starts;
        // any other line is put back and read again as the next keyword.
        line = nextLine();
        if (line && startsWithNoCase(line, "copyright")) {
            const char* name = std::strlen(line) > 9 ? line + 10 : "";
            while (*name == ' ') ++name;
            if (stored) option.copyright = mf.addText(name);
        } else if (line) {
            putBack_ = line;
            hasPutBack_ = true;
        }
    }
    if (stored) {
        current_->options[current_->optionCount] = option;
        current_->optionSelected[current_->optionCount] = 0;
        ++current_->optionCount;
    }
    return MENU_OK;
}

int MenuParser::handleText(char* line) {
    if (std::strcmp(line, "*") == 0) {
        const char* copy = out_->addText(text_, textLength_);
        switch (state_) {
            case State::Title: current_->title = copy; break;
            case State::TopText: current_->topText = copy; break;
            case State::BottomText: current_->bottomText = copy; break;
            default: current_->version = copy; break;
        }
        state_ = State::MenuBody;
        return MENU_OK;
    }
    std::size_t length = std::strlen(line);
    if (length + textLength_ + 1 >= SCRIPT_LINE_SIZE)
        return fail(MENU_ERR_BUFFER, "Buffer too long");
    if (textLength_ > 0) text_[textLength_++] = '\n';
    std::memcpy(text_ + textLength_, line, length + 1);
    textLength_ += length;
    return MENU_OK;
}

}  // namespace

int parseMenuScript(const std::string& path, MenuFilePtr& out, bool headerOnly, bool withProgress,
                    MenuParseEnvironment& env) {
    out.reset();
    MenuParser parser(path, out, headerOnly, withProgress, env);
    try {
        return parser.run();
    } catch (const std::bad_alloc&) {
        // Any other allocation (texts, lines, the trace) ends the parse the same way.
        env.system.messages->showMessage("Out of memory", env.messageCaption,
                                         platform::MessageIcon::Exclamation);
        return MENU_ERR_OPTION_MEMORY;
    }
}

int loadFullMenuFile(MenuFileList& list, std::size_t index, MenuParseEnvironment& env) {
    Menu& head = list[index]->first();
    std::string path = std::string(head.directory) + "\\" + head.platformName + ".mnu";
    if (!env.system.fs->exists(path)) {
        env.system.messages->showMessage("Could not read menu file", env.messageCaption,
                                         platform::MessageIcon::Exclamation);
        return MENU_ERR_READ;
    }
    env.appCaption = std::string(head.title ? head.title : "") + " Setup";
    freeMenuFile(list[index]);
    return parseMenuScript(path, list[index], false, true, env);
}
