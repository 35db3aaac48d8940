// setuptool config: shows what Setup reads from a disc's rsc folder.
#include "config_disc.h"
#include "json_text.h"

namespace {

const char* const USAGE = "config DISC [--language N]";

Json textList(const std::vector<std::string>& list, platform::TextEncoding encoding) {
    Json a = Json::array();
    for (const std::string& s : list) a.push_back(jsonText(s, encoding));
    return a;
}

Json fileTextList(const SetupConfig& config) {
    Json a = Json::array();
    for (std::size_t i = 0; i < config.fileTexts.size(); ++i)
        a.push_back(jsonText(config.fileTexts[i], config.fileTextEncodings[i]));
    return a;
}

Json bitmapList(const SetupConfig& config) {
    Json a = Json::array();
    for (int i = 0; i < SKIN_COUNT; ++i) {
        const SkinBitmap* b = config.getBitmap(i);
        const std::string& source = config.bitmapSource(i);
        a.push_back({{"index", i},
                     {"file", skinFileNames[i]},
                     {"path", source.empty() ? Json(nullptr) : byteText(source)},
                     {"fromResources", b ? b->fromResources() : false},
                     {"width", b ? Json(b->width()) : Json(nullptr)},
                     {"height", b ? Json(b->height()) : Json(nullptr)}});
    }
    return a;
}

int run(const Arguments& args) {
    DiscArguments disc;
    if (!parseDiscArguments(args, false, disc)) return usageError(USAGE);
    SetupConfig config;
    int status = loadDisc(disc, config);
    if (status == 2) return status;
    printJson({{"loaded", status == 0},
               {"languages", textList(config.languageNames, config.textEncoding)},
               {"currentLanguage", config.currentLanguage},
               {"texts", textList(config.texts, config.textEncoding)},
               {"fileTexts", fileTextList(config)},
               {"splashColour", config.getSplashColour()},
               {"captionColour", config.getCaptionColour()},
               {"bitmaps", bitmapList(config)}});
    return status;
}

const CommandRegistration registration("config", USAGE, run);

}  // namespace
