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

CHuffFile::CHuffFile() : CPackedFile(kindHuffman)
{
    InitTree();
}

void CHuffFile::InitTree()
{
    std::fill(std::begin(m_leaf), std::end(m_leaf), -1);
    std::fill(std::begin(m_weight), std::end(m_weight), 0u);
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

void CHuffFile::Swap(int i, int j)
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

void CHuffFile::Update(int symbol)
{
    if (m_weight[0] == maxWeight)
        Rebuild();
    std::uint32_t* const w = m_weight;
    int node = m_leaf[symbol];
    while (node != -1) {
        const std::uint32_t weight = ++w[node];
        int j = node;
        while (j > 0 && w[j - 1] < weight)
            --j;
        if (j != node) {
            Swap(node, j);
            node = j;
        }
        node = m_parent[node];
    }
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
        int k = j + 1;
        while (k < used && m_weight[k] > weight)
            ++k;
        --k;
        for (int m = j; m < k; ++m) {
            m_weight[m] = m_weight[m + 1];
            m_child[m] = m_child[m + 1];
            m_parent[m] = m_parent[m + 1];
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

void CHuffFile::PutSymbol(CBitOutput& out, int symbol)
{
    // Collected leaf first, so the bit next to the root ends up on top.
    std::uint64_t code = 0;
    int length = 0;
    int node = m_leaf[symbol];
    while (node > 0 && length < 64) {
        code |= static_cast<std::uint64_t>(~node & 1) << length;
        ++length;
        node = m_parent[node];
    }
    if (node > 0) {
        // Deeper than any tree of these weights grows; kept for safety.
        std::uint8_t bits[nodeCount];
        int deep = 0;
        for (node = m_leaf[symbol]; node > 0; node = m_parent[node])
            bits[deep++] = static_cast<std::uint8_t>(~node & 1);
        while (deep)
            out.Put(bits[--deep], 1);
        return;
    }
    if (length > 32) {
        out.Put(static_cast<std::uint32_t>(code >> 32), length - 32);
        length = 32;
    }
    if (length)
        out.Put(static_cast<std::uint32_t>(code), length);
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

int CHuffFile::GetSymbol(CBitInput& in)
{
    int node = 0;
    int child;
    for (;;) {
        if (in.count < 32)
            in.Fill();
        // Up to 24 steps before the next refill check.
        std::uint64_t bits = in.bits;
        int step = 0;
        while ((child = m_child[node]) >= 0 && step < 24) {
            node = child + static_cast<int>(bits >> 63);
            bits <<= 1;
            ++step;
        }
        in.Skip(step);
        if (child < 0)
            break;
    }
    if (in.Overrun())
        return -1;
    int symbol = ~child;
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
