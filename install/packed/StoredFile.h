#pragma once
// Members kept as they are: no coding, packed size equal to unpacked size.

#include "install/packed/PackedFile.h"

class CStoredFile : public CPackedFile {
public:
    CStoredFile() : CPackedFile(kindStored) {}
    std::uint32_t Read(void* buffer, std::uint32_t count) override;
    void WritePacked(const void* data, std::uint32_t count) override;
    bool FinishMember() override;

protected:
    void StartMember() override {}
};
