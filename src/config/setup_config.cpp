#include "config/setup_config.h"

#include <algorithm>

#include "config/text_file.h"
#include "config/text_reference.h"
#include "platform/code_page.h"
#include "platform/file_system.h"

const char* const skinFileNames[SKIN_COUNT] = {
    "bcancel.bmp", "bleft.bmp",   "bright.bmp",  "bfinish.bmp", "cbrand.bmp",
    "clogo.bmp",   "slogo.bmp",   "bar.bmp",     "dbg.bmp",     "bcancelf.bmp",
    "bleftf.bmp",  "brightf.bmp", "bfinishf.bmp"};

namespace {

const char* const LANGUAGE_SECTION = "Language";
const char* const COLOUR_SECTION = "Colours";
const char* const BUILTIN_BAR = "bar.bmp";
constexpr std::size_t TEXT_FILES_LIMIT = 4 * TEXT_FILE_LIMIT;

std::string numbered(const char* stem, int n) {
    return stem + std::to_string(n);
}

// Backslash + n (either case) is a line feed; any other byte stays, a final backslash too.
std::string decodeText(const std::string& value) {
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size() &&
            (value[i + 1] == 'n' || value[i + 1] == 'N')) {
            out += '\n';
            ++i;
        } else {
            out += value[i];
        }
    }
    return out;
}

}  // namespace

std::string sharpPicturePath(const std::string& path) {
    const std::size_t cut = path.find_last_of("\\/");
    const std::size_t name = cut == std::string::npos ? 0 : cut + 1;
    return path.substr(0, name) + "hidpi\\" + path.substr(name);
}

SetupConfig::SetupConfig(platform::FileSystem* fs, SkinLoader* skins)
    : fs_(fs ? fs : &platform::systemFileSystem()), skins_(skins ? skins : &headerSkinLoader()) {}

SetupConfig::~SetupConfig() = default;

bool SetupConfig::loadBitmap(int index) {
    std::string path = rscFolder() + skinFileNames[index];
    bitmaps[index] = skins_->loadFromFile(path);
    sources_[index] = bitmaps[index] ? path : std::string();
    loadSharp(index, path);
    if (bitmaps[index]) return true;
    if (index == SKIN_SPLASH) return true;  // the splash may do without its picture
    if (index == SKIN_BAR) return loadBarFallback();
    return false;
}

// The side picture may lie in a product folder, else the program's own one is used.
bool SetupConfig::loadBarFallback() {
    for (auto finder = fs_->findFirst(dataDir_ + "*.*"); finder;) {
        std::string name = finder->name();
        if (finder->isFolder() && name != "." && name != "..") {
            std::string path = dataDir_ + name + "\\" + skinFileNames[SKIN_BAR];
            if (fs_->exists(path)) {
                bitmaps[SKIN_BAR] = skins_->loadFromFile(path);
                sources_[SKIN_BAR] = bitmaps[SKIN_BAR] ? path : std::string();
                loadSharp(SKIN_BAR, path);
                return bitmaps[SKIN_BAR] != nullptr;
            }
        }
        if (!finder->findNext()) break;
    }
    bitmaps[SKIN_BAR] = skins_->loadFromResource(BUILTIN_BAR);
    return bitmaps[SKIN_BAR] != nullptr;
}

bool SetupConfig::load(const std::string& setupDataDir) {
    dataDir_ = setupDataDir;
    for (int i = 0; i < SKIN_COUNT; ++i)
        if (!loadBitmap(i)) return false;

    auto ini = openSystemProfile(*fs_, iniPath());
    sourceEncoding_ = unicodeTexts ? ini->encoding() : platform::TextEncoding::Ansi;
    textEncoding = ansiAsUtf8 ? platform::TextEncoding::Utf8 : sourceEncoding_;
    convertedFromAnsi = textEncoding != sourceEncoding_;
    languageNames.clear();
    for (int i = 0; i < MAX_LANGUAGES; ++i) {
        std::string name = readText(*ini, LANGUAGE_SECTION, numbered("lang", i));
        if (!readText(*ini, numbered("lang", i), numbered("text", i)).empty())
            languageNames.push_back(name);
    }
    currentLanguage = ini->readInt(LANGUAGE_SECTION, "defaultlanguage", 0);
    texts.clear();
    fileTexts.clear();
    fileTextEncodings.clear();
    selectLanguage(currentLanguage);
    return true;
}

void SetupConfig::selectLanguage(int index) {
    if (index < 0 || index >= getLanguageCount()) return;
    currentLanguage = index;
    texts.clear();
    fileTexts.clear();
    fileTextEncodings.clear();
    auto ini = openSystemProfile(*fs_, iniPath());
    const std::string section = numbered("lang", index);
    for (int n = 0;; ++n) {
        std::string value = readText(*ini, section, numbered("text", n));
        if (value.empty()) break;
        texts.push_back(decodeText(value));
    }
    // All text files of a language together stay within a few texts' worth: a disc naming
    // one large file thousands of times gets empty texts, not a program out of memory.
    std::size_t used = 0;
    for (int n = 0;; ++n) {
        // A file name is held as the file layer takes it: ANSI bytes, or UTF-8 where every
        // text is.
        std::string value = ansiAsUtf8 ? readText(*ini, section, numbered("file", n))
                                       : ini->readString(section, numbered("file", n), "");
        if (value.empty()) break;
        std::string text;
        platform::TextEncoding encoding = platform::TextEncoding::Ansi;
        used += readTextFile(*fs_, rscFolder() + value, text,
                             std::min(TEXT_FILE_LIMIT, TEXT_FILES_LIMIT - used), &encoding);
        heldAsUtf8(text, encoding);
        fileTexts.push_back(std::move(text));
        fileTextEncodings.push_back(encoding);
    }
}

std::string SetupConfig::readText(ProfileReader& ini, const std::string& section,
                                  const std::string& key) const {
    if (sourceEncoding_ == platform::TextEncoding::Utf8) return ini.readText(section, key, "");
    std::string value = ini.readString(section, key, "");
    return ansiAsUtf8 ? platform::asUtf8(value, platform::TextEncoding::Ansi) : value;
}

void SetupConfig::heldAsUtf8(std::string& text, platform::TextEncoding& encoding) const {
    if (!ansiAsUtf8 || encoding == platform::TextEncoding::Utf8) return;
    text = platform::asUtf8(text, encoding);
    encoding = platform::TextEncoding::Utf8;
}

std::string SetupConfig::loadTextFile(const std::string& path,
                                      platform::TextEncoding* encoding) const {
    std::string out;
    platform::TextEncoding read = platform::TextEncoding::Ansi;
    readTextFile(*fs_, path, out, TEXT_FILE_LIMIT, &read);
    heldAsUtf8(out, read);
    if (encoding) *encoding = read;
    return out;
}

std::string SetupConfig::resolveText(const std::string& source) const {
    return resolveTextReference(source, texts);
}

std::string SetupConfig::resolveUtf8(const std::string& source,
                                     platform::TextEncoding sourceEncoding) const {
    // A reference is made of ASCII alone, so expanding before or after the conversion is the
    // same; texts of both kinds meet in UTF-8.
    if (sourceEncoding == textEncoding) return platform::asUtf8(resolveText(source), textEncoding);
    std::vector<std::string> utf8Texts;
    utf8Texts.reserve(texts.size());
    for (const std::string& t : texts) utf8Texts.push_back(platform::asUtf8(t, textEncoding));
    return resolveTextReference(platform::asUtf8(source, sourceEncoding), utf8Texts);
}

void SetupConfig::getLanguageName(int index, std::string& out) const {
    if (index >= 0 && index < getLanguageCount()) out = languageNames[index];
}

std::string SetupConfig::getText(int index) const {
    if (index < 0 || index >= static_cast<int>(texts.size())) return {};
    return texts[index];
}

std::string SetupConfig::getFileText(int index) const {
    if (index < 0 || index >= static_cast<int>(fileTexts.size())) return {};
    return fileTexts[index];
}

SkinBitmap* SetupConfig::getBitmap(int skinIndex) const {
    if (skinIndex < 0 || skinIndex >= SKIN_COUNT) return nullptr;
    return bitmaps[skinIndex].get();
}

void SetupConfig::loadSharp(int index, const std::string& path) {
    const std::string sharp = sharpPicturePath(path);
    sharpBitmaps[index] = fs_->exists(sharp) ? skins_->loadFromFile(sharp) : nullptr;
}

SkinBitmap* SetupConfig::getSharpBitmap(int skinIndex) const {
    if (skinIndex < 0 || skinIndex >= SKIN_COUNT) return nullptr;
    return sharpBitmaps[skinIndex].get();
}

const std::string& SetupConfig::bitmapSource(int skinIndex) const {
    static const std::string none;
    if (skinIndex < 0 || skinIndex >= SKIN_COUNT) return none;
    return sources_[skinIndex];
}

void SetupConfig::getBitmapPath(int skinIndex, std::string& out) const {
    if (skinIndex >= 0 && skinIndex < SKIN_COUNT) out = rscFolder() + skinFileNames[skinIndex];
}

ColourRef SetupConfig::readColour(const char* prefix) const {
    auto ini = openSystemProfile(*fs_, iniPath());
    auto part = [&](const char* c) {
        return static_cast<ColourRef>(ini->readInt(COLOUR_SECTION, std::string(prefix) + c, 0)) &
               0xFF;
    };
    return part("R") | part("G") << 8 | part("B") << 16;
}

ColourRef SetupConfig::getSplashColour() const {
    return readColour("splash");
}
ColourRef SetupConfig::getCaptionColour() const {
    return readColour("caption");
}

void SetupConfig::getViewerPath(std::string& out) const {
    out = rscFolder() + "varidi32.exe";
}

bool SetupConfig::reloadBitmaps(const std::string& folder) {
    for (int i = 0; i < SKIN_COUNT; ++i) {
        std::string path = folder + "\\" + skinFileNames[i];
        if (!fs_->exists(path)) continue;
        // A picture that fails to load leaves the slot's old one in place, so the windows
        // never meet an empty slot.
        std::unique_ptr<SkinBitmap> fresh = skins_->loadFromFile(path);
        if (!fresh) return false;
        bitmaps[i] = std::move(fresh);
        sources_[i] = path;
        // A sharper picture of the old one would not show the new one.
        loadSharp(i, path);
    }
    return true;
}

int SetupConfig::countUsablePlatforms() const {
    int count = 0;
    for (int p = 0; p < PLATFORM_COUNT; ++p)
        if (installerPresent[p] && !platformFolders[p].empty()) ++count;
    return count;
}
