// The adaptive Huffman model: its start, its rebuilding with halved counts
// and the exchange that keeps the counts in order as one grows. Its counts
// stay at least 1 and in order (the sibling property), so the tree is a
// Huffman tree for them at every step.

#include "codec/QjModel.h"

void CQjModel::Init()
{
    for (int s = 0; s < qj::kSymbols; ++s) {
        node[s].weight = 1;
        child[s] = static_cast<std::uint16_t>(s + kNodes);
        leaf[s] = static_cast<std::uint16_t>(s);
    }
    for (int i = 0, j = qj::kSymbols; j < kNodes; i += 2, ++j) {
        node[j].weight = static_cast<std::uint16_t>(node[i].weight + node[i + 1].weight);
        child[j] = static_cast<std::uint16_t>(i);
        node[i].parent = node[i + 1].parent = static_cast<std::uint16_t>(j);
    }
    node[kNodes].weight = 0xFFFF;
    node[kRoot].parent = 0;
}

// Makes node n (a child or a leaf reference) and, for a child, its sibling
// the children of p.
inline void CQjModel::SetParent(std::size_t n, std::uint16_t p)
{
    if (n >= kNodes) {
        leaf[n - kNodes] = p;
    } else {
        node[n].parent = p;
        node[n + 1].parent = p;
    }
}

void CQjModel::Rebuild()
{
    // The leaves, in their order, with halved counts (odd ones rounded up);
    // their counts stay in order.
    std::uint16_t leafWeight[qj::kSymbols], leafRef[qj::kSymbols];
    for (int i = 0, n = 0; i < kNodes; ++i) {
        if (child[i] >= kNodes) {
            leafWeight[n] = static_cast<std::uint16_t>((node[i].weight + 1u) / 2u);
            leafRef[n] = child[i];
            ++n;
        }
    }
    // Joining nodes 0 and 1, 2 and 3 ... in turn, each new node placed after
    // every node not heavier than it, gives the leaves and the new nodes
    // merged by count, a leaf first on a tie: build that order directly.
    // New node m joins the nodes at 2m and 2m + 1, which are in place by
    // the time it is due (a Huffman tree has one fewer inner node than
    // leaves).
    int a = 0, m = 0;
    for (int pos = 0; pos < kNodes; ++pos) {
        bool joinable = 2 * m + 1 < pos;
        unsigned f = joinable ? node[2 * m].weight + node[2 * m + 1].weight : 0;
        if (a < qj::kSymbols && (!joinable || leafWeight[a] <= f)) {
            node[pos].weight = leafWeight[a];
            child[pos] = leafRef[a];
            ++a;
        } else {
            node[pos].weight = static_cast<std::uint16_t>(f);
            child[pos] = static_cast<std::uint16_t>(2 * m);
            ++m;
        }
    }
    for (int i = 0; i < kNodes; ++i)
        SetParent(child[i], static_cast<std::uint16_t>(i));
    node[kRoot].parent = 0;
}

// Node c has just reached count k, more than the node after it: swaps c
// with the last node still lighter than k (the sentinel ends the scan),
// keeping the counts in order, and returns where c's subtree went. Kept out
// of line, so that the counting loop stays small.
[[gnu::noinline]] std::size_t CQjModel::MoveUp(std::size_t c, unsigned k)
{
    // l: the last node lighter than k (c + 1 is one).
    const Node* last = node + c + 1;
    while (k > last[1].weight)
        ++last;
    std::size_t l = static_cast<std::size_t>(last - node);
    node[c].weight = node[l].weight;
    node[l].weight = static_cast<std::uint16_t>(k);
    std::size_t i = child[c];
    std::size_t j = child[l];
    SetParent(i, static_cast<std::uint16_t>(l));
    SetParent(j, static_cast<std::uint16_t>(c));
    child[l] = static_cast<std::uint16_t>(i);
    child[c] = static_cast<std::uint16_t>(j);
    return l;
}

int CQjModel::CodeLength(int symbol) const
{
    int n = 0;
    for (int k = leaf[symbol]; k != kRoot; k = node[k].parent)
        ++n;
    return n;
}
