// The program's pictures, drawn by the program itself.
#pragma once

#include <QIcon>
#include <QImage>

namespace trevalon::look {

// The file-and-disc icon, `size` pixels square. Small sizes keep to the
// sixteen colours of the classic palette and to whole pixels.
QImage DrawIconImage(int size);
// The window icon with its 16, 32 and 48 pixel images.
QIcon ProgramIcon();
// The 450 x 250 splash artwork: the maker's logo and name above a curved blue
// band, and below it the icon beside the product's name, on light grey.
QImage DrawSplashArtwork();

}  // namespace trevalon::look
