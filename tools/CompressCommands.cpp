// setuptool's stream commands: compress and expand one file in the QJ10
// format (a compressed setup script, for instance).

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "codec/QjCompressor.h"
#include "tools/Command.h"
#include "tools/Progress.h"
#include "tools/StagedOutput.h"

namespace fs = std::filesystem;

namespace {

// Shows the run on a progress bar; a failed write is reported by the
// command afterwards, not as a message box.
class ToolCompressor : public CQjCompressor {
public:
    explicit ToolCompressor(std::string label) : m_label(std::move(label)) {}

    void OnError(int /*code*/) override {}
    void OnProgress(const std::uint32_t* done, const std::uint32_t* total) override
    {
        if (!m_bar)
            m_bar = std::make_unique<ToolProgress>(m_label, *total);
        m_bar->Update(*done);
    }
    void Finish()
    {
        if (m_bar)
            m_bar->Finish();
    }

private:
    std::string m_label;
    std::unique_ptr<ToolProgress> m_bar;
};

// Keeps the last error of a read or write, which the codec only counts, so
// that the message can give the system's reason.
class ReasonFile : public CFile {
public:
    std::uint32_t Read(void* buffer, std::uint32_t count) override
    {
        try {
            return CFile::Read(buffer, count);
        } catch (const CFileException& e) {
            m_error = e;
            throw;
        }
    }
    void Write(const void* buffer, std::uint32_t count) override
    {
        try {
            CFile::Write(buffer, count);
        } catch (const CFileException& e) {
            m_error = e;
            throw;
        }
    }
    std::string Reason() const { return m_error ? FileErrorReason(*m_error) : "input/output error"; }

private:
    std::optional<CFileException> m_error;
};

int Run(const ToolArgs& args, bool compress)
{
    const std::string name = compress ? "compress" : "expand";
    const std::string& in = args.operands[0];
    const std::string& out = args.operands[1];
    auto fail = [&](const std::string& file, const std::string& reason) { return ToolError(name + ": " + file + ": " + reason); };

    // A pipe has no size to put in the header (and would block the open).
    std::error_code ec;
    const fs::file_status inStatus = fs::status(in, ec);
    if (fs::exists(inStatus) && !fs::is_regular_file(inStatus))
        return fail(in, "not a regular file");
    ReasonFile input;
    CFileException error;
    if (!input.Open(in, CFile::modeRead | CFile::shareDenyNone, &error))
        return fail(in, "cannot open: " + FileErrorReason(error));
    const std::uintmax_t inSize = fs::file_size(in, ec);
    if (compress && inSize > 0xFFFFFFFFu)
        return fail(in, std::to_string(inSize) + " bytes; a QJ10 stream holds less than 4 GiB");
    // Opening the output truncates it: it must not be the input.
    if (fs::exists(out, ec) && fs::equivalent(in, out, ec))
        return fail(out, "is the input file");

    // A regular file (or a new one) is written beside and renamed into
    // place; a device or pipe such as /dev/stdout is written directly.
    const bool direct = fs::exists(out, ec) && !fs::is_regular_file(out, ec);
    std::optional<StagedOutput> staged;
    if (!direct)
        staged.emplace(out);
    const std::string& written = direct ? out : staged->Path();
    ReasonFile output;
    if (!output.Open(written, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyNone, &error))
        return fail(out, "cannot create: " + FileErrorReason(error));

    ToolCompressor codec(std::string(compress ? "compressing " : "expanding ") + fs::path(in).filename().string());
    const int done = codec.ProcessStreams(input, output, compress ? 1 : 0);
    codec.Finish();
    input.Abort();
    if (done) {
        try {
            output.Close();
        } catch (const CFileException& e) {
            return fail(out, FileErrorReason(e));
        }
    }
    switch (codec.GetLastResult()) {
    case CQjCompressor::resultBadSignature:
        return fail(in, "not a QJ10 file (it does not start with \"QJ10\")");
    case CQjCompressor::resultShortHeader:
        return fail(in, "cut short inside its QJ10 header");
    case CQjCompressor::resultWriteFailed:
        return fail(out, output.Reason());
    case CQjCompressor::resultReadFailed:
        return fail(in, input.Reason());
    case CQjCompressor::resultInputChanged:
        return fail(in, "changed while it was read");
    case CQjCompressor::resultNoInput:
    case CQjCompressor::resultNoOutput:
    case CQjCompressor::resultDone:
        break;
    }
    if (!done)
        return fail(out, "cannot write");
    if (!compress && codec.StreamWasShort())
        return fail(in, "cut short: the stream ends before its data");
    std::string reason;
    if (staged && !staged->Commit(reason))
        return fail(out, reason);
    const std::uintmax_t outSize = direct ? 0 : fs::file_size(out, ec);
    const std::uintmax_t plain = compress ? inSize : outSize, packed = compress ? outSize : inSize;
    if (!direct)
        std::printf("%s: %ju bytes, %ju packed (%.1f%%)\n", EscapeName(in).c_str(), plain, packed,
                    plain ? 100.0 * static_cast<double>(packed) / static_cast<double>(plain) : 100.0);
    return toolOk;
}

int RunCompress(const ToolArgs& args)
{
    return Run(args, true);
}

int RunExpand(const ToolArgs& args)
{
    return Run(args, false);
}

const bool registered = RegisterToolCommand({"compress", "compress one file into a QJ10 stream",
                                             "usage: setuptool compress IN OUT\n"
                                             "\n"
                                             "Writes OUT as a QJ10 stream of IN: \"QJ10\", IN's size, then IN coded\n"
                                             "with sliding-window matches and an adaptive Huffman code. Setup reads\n"
                                             "a compressed setup script in this form. IN must be a regular file\n"
                                             "smaller than 4 GiB. OUT appears only when the run succeeds.\n",
                                             RunCompress, "", 2, 2}) &&
                        RegisterToolCommand({"expand", "expand a QJ10 stream into the file it holds",
                                             "usage: setuptool expand IN OUT\n"
                                             "\n"
                                             "Writes OUT with the bytes the QJ10 stream IN holds. Fails, leaving no\n"
                                             "OUT, when IN is no QJ10 stream or ends before its data.\n",
                                             RunExpand, "", 2, 2});

} // namespace
