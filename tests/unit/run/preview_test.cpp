// The preview's findings on whole discs: the planted faults and nothing else, none on the
// sample disc; and the layout report as a reader of JSON sees it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <nlohmann/json.hpp>

#include "config/setup_config.h"
#include "run/loader.h"
#include "run/preview_run.h"
#include "support/fixed_pitch_measure.h"
#include "support/test_disc.h"

namespace {

using namespace testing_support;

std::filesystem::path sourceDir() {
    const char* dir = std::getenv("SETUP_SOURCE_DIR");
    return dir ? dir : ".";
}

// A disc loaded as the preview loads it: every script whole, every platform offered.
struct LoadedDisc {
    FakeSystem fake;
    SetupConfig config;
    MenuFileList menuFiles;
    int loaded = LOADER_FAILURE;
    explicit LoadedDisc(const std::filesystem::path& folder) {
        std::string dataDir = (folder / "Setup.exe").string();
        LoaderJob job{&dataDir, &config, &menuFiles, true, fake.system(), "Setup", nullptr};
        loaded = runLoader(job);
        for (bool& present : config.installerPresent) present = true;
    }
    PreviewResult preview() {
        FixedPitchMeasure measure;
        return previewDisc(config, menuFiles, measure, {});
    }
};

PreviewPlace place(int language, const char* name, int menu) {
    return {language, name, menu >= -1 && language >= 0 ? "Faults\\PALM.mnu" : "", menu};
}

TEST(PreviewFindings, AreTheDiscsFaultsAndNothingElse) {
    ScratchDir dir;
    writePreviewFaultsDisc(dir, "faults", sourceDir() / "examples/disc/rsc");
    struct Case {
        std::filesystem::path disc;
        std::vector<PreviewFinding> expected;
        int pages;
    } cases[] = {
        {dir.path() / "faults",
         {{place(0, "English", 2), -1, "top text fitted below 7 points", ""},
          {place(0, "English", 3), 7, "option list longer than the page shows", ""},
          {place(1, "Deutsch", 1), 0, "label wider than its row", ""},
          {place(1, "Deutsch", 1), 1, "text reference %026 names no text", ""},
          {{1, "Deutsch", "", -1}, -1, "text 26 is missing", ""}},
         // Per language: the language page, then English menus 0, 2, 3 and German menu 1.
         6},
        {sourceDir() / "examples/disc", {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.disc.string());
        LoadedDisc disc(c.disc);
        ASSERT_EQ(disc.loaded, LOADER_SUCCESS)
            << (disc.fake.messages.messages.empty() ? "" : disc.fake.messages.messages[0].text);
        PreviewResult result = disc.preview();
        std::string lines;
        for (const PreviewFinding& f : result.findings) lines += findingLine(f) + "\n";
        EXPECT_EQ(result.findings, c.expected) << lines;
        if (c.pages) EXPECT_EQ(static_cast<int>(result.pages.size()), c.pages);
        EXPECT_EQ(disc.config.currentLanguage, 0);
    }
}

TEST(PreviewLayout, ReportsEveryPageWithItsControlsAndFindings) {
    LoadedDisc disc(sourceDir() / "examples/disc");
    ASSERT_EQ(disc.loaded, LOADER_SUCCESS);
    PreviewResult result = disc.preview();
    nlohmann::json report = nlohmann::json::parse(layoutJson(result));
    ASSERT_EQ(report["pages"].size(), result.pages.size());
    ASSERT_FALSE(result.pages.empty());
    bool sawGermanMenu = false;
    for (const auto& page : report["pages"]) {
        const std::string picture = page["picture"];
        if (picture == "1-Deutsch\\Organizer-PALM\\menu1.png") {
            sawGermanMenu = true;
            // Six radio buttons in their rows, the bottom text and the side text in their
            // places, and the umlauts of the script as UTF-8.
            int choices = 0;
            for (const auto& c : page["controls"]) {
                if (c["kind"] == "choice") ++choices;
                if (c["kind"] == "bottom text")
                    EXPECT_EQ(c["rect"], nlohmann::json({190, 301, 580, 352}));
                if (c["kind"] == "choice" && choices == 1)
                    EXPECT_EQ(c["text"], "Vollst\u00e4ndige Installation (alle Programme)");
            }
            EXPECT_EQ(choices, 6);
        }
    }
    EXPECT_TRUE(sawGermanMenu);
    EXPECT_TRUE(report["findings"].empty());
}

}  // namespace
