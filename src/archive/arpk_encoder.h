#pragma once
// The encoder of ArpkLayer streams (authoring only; Setup itself only decodes).
#include <cstddef>
#include <functional>
#include <string>

struct ArpkEncoderOptions {
    int escape = -1;       // 0..255, or -1 for the least frequent byte of the input
    bool best = false;     // the closest parse, at a fraction of the speed
    unsigned threads = 0;  // for the blocks of a large input; 0: one per core
    // Told the bytes of the input encoded so far (and the input's size) every 64 KiB or so.
    std::function<void(std::size_t done, std::size_t size)> progress;
};

// The least frequent byte value of data (the lowest such value on a tie).
int leastFrequentByte(const unsigned char* data, std::size_t size);

// The whole stream: "ARPK", the size, the escape byte and the tokens. size must fit int32.
std::string encodeArpk(const unsigned char* data, std::size_t size,
                       const ArpkEncoderOptions& options = {});
