#pragma once
// The "QJ10" stream compressor: turns one whole file into another, in either
// direction. A QJ10 file is the four characters "QJ10", the uncompressed
// size (32 bits, little-endian) and one bit stream of sliding-window matches
// and literals coded with an adaptive Huffman tree (see QjCompressor.cpp).
//
// Each run keeps its state (streams, bit buffers, window, trees) in a run
// object of its own, held by the compressor only while the run lasts, so
// compressors in different threads never share anything. One compressor
// runs one file at a time.

#include <cstdint>
#include <memory>
#include <string>

#include "framework/File.h"
#include "framework/Object.h"

class CQjCompressor : public CObject {
public:
    enum Mode { modeIdle = 0, modeCompress = 1, modeExpand = 2 };

    // How the last ProcessFile ended, for callers that need more than its
    // 1 or 0 (the loader refuses a file that is no QJ10 stream).
    enum Result {
        resultDone,
        resultNoInput,        // input cannot be opened
        resultNoOutput,       // output cannot be created
        resultBadSignature,   // expand: not a QJ10 file; output left empty
        resultShortHeader,    // expand: file ends inside the size field
        resultWriteFailed,    // output could not be written; run stopped
        resultReadFailed,     // input could not be read; run stopped
        resultInputChanged    // compress: the input did not hold its length
    };

    static constexpr std::uint32_t kHeaderSize = 8;

    // The state of one run (opaque).
    struct Run;

    CQjCompressor();
    ~CQjCompressor() override;
    CQjCompressor(const CQjCompressor&) = delete;
    CQjCompressor& operator=(const CQjCompressor&) = delete;

    // Compresses (compress non-zero) or expands inPath into outPath, which
    // is created or truncated. 1 when the run was carried through (also for
    // an expand input that is no QJ10 file: the output is then empty), 0
    // when a file cannot be opened or the output cannot be written.
    int ProcessFile(const std::string& inPath, const std::string& outPath, int compress);

    // The same on files the caller has opened: compressing reads in whole,
    // from its start; expanding reads from its current position; out is
    // written from its current position.
    int ProcessStreams(CFile& in, CFile& out, int compress);

    // Called once when the output cannot be written (code 1); the run then
    // stops. The default shows "Error: %d" in a message box on Windows and
    // writes it to stderr elsewhere.
    virtual void OnError(int code);
    // Uncompressed bytes handled so far and in all; the default does nothing.
    virtual void OnProgress(const std::uint32_t* done, const std::uint32_t* total);

    Result GetLastResult() const { return m_result; }
    // Expand: the coded stream ended before the data was complete. The
    // missing bits read as zeros until more than a symbol and a position of
    // them had been used, which no whole stream needs; the run stopped
    // there, so the output may be shorter than the header's size.
    bool StreamWasShort() const { return m_bStreamShort; }

    int m_nMode = modeIdle;
    // Non-zero: the work arrays live for one run only. Zero: they are kept
    // by the object from its first run to its destruction.
    int m_bPerRunArrays = 1;

protected:
    // The model, shared by both directions.
    void InitModel();
    void UpdateModel(int symbol);
    void RebuildModel();

    // The decoder. Its bit buffer lives in the decoding loop: unread bits
    // from the top of bits.
    struct BitBuffer {
        std::uint64_t bits;
        int count;
    };
    int DecodeSymbol(BitBuffer& in);
    int DecodeOffset(BitBuffer& in);
    void Expand(std::uint32_t size);

    // The encoder.
    void InsertPosition(Run& run, int r, std::uint64_t stamp);
    void RemovePosition(Run& run, int p);
    void WriteBits(int count, std::uint32_t code);
    void EncodeSymbol(int symbol);
    void EncodeOffset(int position);
    void Compress(std::uint32_t length);

    // The number of bits that code symbol now (0 outside a run); lets a
    // derived class watch the model from OnProgress.
    int CodeLength(int symbol) const;

private:
    int ExpandStreams();
    int CompressStreams();
    // The step counter and the next mark of the progress rule.
    struct ProgressState {
        std::uint64_t step = 0;
        std::uint64_t mark = 0;
    };
    // Calls OnProgress when done first passes the next mark.
    void Progress(std::uint32_t done, std::uint32_t total, ProgressState& state);
    void ReportProgress(std::uint32_t done, std::uint32_t total);
    void FlushOutput();
    void FlushHistory(std::size_t end);
    bool RefillInput();
    int GetByte();
    BitBuffer RefillBits(BitBuffer in);

    Run* m_pRun = nullptr;                 // the run under way
    std::unique_ptr<Run> m_pKeptRun;       // kept arrays (m_bPerRunArrays 0)
    Result m_result = resultDone;
    bool m_bStreamShort = false;
};
