// The removal record and the command line are read from text that anybody
// can write: neither reader may step outside its input on any bytes. A
// record that reads back whole must also write out to the same record.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/CommandLine.h"
#include "install/UninstallRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    SetupOptions options;
    ParseCommandLine(CommandArguments(text), options);

    CUninstallRecord record;
    std::string error;
    if (record.Parse(text, error)) {
        CUninstallRecord again;
        if (!again.Parse(record.Format(), error) || again.Format() != record.Format())
            std::abort();
    }
    return 0;
}
