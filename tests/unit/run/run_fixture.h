#pragma once
// A setup disc in a scratch folder, the scripts the loader would have found on it, and a
// WizardRun over scripted pages, fake actions and a real progress thread.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "../config/disc_fixture.h"
#include "actions/installer_finder.h"
#include "actions/package_installer.h"
#include "run/wizard_run.h"
#include "menu/menu_parser.h"
#include "support/action_fakes.h"
#include "support/queue_thread.h"
#include "support/scripted_pages.h"

using testing_support::PageKind;
using testing_support::PageRecord;
using testing_support::UserStep;

// stem followed by n. (Appending spares the cross compiler's false -Wrestrict alarm about
// a literal plus a temporary string.)
inline std::string numbered(const char* stem, int n) {
    std::string s = stem;
    s += std::to_string(n);
    return s;
}

// Texts n of a language: "<prefix>T<n>", but for those the run formats or tests name.
inline std::string languageSection(int language, const std::string& prefix, bool startText) {
    std::string s = "[lang";
    s += std::to_string(language);
    s += "]\n";
    for (int n = 0; n <= 25; ++n) {
        s += "text";
        s += std::to_string(n);
        s += '=';
        if (n == 4) {
            s += "%s for %s";
        } else {
            s += prefix;
            s += n == 22 ? "Could not install %s (100%d)" : numbered("T", n);
        }
        s += '\n';
    }
    if (startText) s += "file0=start.txt\n";
    return s;
}

class RunFixture : public ::testing::Test {
protected:
    RunFixture() {
        disc.writeAllSkins();
        disc.dir.write("rsc/start.txt", "Read me first");
        setLanguages(1);
        services.processes.scripts.clear();
        finder.psionInstallerCommand = "epoc.exe";
        finder.nokiaInstallerCommand = "nokia.exe";
        finder.pocketPcInstallerPath = "ceappmgr.exe";
        finder.palmInstallerCommand = "palm.exe";
    }

    void setLanguages(int count) {
        std::string ini = "[Language]\nlang0=English\nlang1=Deutsch\ndefaultlanguage=0\n";
        ini += languageSection(0, "", true);
        if (count > 1) ini += languageSection(1, "DE ", false);
        disc.writeIni(ini);
    }

    // Writes folder/<platform>.mnu and adds its header, as the loader does.
    void addScript(const std::string& folder, const std::string& text) {
        std::string platform = text.substr(0, text.find_first_of("\r\n"));
        std::string path = disc.dir.write(folder + "/" + platform + ".mnu", text).string();
        int index = 0;
        while (platform != platformTable[index].name) ++index;
        config.platformFolders[index].push_back(folder);
        config.installerPresent[index] = true;
        scriptPaths.push_back(path);
    }

    // Loads the configuration and the script heads, then makes the run.
    WizardRun& start() {
        EXPECT_TRUE(config.load(disc.dataDir()));
        MenuParseEnvironment env;
        env.system = fake.system();
        env.languageCount = config.getLanguageCount();
        env.trace = nullptr;
        for (const std::string& path : scriptPaths) {
            MenuFilePtr head;
            EXPECT_EQ(parseMenuScript(path, head, true, false, env), 0) << path;
            files.push_back(std::move(head));
        }
        installer = std::make_unique<actions::PackageInstaller>(actions, finder, "Setup");
        RunServices s{&config, &files, &pages, actions, installer.get(), &thread, "Setup"};
        s.threadProgress = &threadProgress;
        s.threadClock = &threadClock;
        run = std::make_unique<WizardRun>(s);
        return *run;
    }

    void steps(std::vector<UserStep> s) { pages.steps = std::move(s); }
    std::string folder(const std::string& name) const { return disc.dataDir() + name; }
    const PageRecord& page(std::size_t i) const { return pages.shown.at(i); }
    std::vector<std::string> messageTexts() const {
        std::vector<std::string> out;
        for (const auto& m : fake.messages.messages) out.push_back(m.text);
        return out;
    }
    std::vector<std::string> opened() const {
        std::vector<std::string> out;
        for (const auto& o : services.shell.opens) out.push_back(o.file + "|" + o.parameters);
        return out;
    }

    DiscFixture disc;
    testing_support::FakeSystem fake;
    testing_support::FakeActionServices services;
    actions::ActionServices actions = services.services(fake.system());
    SetupConfig config;
    actions::InstallerFinder finder{services.registry};
    std::unique_ptr<actions::PackageInstaller> installer;
    MenuFileList files;
    testing_support::ScriptedPages pages;
    testing_support::QueueThread thread;
    testing_support::RecordingProgressSink threadProgress;
    testing_support::SteppingClock threadClock{0, 500};
    std::vector<std::string> scriptPaths;
    std::unique_ptr<WizardRun> run;
};

// A script of lines joined by CR LF.
inline std::string script(std::initializer_list<const char*> lines) {
    std::string s;
    for (const char* l : lines) s += std::string(l) + "\r\n";
    return s;
}
