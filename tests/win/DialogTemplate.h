#pragma once
// Reads an extended dialog template from the program's resources, so that
// tests can hold the layouts to what they must be.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct DialogItemTemplate {
    std::uint32_t style = 0, exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t id = 0;
    std::string className;   // "#128" style ordinals for the predefined classes
    std::string title;
};

struct DialogTemplate {
    std::uint32_t style = 0, exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    std::string title;
    int pointSize = 0;
    std::string typeface;
    std::vector<DialogItemTemplate> items;
};

// False when the resource is missing or is not an extended template.
bool LoadDialogTemplate(int id, DialogTemplate& out);
