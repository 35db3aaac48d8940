#pragma once
// The settings of one run, from rsc\rscinfo.ini of the setup data folder: languages, the
// texts and text files of the current language, two colours and the thirteen skin bitmaps.
// Start-up fills platformFolders and installerPresent.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "config/profile_reader.h"
#include "config/skin_bitmap.h"
#include "platform/handheld_platform.h"

namespace platform {
class FileSystem;
}

enum SkinIndex : int {
    SKIN_CANCEL = 0,
    SKIN_BACK = 1,
    SKIN_NEXT = 2,
    SKIN_FINISH = 3,
    SKIN_BRAND = 4,
    SKIN_LOGO = 5,
    SKIN_SPLASH = 6,  // optional
    SKIN_BAR = 7,     // falls back to a platform folder, then to the built-in picture
    SKIN_BACKGROUND = 8,
    SKIN_CANCEL_FOCUS = 9,
    SKIN_BACK_FOCUS = 10,
    SKIN_NEXT_FOCUS = 11,
    SKIN_FINISH_FOCUS = 12,
    SKIN_COUNT = 13
};
extern const char* const skinFileNames[SKIN_COUNT];  // "bcancel.bmp" ... "bfinishf.bmp"
// Where a disc keeps the sharper version of the picture at path: "hidpi\" before its name.
std::string sharpPicturePath(const std::string& path);

inline constexpr int MAX_LANGUAGES = 12;

// A Windows colour: red + green * 256 + blue * 65536.
using ColourRef = std::uint32_t;

struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

class SetupConfig {
public:
    // Null services mean the system's file layer, the system's profile reader and the
    // header-only bitmap loader.
    explicit SetupConfig(platform::FileSystem* fs = nullptr, SkinLoader* skins = nullptr);
    SetupConfig(const SetupConfig&) = delete;
    SetupConfig& operator=(const SetupConfig&) = delete;
    ~SetupConfig();
    // Setup.exe plugs in the GDI loader of skin/ before load.
    void setSkinLoader(SkinLoader* skins) { skins_ = skins; }

    // Bitmaps, languages and the default language's texts. setupDataDir ends in a backslash.
    bool load(const std::string& setupDataDir);
    void selectLanguage(int index);
    int getLanguageCount() const { return static_cast<int>(languageNames.size()); }
    int languageCount() const { return getLanguageCount(); }
    void getLanguageName(int index, std::string& out) const;
    std::string getText(int index) const;  // empty when missing
    std::string getFileText(int index) const;
    SkinBitmap* getBitmap(int skinIndex) const;
    // The slot's picture at twice the size (rules/dpi_scale.h decides when it is drawn).
    SkinBitmap* getSharpBitmap(int skinIndex) const;
    void getBitmapPath(int skinIndex, std::string& out) const;
    ColourRef getSplashColour() const;
    ColourRef getCaptionColour() const;
    void getViewerPath(std::string& out) const;
    // Replaces the skin bitmaps found in folder; the others stay.
    bool reloadBitmaps(const std::string& folder);
    // Expands a "%0<n>" text reference with its "|"-separated arguments; source is in
    // textEncoding.
    std::string resolveText(const std::string& source) const;
    // The same in UTF-8, for a source held in sourceEncoding (a menu script's).
    std::string resolveUtf8(const std::string& source, platform::TextEncoding sourceEncoding) const;
    std::string loadTextFile(const std::string& path,
                             platform::TextEncoding* encoding = nullptr) const;
    int countUsablePlatforms() const;

    const std::string& setupDataDir() const { return dataDir_; }
    // For reads before load (the splash asks for its colour and picture path first).
    void setSetupDataDir(const std::string& dir) { dataDir_ = dir; }
    // Where a bitmap came from: the file used, empty for the built-in one or an empty slot.
    const std::string& bitmapSource(int skinIndex) const;

    bool allPlatforms = false;
    std::array<std::unique_ptr<SkinBitmap>, SKIN_COUNT> bitmaps;
    // The same pictures at twice the size, from a hidpi\ folder beside them; null if none.
    std::array<std::unique_ptr<SkinBitmap>, SKIN_COUNT> sharpBitmaps;
    int currentLanguage = 0;
    std::vector<std::string> languageNames;
    std::vector<std::string> texts;
    std::vector<std::string> fileTexts;
    // What languageNames and texts are held in: UTF-8 when rscinfo.ini is Unicode and
    // unicodeTexts is on, else the file's bytes. Each file text has its own.
    platform::TextEncoding textEncoding = platform::TextEncoding::Ansi;
    std::vector<platform::TextEncoding> fileTextEncodings;
    // Off, a Unicode rscinfo.ini reads as the ANSI profile functions read it (Windows-1252,
    // '?' for what it lacks), as Setup.exe needs while its windows draw through the ANSI
    // functions; on, its texts come whole, in UTF-8.
    bool unicodeTexts = false;
    // Setup.exe on Windows: the texts and file names of ANSI files are converted to UTF-8 with
    // the ANSI code page as they are read, so that every text it holds is UTF-8 (see
    // platform/text_encoding.h).
    bool ansiAsUtf8 = false;
    bool convertedFromAnsi = false;  // texts in UTF-8 only through that conversion
    // Both by platform index.
    std::array<std::vector<std::string>, PLATFORM_COUNT> platformFolders;
    bool installerPresent[PLATFORM_COUNT] = {};
    ScreenRect wizardRect;

private:
    std::string rscFolder() const { return dataDir_ + "rsc\\"; }
    std::string iniPath() const { return rscFolder() + "rscinfo.ini"; }
    bool loadBitmap(int index);
    bool loadBarFallback();
    // The sharper picture of slot index, beside the normal one at path.
    void loadSharp(int index, const std::string& path);
    ColourRef readColour(const char* prefix) const;
    std::string readText(ProfileReader& ini, const std::string& section,
                         const std::string& key) const;
    // A file text in UTF-8 when every text is held so.
    void heldAsUtf8(std::string& text, platform::TextEncoding& encoding) const;

    platform::FileSystem* fs_;
    SkinLoader* skins_;
    std::string dataDir_;
    platform::TextEncoding sourceEncoding_ = platform::TextEncoding::Ansi;  // rscinfo.ini's
    std::array<std::string, SKIN_COUNT> sources_;
};
