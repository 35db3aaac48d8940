// The preview draws what the screen shows: a page's picture painted by paintInto equals, pixel
// for pixel, the page's client area as shown; and Setup.exe -preview on whole discs: the
// planted faults and exit 1, nothing and exit 0 on the sample disc, the pictures in place.
#include <nlohmann/json.hpp>

#include "../wizard/wizard_fixture.h"
#include "fw/gdi.h"
#include "support/test_disc.h"
#include "wizard/accept_page.h"
#include "wizard/check_list_view_page.h"
#include "wizard/radio_page.h"
#include "wizard/text_page.h"

namespace {

using namespace testing_support;

Picture painted(WizardWindow& page) {
    RECT client;
    ::GetClientRect(page.hwnd(), &client);
    Picture out{client.right, client.bottom, {}};
    fw::WindowDc screen(page.hwnd());
    fw::MemoryDc dc(::CreateCompatibleDC(screen.dc()));
    fw::Bitmap bitmap(::CreateCompatibleBitmap(screen.dc(), out.width, out.height));
    fw::Selection selected(dc.get(), bitmap.get());
    page.paintInto(dc.get());
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            COLORREF c = ::GetPixel(dc.get(), x, y);
            out.pixels.push_back(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
        }
    return out;
}

int differing(const Picture& a, const Picture& b) {
    if (a.width != b.width || a.height != b.height) return -1;
    int n = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) n += a.pixels[i] != b.pixels[i];
    return n;
}

TEST_F(WizardTest, PaintedPagesEqualTheScreen) {
    Menu& radioMenu = makeMenu({"Install everything", "Choose the programs", "Leave Setup"});
    radioMenu.optionSelected[1] = 1;
    RadioPage radio(env, radioMenu);
    radio.setTopText("Welcome. What would you like to do?");
    radio.setBottomText("A complete installation needs about 400 KB.");
    radio.setSideText("Version 2.1");
    AcceptPage accept(env);
    accept.setAcceptText("Licence\r\n\r\nYou may install these programs.");
    accept.setAcceptLabel("I accept");
    TextPage text(env);
    text.setText("Chess\r\nSolitaire");
    std::vector<std::string> cities;
    for (int i = 0; i < 25; ++i) cities.push_back("City " + std::to_string(10 + i));
    MenuFile listFile(1);
    listFile.allocateOptions(0, 25);
    Menu& listMenu = listFile.first();
    listMenu.optionCount = 25;
    for (int i = 0; i < 25; ++i) listMenu.options[i].label = listFile.addText(cities[i].c_str());
    CheckListViewPage list(env, listMenu);
    struct Case {
        const char* name;
        WizardWindow& page;
    } cases[] = {{"radio_menu", radio}, {"accept", accept}, {"summary", text}, {"list", list}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.page.setCaption("Preview Setup");
        c.page.setTopText(c.page.topText.empty() ? "Please read this." : c.page.topText);
        c.page.setButtons(BUTTON_BACK | BUTTON_NEXT | BUTTON_CANCEL);
        c.page.confirmCancel = false;
        runScripted(c.page, [&](PageDriver&, HWND p) {
            Picture screen = captureClient(p);
            Picture picture = painted(c.page);
            savePicture(screen, std::string(c.name) + "-screen");
            savePicture(picture, std::string(c.name) + "-painted");
            EXPECT_EQ(differing(screen, picture), 0);
            ::PostMessageA(p, WM_COMMAND, MAKEWPARAM(WIZ_CANCEL, BN_CLICKED), 0);
        });
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
        EXPECT_TRUE(std::filesystem::exists(out / "preview" / c.picture));
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
