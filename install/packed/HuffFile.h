#pragma once
// Adaptive Huffman members ("QJFFHUFF"); see HuffFile.cpp for the stream.

#include "install/packed/PackedFile.h"

class CHuffFile : public CPackedFile {
public:
    static constexpr int symbolCount = 258;   // bytes, end of stream, escape
    static constexpr int endOfStream = 256;
    static constexpr int escape = 257;
    static constexpr int nodeCount = 2 * symbolCount - 1;
    static constexpr std::uint32_t maxWeight = 0x8000;

    CHuffFile();
    std::uint32_t Read(void* buffer, std::uint32_t count) override;
    void WritePacked(const void* data, std::uint32_t count) override;
    bool FinishMember() override;

protected:
    void StartMember() override;
    void EndMember() override;

private:
    void InitTree();
    // Hot: inlined into the coding loops.
    __attribute__((always_inline)) void Update(int symbol);
    void Swap(int i, int j);
    void Rebuild();
    void AddSymbol(int symbol);
    __attribute__((always_inline)) void PutSymbol(CBitOutput& out, int symbol);
    void PutDeepSymbol(CBitOutput& out, int symbol);
    // Decodes one symbol (escapes resolved); -1 when the member's bits ran
    // out or the stream cannot be valid.
    __attribute__((always_inline)) int GetSymbol(CBitInput& in);
    int GetRareSymbol(CBitInput& in, int symbol);

    // The code tree. A node's children are an odd node and the even one
    // after it; m_child holds the first child's number, or ~symbol for a
    // leaf. Weights never increase with the node number.
    std::int32_t m_leaf[symbolCount];   // node of each symbol, -1 when absent
    // Weights with a sentinel before node 0 heavier than any node, so the
    // update's scan needs no bound check.
    std::uint32_t m_weightStore[nodeCount + 1];
    std::uint32_t* const m_weight = m_weightStore + 1;
    std::int32_t m_parent[nodeCount];
    std::int32_t m_child[nodeCount];
    int m_nNextFree = 0;
    bool m_bEnded = false;
};
