// setuptool's stream commands: compress and expand one file in the QJ10
// format (a compressed setup script, for instance).

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "codec/QjCompressor.h"
#include "tools/Command.h"
#include "tools/Progress.h"

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

std::uintmax_t SizeOf(const std::string& path)
{
    std::error_code error;
    std::uintmax_t size = fs::file_size(path, error);
    return error ? 0 : size;
}

int Run(const std::vector<std::string>& args, bool compress)
{
    const char* name = compress ? "compress" : "expand";
    if (args.size() != 2)
        return ToolError(std::string("usage: setuptool ") + name + " IN OUT");
    const std::string& in = args[0];
    const std::string& out = args[1];
    std::error_code error;
    // Opening the output truncates it: it must not be the input.
    if (fs::exists(out, error) && fs::equivalent(in, out, error))
        return ToolError(in + " and " + out + " are the same file");

    ToolCompressor codec(std::string(compress ? "compressing " : "expanding ") + fs::path(in).filename().string());
    int done = codec.ProcessFile(in, out, compress ? 1 : 0);
    codec.Finish();
    // A refused or broken run leaves no output file behind (but never
    // removes a device such as /dev/full).
    auto fail = [&](const std::string& message) {
        std::error_code ignored;
        if (fs::is_regular_file(out, ignored))
            fs::remove(out, ignored);
        return ToolError(message);
    };
    switch (codec.GetLastResult()) {
    case CQjCompressor::resultNoInput:
        return ToolError("cannot open " + in);
    case CQjCompressor::resultNoOutput:
        return ToolError("cannot create " + out);
    case CQjCompressor::resultBadSignature:
        return fail(in + " is not a QJ10 file (it does not start with \"QJ10\")");
    case CQjCompressor::resultShortHeader:
        return fail(in + " is cut short inside its QJ10 header");
    case CQjCompressor::resultWriteFailed:
        return fail("cannot write " + out + " (disk full?)");
    case CQjCompressor::resultDone:
        break;
    }
    if (!done)
        return fail("cannot write " + out);
    if (!compress && codec.StreamWasShort())
        return ToolError(in + " ends before its data does: the end of " + out + " is not reliable");
    std::uintmax_t inSize = SizeOf(in), outSize = SizeOf(out);
    std::uintmax_t plain = compress ? inSize : outSize, packed = compress ? outSize : inSize;
    std::printf("%s: %ju bytes, %ju packed (%.1f%%)\n", in.c_str(), plain, packed,
                plain ? 100.0 * static_cast<double>(packed) / static_cast<double>(plain) : 100.0);
    return 0;
}

int RunCompress(const std::vector<std::string>& args)
{
    return Run(args, true);
}

int RunExpand(const std::vector<std::string>& args)
{
    return Run(args, false);
}

const bool registered = RegisterToolCommand({"compress", "compress one file into a QJ10 stream",
                                             "usage: setuptool compress IN OUT\n"
                                             "\n"
                                             "Writes OUT as a QJ10 stream of IN: \"QJ10\", IN's size, then IN coded\n"
                                             "with sliding-window matches and an adaptive Huffman code. Setup reads\n"
                                             "a compressed setup script in this form.\n",
                                             RunCompress}) &&
                        RegisterToolCommand({"expand", "expand a QJ10 stream into the file it holds",
                                             "usage: setuptool expand IN OUT\n"
                                             "\n"
                                             "Writes OUT with the bytes the QJ10 stream IN holds. Fails, leaving no\n"
                                             "OUT, when IN is no QJ10 stream; fails when IN ends before its data.\n",
                                             RunExpand});

} // namespace
