#include "run/loader.h"

#include "actions/text_rules.h"
#include "run/startup.h"
#include "config/setup_config.h"
#include "menu/menu_parser.h"
#include "platform/file_system.h"

bool scanMenuFolders(platform::FileSystem& fs, const std::string& setupDataDir,
                     PlatformFolderLists& folders) {
    bool added = false;
    for (auto folder = fs.findFirst(setupDataDir + "*.*"); folder;) {
        std::string name = folder->name();
        if (folder->isFolder() && name != "." && name != "..") {
            // Every script of the folder counts: one folder may serve several platforms.
            for (auto script = fs.findFirst(setupDataDir + name + "\\*.mnu"); script;) {
                std::string stem = withoutExtension(script->name());
                for (int p = 0; p < PLATFORM_COUNT; ++p) {
                    if (actions::equalsNoCase(stem, platformTable[p].name)) {
                        folders[p].push_back(name);
                        added = true;
                    }
                }
                if (!script->findNext()) break;
            }
        }
        if (!folder->findNext()) break;
    }
    return added;
}

namespace {
int loadDisc(LoaderJob& job) {
    std::string& dataDir = *job.setupDataDir;
    dataDir = folderOf(dataDir);
    SetupConfig& config = *job.config;
    scanMenuFolders(*job.system.fs, dataDir, config.platformFolders);
    if (!config.load(dataDir)) return LOADER_FAILURE;

    MenuParseEnvironment env;
    env.system = job.system;
    env.languageCount = config.getLanguageCount();
    env.messageCaption = job.messageCaption;
    env.trace = job.trace;
    env.ansiAsUtf8 = config.ansiAsUtf8;
    for (int p = 0; p < PLATFORM_COUNT; ++p) {
        for (const std::string& folder : config.platformFolders[p]) {
            // Always the table's spelling: the device line must match it.
            std::string path = dataDir + folder + "\\" + platformTable[p].name + ".mnu";
            MenuFilePtr file;
            if (parseMenuScript(path, file, !job.checkMode, false, env) != 0) {
                job.system.messages->showMessage(
                    "Error.\nSetup instructions not found.\nCannot run Setup.", job.messageCaption,
                    platform::MessageIcon::Exclamation);
                return LOADER_FAILURE;
            }
            job.menuFiles->push_back(std::move(file));
        }
    }
    return LOADER_SUCCESS;
}
}  // namespace

int runLoader(LoaderJob& job) {
    // The splash waits for the loader's last word: what the disc or the system throws (out of
    // memory in the folder search, the settings or a parse) is a failure like any other.
    try {
        return loadDisc(job);
    } catch (...) {
        return LOADER_FAILURE;
    }
}
