// Skin bitmaps known by their headers only: enough for setuptool to report sizes and to
// refuse files that Windows would not load either.
#include <cstdint>
#include <cstdio>

#include "config/bmp_header.h"
#include "config/builtin_bitmap.h"
#include "config/skin_bitmap.h"
#include "platform/file_system.h"

namespace {

class HeaderBitmap : public SkinBitmap {
public:
    HeaderBitmap(const BmpInfo& info, bool fromResources)
        : info_(info), fromResources_(fromResources) {}
    int width() const override { return info_.width; }
    int height() const override { return info_.height; }
    bool fromResources() const override { return fromResources_; }

private:
    BmpInfo info_;
    bool fromResources_;
};

bool sameNameFolded(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 32);
        if (x != y) return false;
    }
    return i == a.size() && !b[i];
}

class HeaderSkinLoader : public SkinLoader {
public:
    std::unique_ptr<SkinBitmap> loadFromFile(const std::string& path) override {
        platform::FilePtr f = platform::systemFileSystem().openRegularFile(path);
        if (!f) return nullptr;
        std::uint8_t head[BMP_HEADER_READ_SIZE];
        std::size_t n = std::fread(head, 1, sizeof head, f.get());
        if (std::fseek(f.get(), 0, SEEK_END) != 0) return nullptr;
        long size = std::ftell(f.get());
        if (size < 0) return nullptr;
        BmpInfo info;
        std::string error;
        if (!readBmpHeader(head, n, static_cast<std::uint64_t>(size), info, error)) return nullptr;
        return std::make_unique<HeaderBitmap>(info, false);
    }

    std::unique_ptr<SkinBitmap> loadFromResource(const std::string& name) override {
        if (!sameNameFolded(name, "BAR.BMP")) return nullptr;
        BmpInfo info;
        std::string error;
        if (!readBmpHeader(builtinBarHeader, BUILTIN_BAR_HEADER_SIZE, builtinBarFileSize, info,
                           error))
            return nullptr;
        return std::make_unique<HeaderBitmap>(info, true);
    }
};

}  // namespace

SkinLoader& headerSkinLoader() {
    static HeaderSkinLoader loader;
    return loader;
}
