// Writes the tokens of the parse (archive/arpk_parser.cpp) with the chosen escape byte.
#include "archive/arpk_encoder.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "archive/arpk_format.h"
#include "archive/arpk_parser.h"
#include "archive/byte_reader.h"

int leastFrequentByte(const unsigned char* data, std::size_t size) {
    std::vector<std::size_t> count(256, 0);
    for (std::size_t i = 0; i < size; ++i) ++count[data[i]];
    return static_cast<int>(std::min_element(count.begin(), count.end()) - count.begin());
}

std::string encodeArpk(const unsigned char* data, std::size_t size,
                       const ArpkEncoderOptions& options) {
    const int e = options.escape >= 0 ? options.escape & 0xFF : leastFrequentByte(data, size);
    std::string out(ARPK_MAGIC, 4);
    appendLE32(out, static_cast<std::uint32_t>(size));
    out.push_back(static_cast<char>(e));
    out.reserve(size / 2 + 64);
    std::size_t pos = 0, reported = 0;
    constexpr std::size_t PROGRESS_STEP = std::size_t{1} << 16;
    // The quick parse runs some ten times faster than the closest, for a few per cent more.
    parseArpk(data, size, e, options.best ? 32 : 0, [&](const ArpkStep& st) {
        if (st.kind == ArpkStep::LITERAL) {
            out.push_back(static_cast<char>(data[pos]));
            if (data[pos] == e) out.push_back(static_cast<char>(e));
        } else if (st.kind == ArpkStep::RUN) {
            out.push_back(static_cast<char>(e));
            out.push_back(static_cast<char>(st.length + ARPK_RUN_BIAS));
            out.push_back(static_cast<char>(data[pos]));
        } else {
            int k = 0;
            arpkCopyCode(e, st.src, st.length, k);
            out.push_back(static_cast<char>(e));
            out.push_back(static_cast<char>(k));
            for (int i = 0; i < arpkOffsetBytes(k); ++i)
                out.push_back(static_cast<char>(st.src >> (8 * i)));
            for (int i = 0; i < arpkLengthBytes(k); ++i)
                out.push_back(static_cast<char>(st.length >> (8 * i)));
        }
        pos += st.length;
        if (options.progress && pos - reported >= PROGRESS_STEP) {
            reported = pos;
            options.progress(pos, size);
        }
    });
    return out;
}
