// Which decoder a picture name picks: the extension of the file-name part,
// in any case.

#include <gtest/gtest.h>

#include "image/PictureName.h"

TEST(PictureName, ExtensionPicksTheDecoder)
{
    using K = PictureKind;
    // A dot in a directory name is no extension; the last dot counts.
    const std::pair<const char*, PictureKind> names[] = {
        {"C:\\Setup\\App.bmp", K::dibFile}, {"art.PcX", K::pcxFile},     {"LOGO.P", K::pcxResource},
        {"tiles.b4", K::bitmap},            {"photo.B8", K::bitmap256},  {"photo.gif", K::none},
        {"photo", K::none},                 {"photo.", K::none},         {"C:\\art.pcx\\logo", K::none},
        {"logo.pcx.bmp", K::dibFile},       {"C:.bmp", K::dibFile}};
    for (auto [name, kind] : names)
        EXPECT_EQ(ClassifyPicture(name), kind) << name;
}
