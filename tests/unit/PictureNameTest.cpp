// Which decoder a picture name picks: the extension of the file-name part,
// in any case.

#include <gtest/gtest.h>

#include "image/PictureName.h"

TEST(PictureName, ExtensionPicksTheDecoder)
{
    EXPECT_EQ(ClassifyPicture("C:\\Setup\\App.bmp"), PictureKind::dibFile);
    EXPECT_EQ(ClassifyPicture("art.PcX"), PictureKind::pcxFile);
    EXPECT_EQ(ClassifyPicture("LOGO.P"), PictureKind::pcxResource);
    EXPECT_EQ(ClassifyPicture("tiles.b4"), PictureKind::bitmap);
    EXPECT_EQ(ClassifyPicture("photo.B8"), PictureKind::bitmap256);
    EXPECT_EQ(ClassifyPicture("photo.gif"), PictureKind::none);
    EXPECT_EQ(ClassifyPicture("photo"), PictureKind::none);
    EXPECT_EQ(ClassifyPicture("photo."), PictureKind::none);
    // A dot in a directory name is no extension; the last dot counts.
    EXPECT_EQ(ClassifyPicture("C:\\art.pcx\\logo"), PictureKind::none);
    EXPECT_EQ(ClassifyPicture("logo.pcx.bmp"), PictureKind::dibFile);
    EXPECT_EQ(ClassifyPicture("C:.bmp"), PictureKind::dibFile);
}
