#include "support/dialog_template_win.h"

#include <cstring>

namespace testing_support {

namespace {
// Reads the template's words and strings, refusing to step past its end.
class Reader {
public:
    Reader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}
    bool ok() const { return ok_; }

    template <typename T>
    T get() {
        T v{};
        if (pos_ + sizeof v > size_) {
            ok_ = false;
            return v;
        }
        std::memcpy(&v, data_ + pos_, sizeof v);
        pos_ += sizeof v;
        return v;
    }
    // A zero-terminated UTF-16 string (ASCII is all our templates use).
    std::string text() {
        std::string s;
        for (WORD c = get<WORD>(); ok_ && c != 0; c = get<WORD>())
            s += c < 0x80 ? static_cast<char>(c) : '?';
        return s;
    }
    // A string, or 0xFFFF and an ordinal (given back as "#n", or the predefined class name).
    std::string textOrOrdinal(bool isClass) {
        if (pos_ + 2 <= size_ && data_[pos_] == 0xFF && data_[pos_ + 1] == 0xFF) {
            pos_ += 2;
            WORD ordinal = get<WORD>();
            static const char* const classes[] = {"BUTTON",  "EDIT",      "STATIC",
                                                  "LISTBOX", "SCROLLBAR", "COMBOBOX"};
            if (isClass && ordinal >= 0x80 && ordinal <= 0x85) return classes[ordinal - 0x80];
            std::string s = "#";
            return s += std::to_string(ordinal);
        }
        return text();
    }
    void skip(std::size_t n) {
        if (pos_ + n > size_)
            ok_ = false;
        else
            pos_ += n;
    }
    void alignDword() { skip((4 - pos_ % 4) % 4); }

private:
    const unsigned char* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
    bool ok_ = true;
};

// Style words of a classic item first, of an extended one after the help id.
TemplateItem readItem(Reader& r, bool extended) {
    TemplateItem item{};
    if (extended) {
        r.get<DWORD>();  // help id
        r.get<DWORD>();  // extended style
        item.style = r.get<DWORD>();
    } else {
        item.style = r.get<DWORD>();
        r.get<DWORD>();
    }
    item.x = r.get<short>();
    item.y = r.get<short>();
    item.cx = r.get<short>();
    item.cy = r.get<short>();
    item.id = extended ? static_cast<int>(r.get<DWORD>()) : r.get<WORD>();
    item.className = r.textOrOrdinal(true);
    item.text = r.textOrOrdinal(false);
    r.skip(r.get<WORD>());  // creation data
    return item;
}
}  // namespace

std::optional<DialogTemplate> readDialogTemplate(int id, HMODULE module) {
    if (!module) module = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (!found) return std::nullopt;
    HGLOBAL loaded = ::LoadResource(module, found);
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) return std::nullopt;
    Reader r(static_cast<const unsigned char*>(data), ::SizeofResource(module, found));

    DialogTemplate t{};
    WORD version = r.get<WORD>(), signature = r.get<WORD>();
    const bool extended = version == 1 && signature == 0xFFFF;
    if (extended) {
        r.get<DWORD>();  // help id
        t.exStyle = r.get<DWORD>();
        t.style = r.get<DWORD>();
    } else {
        t.style = static_cast<DWORD>(signature) << 16 | version;
        t.exStyle = r.get<DWORD>();
    }
    WORD count = r.get<WORD>();
    r.get<short>();  // x, y
    r.get<short>();
    t.cx = r.get<short>();
    t.cy = r.get<short>();
    r.textOrOrdinal(false);  // menu
    r.textOrOrdinal(false);  // class
    t.caption = r.text();
    if (t.style & DS_SETFONT) {
        t.pointSize = r.get<WORD>();
        if (extended) r.skip(4);  // weight, italic, character set
        t.font = r.text();
    }
    for (WORD i = 0; i < count && r.ok(); ++i) {
        r.alignDword();
        t.items.push_back(readItem(r, extended));
    }
    if (!r.ok()) return std::nullopt;
    return t;
}

}  // namespace testing_support
