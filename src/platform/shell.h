#pragma once
// The desktop shell: opening documents, URLs and programs with their associated handlers.
#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// UrlCanonicalize flags.
inline constexpr std::uint32_t URL_ESCAPE_SPACES_ONLY_FLAG = 0x04000000;
inline constexpr std::uint32_t URL_DONT_ESCAPE_EXTRA_INFO_FLAG = 0x02000000;

class Shell {
public:
    virtual ~Shell() = default;
    // The "open" verb, show state normal. Empty parameters or folder are passed as none.
    // The result is not reported: the shell shows its own errors, if any.
    virtual void open(void* owner, const std::string& file, const std::string& parameters,
                      const std::string& folder) = 0;
    // major * 65536 + minor from the library's DllGetVersion; 0 when the library or the
    // export is missing or the call fails.
    virtual std::uint32_t getShellLibraryVersion(const std::string& library) = 0;
    // UrlCanonicalizeA into a buffer of bufferSize bytes; false when the call fails or
    // reports a length of 0.
    virtual bool canonicalizeUrl(const std::string& url, std::size_t bufferSize,
                                 std::uint32_t flags, std::string& out) = 0;
};

// The shell of this machine (Windows builds only).
Shell& systemShell();

}  // namespace platform
