#include "config/text_reference.h"

std::string resolveTextReference(const std::string& source, const std::vector<std::string>& texts) {
    if (source.size() < 2 || source[0] != '%' || source[1] != '0') return source;
    const std::size_t length = source.size();
    std::size_t p = 2;
    while (p < length && p < length - 1 && source[p] >= '0' && source[p] <= '9') ++p;
    // The number is every digit after the '%'; a huge one simply names no text.
    long long n = 0;
    for (std::size_t i = 1; i < length && source[i] >= '0' && source[i] <= '9'; ++i)
        if (n < 1000000000) n = n * 10 + (source[i] - '0');
    std::string w = n < static_cast<long long>(texts.size()) ? texts[static_cast<std::size_t>(n)]
                                                             : std::string();
    if (w.empty()) return source;

    std::string args;
    std::size_t from = 0;
    for (std::size_t q; (q = w.find("%s", from)) != std::string::npos;) {
        if (args.empty()) args = source.substr(p);
        const long last = static_cast<long>(args.size()) - 1;
        std::size_t bar = args.find('|');
        const long b = bar == std::string::npos ? last : static_cast<long>(bar);
        std::string piece = b < last ? args.substr(0, static_cast<std::size_t>(b)) : args;
        w = w.substr(0, q) + piece + w.substr(q + 2);
        // Look for the next place after the inserted piece, so an argument that holds
        // "%s" itself is not expanded again and again.
        from = q + piece.size();
        if (b < last) args = args.substr(static_cast<std::size_t>(b) + 1);
    }
    return w;
}
