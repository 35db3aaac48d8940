#include "fw/dpi.h"

namespace fw {

namespace {

template <typename Function>
Function lookUp(const char* module, const char* name) {
    HMODULE m = ::GetModuleHandleA(module);
    if (!m) m = ::LoadLibraryA(module);  // shcore.dll is not loaded by everyone
    return m ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(m, name)))
             : nullptr;
}

std::optional<bool> forcedHighContrast;

}  // namespace

void enableDpiAwareness() {
    using SetContext = BOOL(WINAPI*)(HANDLE);
    if (auto set = lookUp<SetContext>("user32.dll", "SetProcessDpiAwarenessContext")) {
        // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, else _PER_MONITOR_AWARE.
        if (set(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4))) ||
            set(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3))))
            return;
    }
    using SetAwareness = HRESULT(WINAPI*)(int);
    if (auto set = lookUp<SetAwareness>("shcore.dll", "SetProcessDpiAwareness"))
        if (SUCCEEDED(set(2))) return;  // PROCESS_PER_MONITOR_DPI_AWARE
    using SetAware = BOOL(WINAPI*)();
    if (auto set = lookUp<SetAware>("user32.dll", "SetProcessDPIAware")) set();
}

// Fixed for the process's life (a new one takes a new sign-in); asked once, as the screen's
// surface is a call to the system's server.
int systemDpi() {
    static const int dpi = [] {
        HDC screen = ::GetDC(nullptr);
        const int found = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen) ::ReleaseDC(nullptr, screen);
        return found > 0 ? found : 96;
    }();
    return dpi;
}

int windowDpi(HWND window) {
    using GetDpi = UINT(WINAPI*)(HWND);
    static const auto get = lookUp<GetDpi>("user32.dll", "GetDpiForWindow");
    if (get && window)
        if (UINT dpi = get(window)) return static_cast<int>(dpi);
    return systemDpi();
}

void layOutOwnDpiChanges(HWND dialog) {
    using SetBehaviour = BOOL(WINAPI*)(HWND, int, int);
    static const auto set = lookUp<SetBehaviour>("user32.dll", "SetDialogDpiChangeBehavior");
    if (set) set(dialog, 1, 1);  // DDC_DISABLE_ALL
}

Font fontForDpi(HFONT font, int dpi) {
    const int base = systemDpi();
    LOGFONTW face{};
    if (dpi == base || !font || !::GetObjectW(font, sizeof face, &face)) return Font();
    face.lfHeight = ::MulDiv(face.lfHeight, dpi, base);
    face.lfWidth = ::MulDiv(face.lfWidth, dpi, base);
    return Font(::CreateFontIndirectW(&face));
}

bool highContrast() {
    if (forcedHighContrast) return *forcedHighContrast;
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

void forceHighContrast(std::optional<bool> on) {
    forcedHighContrast = on;
}

}  // namespace fw
