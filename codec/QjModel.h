#pragma once
// The adaptive Huffman model of a QJ10 stream, the same in both directions:
// a tree over the 314 symbols whose counts both sides raise after every
// symbol, halving them all when the root's count reaches 0x8000.

#include <cstddef>
#include <cstdint>

#include "codec/QjStream.h"

struct CQjModel {
    static constexpr int kNodes = 2 * qj::kSymbols - 1;   // 627
    static constexpr int kRoot = kNodes - 1;
    static constexpr unsigned kLimit = 0x8000;

    // Each node's count (non-decreasing by index, with a sentinel after the
    // root) and parent side by side, as counting walks both; each node's
    // first child or leaf reference (>= kNodes); the node that holds each
    // symbol's leaf.
    struct Node {
        std::uint16_t weight;
        std::uint16_t parent;
    };
    Node node[kNodes + 1];
    std::uint16_t child[kNodes];
    std::uint16_t leaf[qj::kSymbols];

    // Every symbol counted once, as a stream starts.
    void Init();
    // Counts symbol, after rebuilding when the root has reached kLimit.
    void Update(int symbol);
    // The tree again over the halved counts.
    void Rebuild();
    // The number of bits that code symbol now.
    int CodeLength(int symbol) const;

private:
    std::size_t MoveUp(std::size_t c, unsigned k);
    void SetParent(std::size_t n, std::uint16_t p);
};

// Inline: both directions call it once per symbol.
inline void CQjModel::Update(int symbol)
{
    if (node[kRoot].weight == kLimit)
        Rebuild();
    Node* n = node + leaf[symbol];
    do {
        unsigned k = ++n->weight;
        if (k > n[1].weight) [[unlikely]]
            n = node + MoveUp(static_cast<std::size_t>(n - node), k);
        n = node + n->parent;
    } while (n != node);
}
