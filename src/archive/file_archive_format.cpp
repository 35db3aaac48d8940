#include "archive/file_archive_format.h"

#include <cctype>
#include <cstring>

#include "archive/byte_reader.h"
#include "platform/file_system.h"

DirectoryRecord parseDirectoryRecord(const unsigned char* bytes) {
    DirectoryRecord r;
    ByteReader reader(bytes, FA_RECORD_SIZE);
    reader.readI32(r.dataOffset);
    reader.readI32(r.dataSize);
    reader.readI32(r.nameLength);
    reader.readI32(r.accessTime);
    reader.readI32(r.modifyTime);
    return r;
}

NameCheck extractEntryName(const unsigned char* bytes, std::size_t length, std::string& name) {
    name.clear();
    if (length == 0) return NameCheck::Empty;
    if (length > static_cast<std::size_t>(FA_MAX_NAME)) return NameCheck::TooLong;
    const void* zero = std::memchr(bytes, 0, length);
    std::size_t n = zero ? static_cast<const unsigned char*>(zero) - bytes : length;
    name.assign(reinterpret_cast<const char*>(bytes), n);
    if (!zero) return NameCheck::Unterminated;
    if (n == 0) return NameCheck::Empty;
    return isSafeEntryName(name) ? NameCheck::Ok : NameCheck::Unsafe;
}

namespace {

bool equalsFolded(const std::string& a, const char* b) {
    std::size_t n = std::strlen(b);
    if (a.size() != n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
    return true;
}

// Windows maps these names to devices in any folder and with any extension.
bool isReservedDevice(const std::string& component) {
    std::string base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static const char* const fixed[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* f : fixed)
        if (equalsFolded(base, f)) return true;
    // The superscript digits of the Western code page count as digits here too.
    auto digit = [](unsigned char c) {
        return (c >= '0' && c <= '9') || c == 0xB9 || c == 0xB2 || c == 0xB3;
    };
    if (base.size() == 4 && digit(static_cast<unsigned char>(base[3]))) {
        std::string stem = base.substr(0, 3);
        if (equalsFolded(stem, "COM") || equalsFolded(stem, "LPT")) return true;
    }
    return false;
}

bool isUnsafeComponent(const std::string& c) {
    if (c.empty()) return true;
    // Windows drops trailing dots and spaces, so ". ." or "..." could still mean a parent.
    bool onlyDotsAndSpaces = true;
    for (char ch : c)
        if (ch != '.' && ch != ' ') onlyDotsAndSpaces = false;
    return onlyDotsAndSpaces || isReservedDevice(c);
}

// Bytes no Windows file name may hold: control bytes and the wildcard, pipe and redirection
// characters; ':' names drives and streams.
bool isForbiddenByte(unsigned char c) {
    return c < 32 || std::strchr(":*?\"<>|", c) != nullptr;
}

}  // namespace

bool isSafeEntryName(const std::string& name) {
    if (name.empty() || platform::isSeparator(name[0])) return false;
    for (char c : name)
        if (isForbiddenByte(static_cast<unsigned char>(c))) return false;
    std::size_t start = 0;
    for (;;) {
        std::size_t sep = start;
        while (sep < name.size() && !platform::isSeparator(name[sep])) ++sep;
        if (isUnsafeComponent(name.substr(start, sep - start))) return false;
        if (sep == name.size()) return true;
        start = sep + 1;
    }
}
