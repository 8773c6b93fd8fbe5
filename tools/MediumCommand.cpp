// setuptool medium: a product's distribution folder in one step, from a
// folder laid out the way Setup.exe reads a medium.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "tools/ScriptCheck.h"
#include "tools/Command.h"
#include "tools/StagedOutput.h"

namespace fs = std::filesystem;

namespace {

// Whether path is folder or lies below it, links and ".." resolved.
bool IsWithin(const fs::path& path, const fs::path& folder)
{
    std::error_code ec;
    const fs::path p = fs::weakly_canonical(path, ec), f = fs::weakly_canonical(folder, ec);
    auto a = p.begin(), b = f.begin();
    for (; b != f.end() && !b->empty(); ++a, ++b) {
        if (a == p.end() || *a != *b)
            return false;
    }
    return true;
}

// Moves what the staging folder holds into out, replacing entries of the
// same names; entries of other names in out stay.
bool MoveInto(const fs::path& staged, const fs::path& out, std::string& reason)
{
    std::error_code ec;
    if (!fs::exists(out, ec)) {
        fs::rename(staged, out, ec);
    } else {
        for (const fs::directory_entry& e : fs::directory_iterator(staged, ec)) {
            const fs::path target = out / e.path().filename();
            if (fs::is_directory(fs::symlink_status(target, ec)))
                fs::remove_all(target, ec);
            fs::rename(e.path(), target, ec);
            if (ec)
                break;
        }
    }
    if (ec)
        reason = ec.message();
    return !ec;
}

int Run(const ToolArgs& args)
{
    std::string setup, method = "lzss", jobs;
    for (const ToolOption& o : args.options) {
        if (o.name == "--setup")
            setup = o.value;
        else if (o.name == "-m")
            method = o.value;
        else
            jobs = o.value;
    }
    const fs::path out = args.operands[0], source = args.operands[1];
    std::error_code ec;
    if (!fs::is_regular_file(source / "Setup.ini", ec))
        return ToolError("medium: " + source.string() + ": has no Setup.ini");
    if (!setup.empty() && !fs::is_regular_file(setup, ec))
        return ToolError("medium: " + setup + ": no such file");
    // The copy of the product folder would copy itself, without end.
    if (IsWithin(out, source))
        return ToolError("medium: " + out.string() + ": lies inside the product folder " + source.string());
    if (fs::exists(out, ec) && !fs::is_directory(out, ec))
        return ToolError("medium: " + out.string() + ": not a folder");
    // Everything is made in a folder beside out and moved in at the end.
    fs::path whole = fs::absolute(out, ec).lexically_normal();
    if (!whole.has_filename())
        whole = whole.parent_path();   // "out/"
    fs::create_directories(whole.parent_path(), ec);
    StagedOutput staged(whole.string());
    fs::create_directory(staged.Path(), ec);
    if (ec)
        return ToolError("medium: " + out.string() + ": " + ec.message());
    const fs::path work = staged.Path();

    const ToolCommand* pack = FindToolCommand("pack");
    if (!pack)
        return ToolError("medium: this setuptool cannot pack archives");
    const struct {
        const char* folder;
        const char* archive;
    } archives[] = {{"product", "Setup.aqj"}, {"windows", "Windows.aqj"}, {"system", "System.aqj"}};

    std::set<std::string> packed;
    for (const auto& a : archives) {
        if (!fs::is_directory(source / a.folder, ec))
            continue;
        std::printf("%-12s from %s/ (%s)\n", a.archive, a.folder, method.c_str());
        ToolArgs packArgs;
        packArgs.operands = {(work / a.archive).string(), "."};
        packArgs.options = {{"-m", method, 1}, {"-C", (source / a.folder).string(), 1}};
        if (!jobs.empty())
            packArgs.options.push_back({"-j", jobs, 1});
        int status = pack->run(packArgs);
        if (status != toolOk)
            return status;
        packed.insert(a.folder);
    }
    // Everything else goes on the medium as it is: the script, the licence,
    // the pictures, trees for copy mode.
    for (const fs::directory_entry& e : fs::directory_iterator(source, ec)) {
        const std::string name = e.path().filename().string();
        if (packed.count(name))
            continue;
        fs::copy(e.path(), work / name, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
        if (ec)
            return ToolError("medium: " + e.path().string() + ": cannot copy: " + ec.message());
        std::printf("%-12s copied\n", EscapeName(name).c_str());
    }
    if (!setup.empty()) {
        fs::copy_file(setup, work / "Setup.exe", fs::copy_options::overwrite_existing, ec);
        if (ec)
            return ToolError("medium: " + setup + ": cannot copy: " + ec.message());
        std::printf("%-12s copied\n", "Setup.exe");
    }
    std::string reason;
    if (!MoveInto(work, out, reason))
        return ToolError("medium: " + out.string() + ": " + reason);

    // The same check a vendor would run by hand; its warnings make the
    // status 1, so that a build pipeline notices them.
    std::ifstream in(out / "Setup.ini", std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<ScriptWarning> warnings = CheckScript(data.data(), data.size(), out.string());
    for (const ScriptWarning& w : warnings)
        std::printf("warning: %s%s\n", w.line ? ("Setup.ini:" + std::to_string(w.line) + ": ").c_str() : "",
                    EscapeName(w.text).c_str());
    std::printf("medium ready in %s%s\n", EscapeName(out.string()).c_str(),
                warnings.empty() ? "" : (" (" + CountOf(warnings.size(), "warning") + ")").c_str());
    return warnings.empty() ? toolOk : toolFailed;
}

const bool registered = RegisterToolCommand({
    "medium",
    "make a distribution folder from a product's folder",
    "usage: setuptool medium OUT-DIR [--setup SETUP.EXE] [-m huff|lzss|lzw|store] [-j N] PRODUCT-DIR\n"
    "\n"
    "PRODUCT-DIR holds Setup.ini and what goes beside it on the medium\n"
    "(License.txt, App.bmp, Company.bmp, trees for copy mode ...), and up to\n"
    "three folders of files to install: product/ becomes Setup.aqj (into the\n"
    "destination the user picks), windows/ Windows.aqj (the Windows\n"
    "directory), system/ System.aqj (the system directory), each packed with\n"
    "the codec -m names (lzss when not given) and -j N members at a time (see\n"
    "setuptool help pack). Everything else is copied as it is, Setup.exe too\n"
    "when --setup names it. OUT-DIR must not lie inside PRODUCT-DIR.\n"
    "\n"
    "The medium is made in a folder beside OUT-DIR and moved in only when\n"
    "complete, replacing entries of the same names. It is then checked as\n"
    "setuptool check would: the exit status is 1 when there are warnings.\n",
    Run, "--setup -m -j", 2, 2,
});

} // namespace
