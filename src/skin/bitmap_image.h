#pragma once
// One skin bitmap, kept selected in a memory context of its own so that windows can copy
// from it at any time without loading or selecting anything.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "config/skin_bitmap.h"
#include "fw/gdi.h"

class BitmapImage : public SkinBitmap {
public:
    BitmapImage() = default;
    BitmapImage(const BitmapImage&) = delete;
    BitmapImage& operator=(const BitmapImage&) = delete;

    // A file, converted to the display's format. An image that already holds a bitmap keeps
    // it and only notes where it came from.
    bool loadFromFile(const std::string& path);
    // A bitmap resource of module (null: the program itself); names match in any case.
    bool loadFromResource(const std::string& name, HMODULE module = nullptr);

    HDC dc() const { return memoryDC_.get(); }
    HBITMAP bitmap() const { return bitmap_.get(); }
    int width() const override { return info_.bmWidth; }
    int height() const override { return info_.bmHeight; }
    bool fromResources() const override { return fromResources_ != 0; }
    // A surface holding the top-left sourceWidth x sourceHeight pixels stretched to w x h with
    // the halftone filter, made on first use and kept (a page draws the same sizes at every
    // paint, and every page the same); null when it cannot be made.
    HDC scaledDc(int w, int h, int sourceWidth, int sourceHeight) const;

private:
    struct Scaled;
    bool attach(HBITMAP loaded);

    fw::Bitmap bitmap_;
    fw::MemoryDc memoryDC_;
    // Ends first: the bitmap can only be deleted once it is no longer selected.
    std::optional<fw::Selection> selection_;
    BITMAP info_{};
    BYTE fromResources_ = 0;
    mutable std::vector<std::shared_ptr<Scaled>> scaled_;
};

// The configuration's slot as the picture it holds; null for an empty slot.
inline BitmapImage* bitmapImage(SkinBitmap* skin) {
    return dynamic_cast<BitmapImage*>(skin);
}

// Draws the picture's top-left sourceWidth x sourceHeight pixels into to: copied as they are
// when the sizes match, else stretched with the halftone filter (smooth at every scale).
void drawPicture(HDC dc, const BitmapImage* picture, const RECT& to, int sourceWidth,
                 int sourceHeight);
inline void drawPicture(HDC dc, const BitmapImage* picture, const RECT& to) {
    if (picture) drawPicture(dc, picture, to, picture->width(), picture->height());
}

// Loads skins as GDI bitmaps for Setup.exe.
class GdiSkinLoader : public SkinLoader {
public:
    std::unique_ptr<SkinBitmap> loadFromFile(const std::string& path) override;
    std::unique_ptr<SkinBitmap> loadFromResource(const std::string& name) override;
};
