#include "run/preview_run.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "config/setup_config.h"
#include "platform/code_page.h"

namespace {

// Puts the skins of folder (empty: rsc's alone) in place, as the run has them on its pages.
void useSkins(SetupConfig& config, const std::string& folder) {
    config.reloadBitmaps(config.setupDataDir() + "rsc");
    if (!folder.empty()) config.reloadBitmaps(folder);
}

void addOnce(std::vector<PreviewFinding>& to, const std::vector<PreviewFinding>& found) {
    for (const PreviewFinding& f : found)
        if (std::find(to.begin(), to.end(), f) == to.end()) to.push_back(f);
}

std::string quoted(const std::string& utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
            out += buffer;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string placeJson(const PreviewPlace& p) {
    return "\"languageNumber\": " + std::to_string(p.languageNumber) +
           ", \"language\": " + quoted(p.language) + ", \"script\": " + quoted(p.script) +
           ", \"menu\": " + std::to_string(p.menu);
}

}  // namespace

PreviewResult previewDisc(SetupConfig& config, MenuFileList& files, PreviewMeasure& measure,
                          const std::function<void(const PlannedPage&)>& paint) {
    PreviewResult result;
    const int startLanguage = config.currentLanguage;
    std::vector<std::vector<std::string>> texts;
    std::vector<std::string> names;
    std::set<std::string> skinsLookedAt;
    const int languages = std::max(config.getLanguageCount(), 1);
    for (int language = 0; language < languages; ++language) {
        config.selectLanguage(language);
        texts.push_back(config.texts);
        std::string folder = "\x01";  // none yet
        for (const PlannedPage& page : planLanguage(config, files)) {
            if (page.skinFolder != folder) {
                folder = page.skinFolder;
                useSkins(config, folder);
            }
            if (page.menu && skinsLookedAt.insert(page.place.script).second)
                addOnce(result.findings, skinFindings(config, *page.menu));
            PreviewPageLayout layout = layOutPage(page, config, measure);
            addOnce(result.findings, layoutFindings(layout));
            if (paint) paint(page);
            result.pages.push_back(std::move(layout));
        }
        const std::string name = language < config.getLanguageCount()
                                     ? config.languageNames[static_cast<std::size_t>(language)]
                                     : "";
        names.push_back(config.textEncoding == platform::TextEncoding::Utf8
                            ? name
                            : platform::ansiCodePage().toUtf8(name));
        for (const MenuFilePtr& f : files)
            if (f)
                addOnce(result.findings,
                        referenceFindings(*f, language, names.back(), config.texts));
        useSkins(config, "");
    }
    addOnce(result.findings, missingTextFindings(names, texts));
    config.selectLanguage(startLanguage);
    return result;
}

std::string layoutJson(const PreviewResult& result) {
    std::string out = "{\n  \"pages\": [";
    const char* pageSep = "\n";
    for (const PreviewPageLayout& page : result.pages) {
        out += pageSep;
        pageSep = ",\n";
        out += "    {" + placeJson(page.place) + ", \"picture\": " + quoted(page.picture) +
               ",\n     \"controls\": [";
        const char* sep = "\n";
        for (const PreviewControl& c : page.controls) {
            out += sep;
            sep = ",\n";
            const WizRect& r = c.rect;
            out += "       {\"kind\": " + quoted(previewControlName(c.kind)) + ", \"rect\": [" +
                   std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
                   std::to_string(r.right) + ", " + std::to_string(r.bottom) +
                   "], \"text\": " + quoted(c.text) +
                   ", \"fontTenths\": " + std::to_string(c.fontTenths) + "}";
        }
        out += "]}";
    }
    out += "\n  ],\n  \"findings\": [";
    const char* sep = "\n";
    for (const PreviewFinding& f : result.findings) {
        out += sep;
        sep = ",\n";
        out += "    {" + placeJson(f.place) + ", \"option\": " + std::to_string(f.option) +
               ", \"what\": " + quoted(f.what) + ", \"detail\": " + quoted(f.detail) +
               ", \"line\": " + quoted(findingLine(f)) + "}";
    }
    return out + "\n  ]\n}\n";
}
