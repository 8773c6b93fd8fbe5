#pragma once
// The arithmetic of the background window: its start-up placement on the
// desktop and the bands of its blue gradient. Pure functions, so that the
// pixel counts can be checked without a screen.

#include <cstdint>

struct WindowPlacement {
    int x, y, width, height;
};

// Covers a desktop of up to 800 pixels wide; centres three quarters of a
// larger one in each dimension.
WindowPlacement ChooseWindowPlacement(int left, int top, int right, int bottom);

struct GradientBands {
    int bandHeight;   // b: every band but possibly the last
    int bandCount;    // bands drawn, the last one cut at the client height
    int colourStep;   // s: blue lost from one band to the next
};

// Bands for a client area of the given height; zero bands when it is empty.
GradientBands ComputeGradientBands(int clientHeight);

// The blue of band i (red and green are 0).
inline int GradientBandBlue(int band, int colourStep)
{
    return 255 - static_cast<int>((static_cast<std::uint32_t>(band) * static_cast<std::uint32_t>(colourStep)) % 256u);
}
