#pragma once

// Opening a picture file as a sprite. The window's Open and the command
// line's convert both go through here, so that one file always makes the
// same sprite, and both say the same of a file that cannot be read.

#include "Image.h"
#include "ImageImport.h"

#include <string>

// Loads the picture at `path` within the image budgets and gathers its pixels
// into the sprite of its fitted size. On anything but Loaded, `sprite` is
// left as it was and `image` still knows the size the file states.
ImageLoadStatus LoadImageSprite(const CString& path, CImage& image, ImageSprite& sprite);

// What keeps a picture from opening, as the rest of a sentence that names
// it: "cannot be opened", "is damaged or cut short: ...".
std::string ImageProblem(ImageLoadStatus status, const CImage& image);

// What keeps the picture `fileName` from opening, as one sentence.
std::string ImageErrorText(ImageLoadStatus status, const std::string& fileName,
                           const CImage& image);
