// The preview draws what the screen shows: a page's preview picture equals, pixel for pixel,
// the same page's client area as the wizard shows it; and Setup.exe -preview on whole discs: the
// planted faults and exit 1, nothing and exit 0 on the sample disc, the pictures in place.
#include <functional>
#include <nlohmann/json.hpp>

#include "../wizard/wizard_fixture.h"
#include "support/test_disc.h"
#include "wizard/accept_page.h"
#include "wizard/check_list_view_page.h"
#include "wizard/radio_page.h"
#include "wizard/text_page.h"

namespace {

using namespace testing_support;

int differing(const Picture& a, const Picture& b) {
    if (a.width != b.width || a.height != b.height) return -1;
    int n = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
    return n;
}

// Each page is made twice in the same state: run as the wizard runs it and read from the
// screen, and painted into its picture as the preview paints it.
TEST_F(WizardTest, PreviewPicturesEqualTheScreen) {
    Menu& radioMenu = makeMenu({"Install everything", "Choose the programs", "Leave Setup"});
    radioMenu.optionSelected[1] = 1;
    MenuFile listFile(1);
    listFile.allocateOptions(0, 25);
    Menu& listMenu = listFile.first();
    listMenu.optionCount = 25;
    for (int i = 0; i < 25; ++i)
        listMenu.options[i].label = listFile.addText(("City " + std::to_string(10 + i)).c_str());
    using Make = std::function<std::unique_ptr<WizardWindow>()>;
    const std::pair<const char*, Make> cases[] = {
        {"radio_menu",
         [&] {
             auto radio = std::make_unique<RadioPage>(env, radioMenu);
             radio->setTopText("Welcome. What would you like to do?");
             radio->setBottomText("A complete installation needs about 400 KB.");
             radio->setSideText("Version 2.1");
             return radio;
         }},
        {"accept",
         [&] {
             auto accept = std::make_unique<AcceptPage>(env);
             accept->setAcceptText("Licence\r\n\r\nYou may install these programs.");
             accept->setAcceptLabel("I accept");
             return accept;
         }},
        {"summary",
         [&] {
             auto text = std::make_unique<TextPage>(env);
             text->setText("Chess\r\nSolitaire");
             return text;
         }},
        {"list", [&] { return std::make_unique<CheckListViewPage>(env, listMenu); }},
    };
    for (const auto& [name, make] : cases) {
        SCOPED_TRACE(name);
        auto page = [&] {
            std::unique_ptr<WizardWindow> p = make();
            p->setCaption("Preview Setup");
            if (p->topText.empty()) p->setTopText("Please read this.");
            p->setButtons(BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL);
            p->confirmCancel = false;
            return p;
        };
        auto shown = page();
        Picture screen;
        runScripted(*shown, [&](PageDriver&, HWND p) {
            screen = captureClient(p);
            ::PostMessageA(p, WM_COMMAND, MAKEWPARAM(WIZ_CANCEL, BN_CLICKED), 0);
        });
        PagePicture painted;
        ASSERT_TRUE(page()->paintPicture(painted));
        const Picture picture{painted.width, painted.height, painted.pixels};
        savePicture(screen, std::string(name) + "-screen");
        savePicture(picture, std::string(name) + "-preview");
        EXPECT_EQ(differing(screen, picture), 0);
    }
}

std::string source(const std::string& relative) {
    return std::string(std::getenv("SETUP_SOURCE_DIR")) + "/" + relative;
}

// Setup.exe -preview beside the disc, run in the folder out; the exit code, the report in out,
// what it printed in out/stdout.txt. A run that does not end in time is ended (99).
DWORD preview(const std::filesystem::path& disc, const std::filesystem::path& out,
              DWORD timeoutMs = 60000) {
    std::filesystem::copy_file(std::string(std::getenv("SETUP_BIN_DIR")) + "/Setup.exe",
                               disc / "Setup.exe",
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::create_directories(out);
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE printed = ::CreateFileA((out / "stdout.txt").string().c_str(), GENERIC_WRITE, 0,
                                   &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(printed, INVALID_HANDLE_VALUE);
    DWORD pid = 0, code = 99;
    HANDLE process = startProgram("\"" + (disc / "Setup.exe").string() + "\" -preview",
                                  out.string(), pid, printed);
    ::CloseHandle(printed);
    EXPECT_TRUE(process);
    if (!process) return code;
    if (!waitForExit(process, code, timeoutMs)) {
        ADD_FAILURE() << "Setup.exe -preview did not end";
        ::TerminateProcess(process, 99);
        code = 99;
    }
    ::CloseHandle(process);
    return code;
}

TEST(SetupPreview, FindsThePlantedFaultsAndNothingOnTheSampleDisc) {
    ScratchDir dir;
    writePreviewFaultsDisc(dir, "faults", source("examples/disc/rsc"));
    std::filesystem::copy(source("examples/disc"), dir.path() / "sample",
                          std::filesystem::copy_options::recursive);
    // Eight languages in Unicode files: the folders carry their names, the labels are measured
    // as drawn.
    std::filesystem::copy(source("tests/data/unicode_disc"), dir.path() / "unicode",
                          std::filesystem::copy_options::recursive);
    for (const auto& e : std::filesystem::directory_iterator(source("examples/disc/rsc")))
        if (e.path().extension() == ".bmp")
            std::filesystem::copy_file(e.path(), dir.path() / "unicode/rsc" / e.path().filename());
    using Finding = std::tuple<int, int, int, std::string>;  // language, menu, option, what
    struct Case {
        const char* disc;
        DWORD exit;
        std::vector<Finding> findings;
        const char* picture;
    } cases[] = {
        {"faults",
         1,
         {{0, 2, -1, "top text fitted below 7 points"},
          {0, 3, 7, "option list longer than the page shows"},
          {1, 1, 0, "label wider than its row"},
          {1, 1, 1, "text reference %026 names no text"},
          {1, -1, -1, "text 26 is missing"}},
         "1-Deutsch/Faults-PALM/menu1.png"},
        {"sample", 0, {}, "0-English/Organizer-PALM/menu0.png"},
        {"unicode", 0, {}, "3-Русский/Atlas-EPOC/menu6.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.disc);
        const auto out = dir.path() / (std::string(c.disc) + "-out");
        EXPECT_EQ(preview(dir.path() / c.disc, out), c.exit);
        nlohmann::json report = nlohmann::json::parse(readFile(out / "preview/layout.json"));
        std::vector<Finding> found;
        for (const auto& f : report["findings"])
            found.emplace_back(f["languageNumber"], f["menu"], f["option"], f["what"]);
        EXPECT_EQ(found, c.findings) << readFile(out / "preview/findings.txt");
        // One line a finding, beside the pictures.
        const std::string lines = readFile(out / "preview/findings.txt");
        EXPECT_EQ(static_cast<std::size_t>(std::count(lines.begin(), lines.end(), '\n')),
                  c.findings.size());
        const std::string picture = c.picture;
        EXPECT_TRUE(std::filesystem::exists(out / "preview" /
                                            std::u8string(picture.begin(), picture.end())));
    }
}

// Nobody can close a box in preview mode: a disc Setup cannot read ends at once with exit 2,
// its start-up message printed word for word, and no window.
TEST(SetupPreview, AnUnreadableDiscEndsWithItsMessagePrinted) {
    ScratchDir dir;
    std::filesystem::create_directories(dir.path() / "disc" / "rsc");
    const auto out = dir.path() / "out";
    EXPECT_EQ(preview(dir.path() / "disc", out, 30000), 2u);
    const std::string message = "No SETUP information found on disk or CD-ROM\r\n";
    EXPECT_EQ(readFile(out / "stdout.txt"), message);
    EXPECT_EQ(readFile(out / "preview/findings.txt"), message);
    EXPECT_FALSE(std::filesystem::exists(out / "preview/layout.json"));
}

}  // namespace
