#include "image/PictureName.h"

std::string PictureExtension(const std::string& name)
{
    // The file-name part starts after the last directory separator or
    // drive colon; a dot before that belongs to a directory.
    std::string::size_type start = name.find_last_of("\\/:");
    start = start == std::string::npos ? 0 : start + 1;
    std::string::size_type dot = name.rfind('.');
    if (dot == std::string::npos || dot < start)
        return std::string();
    std::string ext = name.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return ext;
}

PictureKind ClassifyPicture(const std::string& name)
{
    std::string ext = PictureExtension(name);
    if (ext == "BMP" || ext == "DIB")
        return PictureKind::dibFile;
    if (ext == "PCX")
        return PictureKind::pcxFile;
    if (ext == "P")
        return PictureKind::pcxResource;
    if (ext == "B4")
        return PictureKind::bitmap;
    if (ext == "B8")
        return PictureKind::bitmap256;
    return PictureKind::none;
}
