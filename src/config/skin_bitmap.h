#pragma once
// The skin pictures as the configuration sees them. Setup.exe loads real GDI bitmaps
// (skin/BitmapImage); setuptool only reads their headers, so it runs on any system.
#include <memory>
#include <string>

class SkinBitmap {
public:
    virtual ~SkinBitmap() = default;
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual bool fromResources() const = 0;
};

class SkinLoader {
public:
    virtual ~SkinLoader() = default;
    // Null when the file is missing or not a usable bitmap.
    virtual std::unique_ptr<SkinBitmap> loadFromFile(const std::string& path) = 0;
    // A bitmap built into the program; names match without regard to case.
    virtual std::unique_ptr<SkinBitmap> loadFromResource(const std::string& name) = 0;
};

// Reads bitmap headers through the system file layer; the built-in resource is the header
// of res/BAR.BMP, compiled in.
SkinLoader& headerSkinLoader();
