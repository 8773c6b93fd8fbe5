// Measures, under Wine or Windows, how long a 1024 x 768 picture takes to
// load and to get its transparency mask, each way the mask can be made:
//
//   picture_timing [REPEATS]     prints the median milliseconds per step
//
// The picture is a 24-bit BMP written to the temporary directory: colour
// bands with a quarter of its pixels in the key colour.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "image/LoadPicture.h"
#include "ui/BitmapHelpers.h"

namespace {

void Put(std::string& s, std::uint32_t v, int n)
{
    for (int i = 0; i < n; ++i)
        s.push_back(static_cast<char>(v >> (8 * i)));
}

std::string WritePicture(int w, int h)
{
    const int row = (w * 3 + 3) / 4 * 4;
    std::string s = "BM";
    Put(s, 54 + row * h, 4);
    Put(s, 0, 4);
    Put(s, 54, 4);
    for (std::uint32_t v : {40u, static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h)})
        Put(s, v, 4);
    Put(s, 1, 2);
    Put(s, 24, 2);
    for (int i = 0; i < 6; ++i)
        Put(s, i == 1 ? static_cast<std::uint32_t>(row * h) : 0, 4);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            bool key = (x / 64 + y / 64) % 4 == 0;
            s.push_back(static_cast<char>(key ? 255 : x));
            s.push_back(static_cast<char>(key ? 255 : y));
            s.push_back(static_cast<char>(key ? 255 : x ^ y));
        }
        s.append(static_cast<std::size_t>(row - 3 * w), '\0');
    }
    char dir[MAX_PATH];
    ::GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + "picture_timing.bmp";
    HANDLE f = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(f, s.data(), static_cast<DWORD>(s.size()), &written, nullptr);
    ::CloseHandle(f);
    return path;
}

double Now()
{
    LARGE_INTEGER t, f;
    ::QueryPerformanceCounter(&t);
    ::QueryPerformanceFrequency(&f);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::string path = WritePicture(1024, 768);
    HDC screen = ::GetDC(nullptr);
    std::vector<double> load, fast, byPixel, mirror;
    for (int i = 0; i < repeats; ++i) {
        HBITMAP bitmap = nullptr;
        HPALETTE palette = nullptr;
        double t0 = Now();
        if (!LoadPicture(path, bitmap, palette) || !bitmap) {
            std::printf("cannot load %s\n", path.c_str());
            return 1;
        }
        double t1 = Now();
        HBITMAP image = nullptr, mask = nullptr;
        MakeMask(screen, image, mask, bitmap, 0, 0);
        double t2 = Now();
        FreeMaskPair(image, mask);
        load.push_back(t1 - t0);
        fast.push_back(t2 - t1);

        LoadPicture(path, bitmap, palette);
        double t3 = Now();
        MirrorBitmap(screen, bitmap);
        double t4 = Now();
        mirror.push_back(t4 - t3);
        // The pixel by pixel rule is slow: measured on fewer rounds.
        if (i < 2) {
            MakeMaskByPixel(screen, image, mask, bitmap, 0, 0);
            byPixel.push_back(Now() - t4);
            FreeMaskPair(image, mask);
        } else {
            ::DeleteObject(bitmap);
        }
    }
    ::ReleaseDC(nullptr, screen);
    ::DeleteFileA(path.c_str());
    std::printf("1024x768 24-bit BMP, median of %d: load %.1f ms, mask %.1f ms, mirror %.1f ms; "
                "mask pixel by pixel %.1f ms (median of %zu)\n",
                repeats, Median(load), Median(fast), Median(mirror), Median(byPixel), byPixel.size());
    return 0;
}
