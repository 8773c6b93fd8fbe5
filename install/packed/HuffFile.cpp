// Adaptive Huffman coding of bytes. Encoder and decoder start every member
// from the same three-node tree (the root over end of stream and escape) and
// update it identically after each byte, so no table travels with the data.
//
// A symbol's code is its path from the root, one bit per step: 0 to the
// odd-numbered child, 1 to the even one. A byte not yet in the tree is sent
// as the escape's code and then the byte in 8 bits, and joins the tree by
// splitting the lightest leaf. After each byte its leaf and every node above
// it gain one in weight; a node that becomes heavier than a node numbered
// before it first trades places with the lowest-numbered node of its old
// weight, which keeps the weights ordered by number and the code a Huffman
// code. When the root reaches 0x8000 the weights are halved and the tree
// rebuilt. The member ends with the end-of-stream symbol.
//
// Contract: Read never writes outside the caller's count nor reads outside
// the member; the tree stays within its fixed arrays whatever the stream
// holds (an escape of a byte already present ends decoding as damaged).

#include "install/packed/HuffFile.h"

#include <algorithm>
#include <cstring>

CHuffFile::CHuffFile() : CPackedFile(kindHuffman)
{
    InitTree();
}

void CHuffFile::InitTree()
{
    std::fill(std::begin(m_leaf), std::end(m_leaf), -1);
    std::fill(std::begin(m_weightStore), std::end(m_weightStore), 0u);
    m_weightStore[0] = UINT32_MAX;
    std::fill(std::begin(m_parent), std::end(m_parent), 0);
    std::fill(std::begin(m_child), std::end(m_child), 0);
    m_weight[0] = 2;
    m_parent[0] = -1;
    m_child[0] = 1;
    m_weight[1] = 1;
    m_child[1] = ~endOfStream;
    m_weight[2] = 1;
    m_child[2] = ~escape;
    m_leaf[endOfStream] = 1;
    m_leaf[escape] = 2;
    m_nNextFree = 3;
}

void CHuffFile::StartMember()
{
    InitTree();
    m_bEnded = false;
}

inline void CHuffFile::Swap(int i, int j)
{
    const int ci = m_child[i], cj = m_child[j];
    if (ci < 0)
        m_leaf[~ci] = j;
    else
        m_parent[ci] = m_parent[ci + 1] = j;
    if (cj < 0)
        m_leaf[~cj] = i;
    else
        m_parent[cj] = m_parent[cj + 1] = i;
    m_child[i] = cj;
    m_child[j] = ci;
    std::swap(m_weight[i], m_weight[j]);
}

inline void CHuffFile::Update(int symbol)
{
    if (m_weight[0] == maxWeight)
        Rebuild();
    std::uint32_t* const w = m_weight;
    const std::int32_t* const parent = m_parent;
    std::ptrdiff_t node = m_leaf[symbol];
    do {
        const std::uint32_t weight = w[node] + 1;
        w[node] = weight;
        if (w[node - 1] < weight) {
            // Trade places with the first node of the old weight.
            std::ptrdiff_t j = node - 1;
            while (w[j - 1] < weight)
                --j;
            Swap(static_cast<int>(node), static_cast<int>(j));
            node = j;
        }
        node = parent[node];
    } while (node >= 0);
}

void CHuffFile::Rebuild()
{
    const int used = m_nNextFree;
    // Leaves, halved, to the end in their order.
    int j = used - 1;
    for (int i = used - 1; i >= 0; --i) {
        if (m_child[i] < 0) {
            m_weight[j] = (m_weight[i] + 1) / 2;
            m_child[j] = m_child[i];
            m_parent[j] = m_parent[i];
            --j;
        }
    }
    // Internal nodes from the bottom pair up, each placed after the nodes
    // heavier than it.
    for (int i = used - 2; j >= 0; i -= 2, --j) {
        const std::uint32_t weight = m_weight[i] + m_weight[i + 1];
        m_weight[j] = weight;
        m_child[j] = 0;
        // Nodes j + 1 on are already in order: the first one not heavier
        // is found by halving.
        int lo = j + 1, hi = used;
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (m_weight[mid] > weight)
                lo = mid + 1;
            else
                hi = mid;
        }
        const int k = lo - 1;
        if (k > j) {
            const auto moved = static_cast<std::size_t>(k - j);
            std::memmove(m_weight + j, m_weight + j + 1, moved * sizeof m_weight[0]);
            std::memmove(m_child + j, m_child + j + 1, moved * sizeof m_child[0]);
            std::memmove(m_parent + j, m_parent + j + 1, moved * sizeof m_parent[0]);
        }
        m_weight[k] = weight;
        m_child[k] = i;
    }
    for (int i = used - 1; i >= 0; --i) {
        if (m_child[i] < 0)
            m_leaf[~m_child[i]] = i;
        else
            m_parent[m_child[i]] = m_parent[m_child[i] + 1] = i;
    }
    m_parent[0] = -1;
}

void CHuffFile::AddSymbol(int symbol)
{
    const int lightest = m_nNextFree - 1;
    const int copy = m_nNextFree;
    const int added = m_nNextFree + 1;
    m_nNextFree += 2;
    m_weight[copy] = m_weight[lightest];
    m_child[copy] = m_child[lightest];
    m_parent[copy] = lightest;
    m_leaf[~m_child[copy]] = copy;
    m_child[lightest] = copy;
    m_weight[added] = 0;
    m_child[added] = ~symbol;
    m_parent[added] = lightest;
    m_leaf[symbol] = added;
}

inline void CHuffFile::PutSymbol(CBitOutput& out, int symbol)
{
    // Collected leaf first, each entering at the top, so the bit next to the
    // root ends up highest. Odd nodes are collected as 1 and all bits
    // inverted at the end: 0 is the odd child.
    std::uint64_t code = 0;
    int length = 0;
    std::ptrdiff_t node = m_leaf[symbol];
    const std::int32_t* const parent = m_parent;
    while (node > 0) {
        code = (code >> 1) | (static_cast<std::uint64_t>(node) << 63);
        ++length;
        node = parent[node];
    }
    if (length > 32) {
        PutDeepSymbol(out, symbol);
        return;
    }
    code = ~code >> (64 - length);
    out.Put(static_cast<std::uint32_t>(code), length);
}

// Codes longer than 32 bits; the trees these weights make stay far below,
// but nothing is assumed.
void CHuffFile::PutDeepSymbol(CBitOutput& out, int symbol)
{
    std::uint8_t bits[nodeCount];
    int deep = 0;
    for (int node = m_leaf[symbol]; node > 0; node = m_parent[node])
        bits[deep++] = static_cast<std::uint8_t>(~node & 1);
    while (deep)
        out.Put(bits[--deep], 1);
}

void CHuffFile::WritePacked(const void* data, std::uint32_t count)
{
    if (!IsWriting())
        return;
    m_nUnpackedSize += count;
    CBitOutput out = m_out;
    const auto* p = static_cast<const std::uint8_t*>(data);
    for (std::uint32_t i = 0; i < count; ++i) {
        const int c = p[i];
        if (m_leaf[c] < 0) {
            PutSymbol(out, escape);
            out.Put(static_cast<std::uint32_t>(c), 8);
            AddSymbol(c);
        } else {
            PutSymbol(out, c);
        }
        Update(c);
    }
    m_out = out;
}

void CHuffFile::EndMember()
{
    PutSymbol(m_out, endOfStream);
}

inline int CHuffFile::GetSymbol(CBitInput& in)
{
    const std::int32_t* const tree = m_child;
    if (in.count < 32)
        in.Fill();
    std::uint64_t bits = in.bits;
    int avail = in.count;
    std::ptrdiff_t node = 0;
    std::ptrdiff_t child;
    while ((child = tree[node]) >= 0) {
        node = child + static_cast<std::ptrdiff_t>(bits >> 63);
        bits <<= 1;
        if (--avail == 0) {
            // A path longer than the bits held: take them and refill.
            in.Skip(in.count - 1);
            in.Skip(1);
            in.Fill();
            bits = in.bits;
            avail = in.count;
        }
    }
    in.Skip(in.count - avail);
    const int symbol = static_cast<int>(~child);
    if (symbol < endOfStream && !in.Overrun())
        return symbol;
    return GetRareSymbol(in, symbol);
}

// The end, an escape and its byte, or an overrun (-1).
int CHuffFile::GetRareSymbol(CBitInput& in, int symbol)
{
    if (in.Overrun())
        return -1;
    if (symbol == escape) {
        if (in.count < 8)
            in.Fill();
        symbol = static_cast<int>(in.Peek(8));
        in.Skip(8);
        if (in.Overrun() || m_leaf[symbol] >= 0)
            return -1;
        AddSymbol(symbol);
    }
    return symbol;
}

std::uint32_t CHuffFile::Read(void* buffer, std::uint32_t count)
{
    if (!IsReading() || m_bEnded)
        return 0;
    auto* const out = static_cast<std::uint8_t*>(buffer);
    CBitInput in = m_in;
    std::uint32_t o = 0;
    while (o < count) {
        const int symbol = GetSymbol(in);
        if (symbol < 0 || symbol == endOfStream) {
            m_bEnded = true;
            break;
        }
        out[o++] = static_cast<std::uint8_t>(symbol);
        Update(symbol);
    }
    m_in = in;
    return o;
}

bool CHuffFile::FinishMember()
{
    if (!IsReading() || m_bEnded)
        return false;
    m_bEnded = true;
    return GetSymbol(m_in) == endOfStream;
}
