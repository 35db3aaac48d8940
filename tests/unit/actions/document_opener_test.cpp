#include <gtest/gtest.h>

#include "actions/document_opener.h"
#include "support/action_fakes.h"
#include "support/fakes.h"

namespace {

using platform::RegistryRoot;
using testing_support::FakeActionServices;
using testing_support::FakeSystem;

const char* const VIEWER = "D:\\rsc\\varidi32.exe";
const char* const BASE = "D:\\DOCS\\";

enum class Html { None, Browser, Notepad, BareName, HtmOnlyBrowser, NoValue, NoCommand };

void registerHtml(testing_support::FakeRegistry& r, Html h) {
    const char* command = nullptr;
    switch (h) {
        case Html::None: return;
        case Html::Browser: command = "\"C:\\Program Files\\Web\\browse.exe\" \"%1\""; break;
        case Html::Notepad: command = "C:\\WINDOWS\\NOTEPAD.EXE %1"; break;
        case Html::BareName: command = "iexplore.exe %1"; break;
        case Html::HtmOnlyBrowser:
            r.addKey(RegistryRoot::ClassesRoot, ".htm", "htmfile");
            r.addKey(RegistryRoot::ClassesRoot, "htmfile\\shell\\open\\command",
                     "C:\\Web\\Mosaic.exe %1");
            return;
        case Html::NoValue: r.addKey(RegistryRoot::ClassesRoot, ".html"); return;
        case Html::NoCommand: r.addKey(RegistryRoot::ClassesRoot, ".html", "htmlfile"); return;
    }
    r.addKey(RegistryRoot::ClassesRoot, ".html", "htmlfile");
    r.addKey(RegistryRoot::ClassesRoot, "htmlfile\\shell\\open\\command", command);
}

struct OpenCase {
    const char* name;
    std::string target, viewer, base;
    Html html;
    std::uint32_t shellVersion;
    std::string file, parameters;
};

class OpenDocument : public testing::TestWithParam<OpenCase> {};

TEST_P(OpenDocument, HandsTheShellTheRightFile) {
    const OpenCase& c = GetParam();
    FakeSystem sys;
    FakeActionServices fake;
    registerHtml(fake.registry, c.html);
    fake.shell.version = c.shellVersion;
    auto services = fake.services(sys.system());
    actions::DocumentOpener opener(services, nullptr, c.target, c.viewer, c.base);
    opener.openDocument();
    ASSERT_EQ(fake.shell.opens.size(), 1u);
    EXPECT_EQ(fake.shell.opens[0].file, c.file);
    EXPECT_EQ(fake.shell.opens[0].parameters, c.parameters);
    EXPECT_EQ(fake.shell.opens[0].folder, "");
    EXPECT_TRUE(sys.messages.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Targets, OpenDocument,
    testing::Values(OpenCase{"urlWithBlankCanonicalised", "http://host/a b.html", VIEWER, BASE,
                             Html::None, 0x50000, "http://host/a%20b.html", ""},
                    OpenCase{"urlWithBlankOldShell", "http://host/a b.html", VIEWER, BASE,
                             Html::None, 0x40047, "http://host/a%20b.html", ""},
                    OpenCase{"urlOwnEscapesOldShell", "  http://h/a'b{c}\\d+e  ", "", "",
                             Html::None, 0, "http://h/a'b%7Bc%7D/d%2Be", ""},
                    OpenCase{"mailtoNeverViewer", "mailto://me@example.org", VIEWER, BASE,
                             Html::None, 0x60000, "mailto://me@example.org", ""},
                    OpenCase{"upperCaseSchemeIsLocal", "HTTP://host/x.html", VIEWER, BASE,
                             Html::None, 0x60000, VIEWER, "..\\D:\\DOCS\\HTTP:\\\\host\\x.html"},
                    OpenCase{"noViewerPathNoBase", "page.html", "", BASE, Html::None, 0x60000,
                             "page.html", ""},
                    OpenCase{"noHtmlRegistrationUsesViewer", "page.html", VIEWER, BASE, Html::None,
                             0x60000, VIEWER, "..\\D:\\DOCS\\page.html"},
                    OpenCase{"fileUrlWithSlashes", "file://sub/dir|x/page.html", VIEWER, BASE,
                             Html::None, 0x60000, VIEWER, "..\\D:\\DOCS\\sub\\dir:x\\page.html"},
                    OpenCase{"viewerArgumentWithBlankQuoted", "my page.html", VIEWER, BASE,
                             Html::None, 0x60000, VIEWER, "\"..\\D:\\DOCS\\my page.html\""},
                    OpenCase{"rootedTargetNotCompleted", "\\other\\p.html", VIEWER, BASE,
                             Html::None, 0x60000, VIEWER, "\\other\\p.html"},
                    OpenCase{"notepadAssociationUsesViewer", "page.html", VIEWER, BASE,
                             Html::Notepad, 0x60000, VIEWER, "..\\D:\\DOCS\\page.html"},
                    OpenCase{"browserAssociationOpensThroughShell", "page.html", VIEWER, BASE,
                             Html::Browser, 0x60000, "D:\\DOCS\\page.html", ""},
                    OpenCase{"browserAssociationEscapesUnsafe", "a b.html", VIEWER, BASE,
                             Html::Browser, 0x60000, "D:\\DOCS\\a%20b.html", ""},
                    OpenCase{"bareProgramNameUsesViewer", "page.html", VIEWER, BASE, Html::BareName,
                             0x60000, VIEWER, "..\\D:\\DOCS\\page.html"},
                    OpenCase{"htmFallback", "page.html", VIEWER, BASE, Html::HtmOnlyBrowser,
                             0x60000, "D:\\DOCS\\page.html", ""},
                    OpenCase{"associationWithoutValue", "page.html", VIEWER, BASE, Html::NoValue,
                             0x60000, "D:\\DOCS\\page.html", ""},
                    OpenCase{"associationWithoutCommand", "page.html", VIEWER, BASE,
                             Html::NoCommand, 0x60000, "D:\\DOCS\\page.html", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OpenDocumentEscaping, CanonicalisationGetsTwiceTheLengthAndItsFlags) {
    FakeSystem sys;
    FakeActionServices fake;
    fake.shell.version = 0x50000;
    fake.shell.canonicalize = [](const std::string&, std::string& out) {
        out.clear();
        return false;
    };
    auto services = fake.services(sys.system());
    actions::DocumentOpener opener(services, nullptr, "http://a b", "", "");
    opener.openDocument();
    ASSERT_EQ(fake.shell.canonicalizeCalls.size(), 1u);
    EXPECT_EQ(fake.shell.canonicalizeCalls[0].bufferSize, 20u);
    EXPECT_EQ(fake.shell.canonicalizeCalls[0].flags, 0x06000000u);
    EXPECT_EQ(fake.shell.versionQueries, std::vector<std::string>{"shlwapi.dll"});
    // A failed canonicalisation leaves the target as it was.
    EXPECT_EQ(fake.shell.opens.at(0).file, "http://a b");
}

TEST(EscapeUrl, Cases) {
    struct {
        const char* in;
        const char* out;
    } cases[] = {
        {" a b ", "a%20b"},
        {"<>\"#+{}|^~[]`", "%3C%3E%22%23%2B%7B%7D%7C%5E%7E%5B%5D%60"},
        {"C:\\dir\\x.html", "C:/dir/x.html"},
        {"100% sure", "100%%20sure"},
        {"it's", "it's"},
        {"\t\r\n", ""},
    };
    for (const auto& c : cases) {
        std::string s = c.in;
        actions::escapeUrl(s);
        EXPECT_EQ(s, c.out) << c.in;
    }
}

TEST(HandlerProgramName, Cases) {
    struct {
        const char* command;
        const char* name;
    } cases[] = {
        {"C:\\WINDOWS\\NOTEPAD.EXE %1", "NOTEPAD"},
        {"\"C:\\Program Files\\Web\\browse.exe\" -nohome", "browse"},
        {"C:\\a.exe\\b.Exe", "b"},
        {"notepad.exe %1", ""},
        {"C:\\.exe", ""},
        {"C:\\tools\\run.bat %1", ""},
        {"x.exe", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(actions::handlerProgramName(c.command), c.name) << c.command;
}

TEST(RelativeToViewer, Cases) {
    struct {
        const char* viewer;
        const char* document;
        const char* out;
    } cases[] = {
        {"varidi32.exe", "D:\\x.html", "D:\\x.html"},
        {"D:\\varidi32.exe", "D:\\x.html", "D:\\x.html"},
        {"D:\\rsc\\varidi32.exe", "D:\\x.html", "..\\D:\\x.html"},
        {"D:\\a\\rsc\\varidi32.exe", ".\\x.html", "..\\..\\x.html"},
        {"D:\\a\\rsc\\varidi32.exe", "\\x.html", "\\x.html"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(actions::relativeToViewer(c.viewer, c.document), c.out) << c.document;
}

TEST(LaunchProgram, Cases) {
    struct {
        const char* program;
        const char* base;
        actions::ActionServices* unused;
        std::string file, parameters, folder;
    } cases[] = {
        {"Setup.exe /Q", "D:\\APPS\\", nullptr, "D:\\APPS\\setup.exe", "/q", "D:\\APPS"},
        {"Tools\\Sub\\RUN.EXE", "D:\\APPS\\", nullptr, "D:\\APPS\\tools\\sub\\run.exe", "",
         "D:\\APPS\\tools\\sub"},
        {"Manual.PDF", "D:\\DOCS\\", nullptr, "D:\\DOCS\\manual.pdf", "", ""},
        {"C:\\Bin\\X.exe  -a", "D:\\", nullptr, "c:\\bin\\x.exe", " -a", "c:\\bin"},
        {"\\bin\\x.exe", "D:\\", nullptr, "\\bin\\x.exe", "", "\\bin"},
        {"x.exe", "", nullptr, "x.exe", "", ""},
        {"a", "D:\\", nullptr, "a", "", ""},
    };
    for (const auto& c : cases) {
        FakeSystem sys;
        FakeActionServices fake;
        auto services = fake.services(sys.system());
        actions::ProgramLauncher launcher(services, nullptr, c.program, c.base);
        launcher.launchProgram();
        ASSERT_EQ(fake.shell.opens.size(), 1u);
        EXPECT_EQ(fake.shell.opens[0].file, c.file) << c.program;
        EXPECT_EQ(fake.shell.opens[0].parameters, c.parameters) << c.program;
        EXPECT_EQ(fake.shell.opens[0].folder, c.folder) << c.program;
    }
}

}  // namespace
