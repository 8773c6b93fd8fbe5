// setuptool medium: a product's distribution folder in one step, from a
// folder laid out the way Setup.exe reads a medium.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "script/ScriptCheck.h"
#include "tools/Command.h"

namespace fs = std::filesystem;

namespace {

const ToolCommand* FindCommand(const std::string& name)
{
    for (const ToolCommand& c : ToolCommands())
        if (name == c.name)
            return &c;
    return nullptr;
}

int Run(const std::vector<std::string>& args)
{
    std::string setup, method = "lzss";
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--setup" && i + 1 < args.size())
            setup = args[++i];
        else if (args[i] == "-m" && i + 1 < args.size())
            method = args[++i];
        else
            rest.push_back(args[i]);
    }
    if (rest.size() != 2)
        return ToolError("medium needs the output folder and the product's folder (setuptool medium --help)");
    const fs::path out = rest[0], source = rest[1];
    std::error_code ec;
    if (!fs::is_regular_file(source / "Setup.ini", ec))
        return ToolError(source.string() + " has no Setup.ini");
    if (!setup.empty() && !fs::is_regular_file(setup, ec))
        return ToolError("no Setup.exe at " + setup);
    fs::create_directories(out, ec);
    if (ec)
        return ToolError("cannot make " + out.string() + ": " + ec.message());

    const ToolCommand* pack = FindCommand("pack");
    if (!pack)
        return ToolError("this setuptool cannot pack archives");
    const struct {
        const char* folder;
        const char* archive;
    } archives[] = {{"product", "Setup.aqj"}, {"windows", "Windows.aqj"}, {"system", "System.aqj"}};

    std::set<std::string> packed;
    for (const auto& a : archives) {
        if (!fs::is_directory(source / a.folder, ec))
            continue;
        std::printf("%-12s from %s/ (%s)\n", a.archive, a.folder, method.c_str());
        int status = pack->run({(out / a.archive).string(), "-m", method, "-C", (source / a.folder).string(), "."});
        if (status != 0)
            return status;
        packed.insert(a.folder);
    }
    // Everything else goes on the medium as it is: the script, the licence,
    // the pictures, trees for copy mode.
    for (const fs::directory_entry& e : fs::directory_iterator(source, ec)) {
        const std::string name = e.path().filename().string();
        if (packed.count(name))
            continue;
        fs::copy(e.path(), out / name, fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
        if (ec)
            return ToolError("cannot copy " + e.path().string() + ": " + ec.message());
        std::printf("%-12s copied\n", name.c_str());
    }
    if (!setup.empty()) {
        fs::copy_file(setup, out / "Setup.exe", fs::copy_options::overwrite_existing, ec);
        if (ec)
            return ToolError("cannot copy " + setup + ": " + ec.message());
        std::printf("%-12s copied\n", "Setup.exe");
    }

    // The same check a vendor would run by hand.
    std::ifstream in(out / "Setup.ini", std::ios::binary);
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<ScriptWarning> warnings = CheckScript(data.data(), data.size(), out.string());
    for (const ScriptWarning& w : warnings)
        std::printf("warning: %s%s\n", w.line ? ("Setup.ini:" + std::to_string(w.line) + ": ").c_str() : "",
                    w.text.c_str());
    std::printf("medium ready in %s%s\n", out.string().c_str(),
                warnings.empty() ? "" : (" (" + std::to_string(warnings.size()) + " warnings)").c_str());
    return 0;
}

const bool registered = RegisterToolCommand({
    "medium",
    "make a distribution folder from a product's folder",
    "usage: setuptool medium OUT-DIR [--setup SETUP.EXE] [-m huff|lzss|lzw|store] PRODUCT-DIR\n"
    "\n"
    "PRODUCT-DIR holds Setup.ini and what goes beside it on the medium\n"
    "(License.txt, App.bmp, Company.bmp, trees for copy mode ...), and up to\n"
    "three folders of files to install: product/ becomes Setup.aqj (into the\n"
    "destination the user picks), windows/ Windows.aqj (the Windows\n"
    "directory), system/ System.aqj (the system directory), each packed with\n"
    "the codec -m names (lzss when not given). Everything else is copied as it\n"
    "is, Setup.exe too when --setup names it. The result is then checked as\n"
    "setuptool check would.\n",
    Run,
});

} // namespace
