// The script reader takes any bytes: it must never read or write outside
// its input or its own buffers, whatever the file holds.

#include <cstddef>
#include <cstdint>

#include "tools/ScriptCheck.h"
#include "script/SetupScript.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CSetupScript script;
    script.Parse(reinterpret_cast<const char*>(data), size);
    std::string value;
    script.GetString("General", "Title", value);
    std::int16_t n = 0;
    script.GetInt("General", "License", n);
    for (std::int16_t i = 0; i < 4 && script.GetEntry("Copy", i, value); ++i) {
    }
    // The vendor's check reads the same bytes with every rule it knows.
    CheckScript(reinterpret_cast<const char*>(data), size);
    return 0;
}
