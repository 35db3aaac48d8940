#pragma once
// The ArpkLayer encoder's parse: the cheapest sequence of literals, runs and copies by their
// exact byte costs, found by dynamic programming over positions; or, much faster, a greedy
// choice of the copy that saves most at each position.
#include <cstddef>
#include <cstdint>
#include <functional>

class ArpkMatchFinder;
class ArpkQuickFinder;

// A literal step may stand for several literals in a row.
struct ArpkStep {
    enum Kind : std::uint8_t { LITERAL, RUN, COPY };
    Kind kind = LITERAL;
    std::uint32_t length = 1;
    std::uint32_t src = 0;  // copies only
};

// The copy code for the narrowest widths that hold offset and length and differ from the
// escape; its token's size, or 0 when no code can express the copy.
int arpkCopyCode(int escape, std::uint32_t offset, std::uint32_t length, int& code);

// A run step of this length can be coded with this escape.
bool arpkRunCodable(int escape, std::uint32_t length);

// Steps that together cover data exactly, in order. depth is the search depth of the closest
// parse (32 is thorough); 0 asks for the quick parse instead.
void parseArpk(const unsigned char* data, std::size_t size, int escape, int depth,
               const std::function<void(const ArpkStep&)>& emit);

// The same for the block of data from start to end (the data before start is the block's
// history), with a finder made for it (archive/arpk_match_finder.h).
void parseArpkBlock(const unsigned char* data, std::size_t start, std::size_t end, int escape,
                    int depth, ArpkMatchFinder& finder,
                    const std::function<void(const ArpkStep&)>& emit);

// The quick parse of the block from start to end, with its finder
// (archive/arpk_quick_finder.h).
void parseArpkQuickBlock(const unsigned char* data, std::size_t start, std::size_t end, int escape,
                         ArpkQuickFinder& finder, const std::function<void(const ArpkStep&)>& emit);
