// Documents, URLs and programs handed to the real shell, which starts the stand-in browser.
#include <gtest/gtest.h>

#include "actions/document_opener.h"
#include "support/fakes.h"
#include "wine_support.h"

namespace {

using namespace wine_support;

class ShellOpen : public testing::Test {
protected:
    void SetUp() override { scratch.write("page.html", "<html>page</html>"); }
    std::string record() {
        EXPECT_TRUE(log.waitForRecords(1)) << "the handler did not start";
        return log.read();
    }
    testing_support::ScratchDir scratch;
    StandinLog log{scratch.str()};
    testing_support::FakeSystem sys;
    actions::ActionServices services = actions::systemActionServices(sys.system());
};

TEST_F(ShellOpen, ProgramStartsInItsFolderWithItsParameters) {
    actions::ProgramLauncher launcher(services, nullptr, "Web Browser.EXE /Page Two",
                                      standinDir() + "\\");
    launcher.launchProgram();
    std::string text = record();
    EXPECT_NE(text.find("program=web browser.exe\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("arg=/page\r\narg=two\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("cwd=" + standinDir() + "\r\n"), std::string::npos) << text;
}

TEST_F(ShellOpen, WebAddressGoesToTheHttpHandlerEscaped) {
    actions::DocumentOpener opener(services, nullptr, "http://example.invalid/a b.html",
                                   standinDir() + "\\viewer.exe", scratch.str() + "\\");
    opener.openDocument();
    std::string text = record();
    EXPECT_NE(text.find("program=Web Browser.exe\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("arg=http://example.invalid/a%20b.html\r\n"), std::string::npos) << text;
}

TEST_F(ShellOpen, LocalPageGoesToTheRegisteredBrowser) {
    actions::DocumentOpener opener(services, nullptr, "page.html", standinDir() + "\\viewer.exe",
                                   scratch.str() + "\\");
    opener.openDocument();
    std::string text = record();
    std::string page = scratch.str() + "\\page.html";
    EXPECT_NE(text.find("arg=" + page + "\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("file=" + page + "|"), std::string::npos) << text;
}

TEST_F(ShellOpen, WithoutHtmlAssociationTheViewerGetsThePage) {
    KeyRestorer restore(HKEY_CLASSES_ROOT, ".html");
    deleteKey(HKEY_CLASSES_ROOT, ".html");
    ASSERT_FALSE(keyExists(HKEY_CLASSES_ROOT, ".htm")) << "a fresh prefix has no .htm";
    std::string viewer = standinDir() + "\\Web Browser.exe";
    actions::DocumentOpener opener(services, nullptr, "page.html", viewer, scratch.str() + "\\");
    opener.openDocument();
    std::string expected = actions::relativeToViewer(viewer, scratch.str() + "\\page.html");
    ASSERT_EQ(expected.rfind("..\\", 0), 0u);
    std::string text = record();
    EXPECT_NE(text.find("arg=" + expected + "\r\n"), std::string::npos) << text;
}

}  // namespace
