#include "platform/file_system.h"

#include <cerrno>
#include <vector>

namespace platform {

FilePtr FileSystem::openRegularFile(const std::string& path) {
    FilePtr file = openFile(path, "rb");
    if (file && !isRegularStream(file.get())) file.reset();
    return file;
}

FilePtr FileSystem::openPlainFile(const std::string& path, CreateMode mode) {
    std::size_t sep = lastSeparator(path);
    std::string folder = sep == std::string::npos ? "." : path.substr(0, sep + 1);
    std::unique_ptr<OutputFolder> out = openOutputFolder(folder);
    if (!out) {
        errno = ENOENT;
        return nullptr;
    }
    return out->createFile(sep == std::string::npos ? path : path.substr(sep + 1), mode, {});
}

std::size_t lastSeparator(const std::string& path) {
    return path.find_last_of("\\/");
}

std::string comparablePath(const std::string& path) {
    // A leading separator or drive is the root, above which ".." leads nowhere; a relative
    // path keeps the ".." parts that lead out of it.
    std::string root;
    std::vector<std::string> parts;
    for (std::size_t pos = 0; pos <= path.size();) {
        std::size_t next = pos;
        while (next < path.size() && !isSeparator(path[next])) ++next;
        std::string part = path.substr(pos, next - pos);
        for (char& c : part)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (pos == 0 && next < path.size() && (part.empty() || part.back() == ':')) {
            root = part + '\\';
        } else if (part == "..") {
            if (!parts.empty() && parts.back() != "..")
                parts.pop_back();
            else if (root.empty())
                parts.push_back(part);
        } else if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        pos = next + 1;
    }
    std::string out = root;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i) out += '\\';
        out += parts[i];
    }
    return out;
}

bool splitRelativeName(const std::string& name, std::vector<std::string>& parts) {
    parts.clear();
    std::size_t start = 0;
    for (;;) {
        std::size_t sep = start;
        while (sep < name.size() && !isSeparator(name[sep])) ++sep;
        std::string part = name.substr(start, sep - start);
        if (part.empty() || part == "." || part == "..") return false;
        parts.push_back(std::move(part));
        if (sep == name.size()) return true;
        start = sep + 1;
    }
}

}  // namespace platform
