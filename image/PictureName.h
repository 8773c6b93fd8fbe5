#pragma once
// Which source and decoder a picture name stands for, by its extension
// (the text after the last dot of the file-name part, in any case).

#include <string>

enum class PictureKind {
    none,          // no extension, or one we do not know
    dibFile,       // "BMP", "DIB": a Windows bitmap file
    pcxFile,       // "PCX": a PCX file
    pcxResource,   // "P": a resource of type "PCX" named by the whole name
    bitmap,        // "B4": a bitmap resource, no palette
    bitmap256,     // "B8": a 256-colour bitmap resource with its palette
};

// The extension without its dot, upper-cased; empty when there is none.
std::string PictureExtension(const std::string& name);
PictureKind ClassifyPicture(const std::string& name);
