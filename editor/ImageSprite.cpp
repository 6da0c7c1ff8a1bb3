#include "ImageSprite.h"

#include <cstdint>
#include <vector>

ImageLoadStatus LoadImageSprite(const CString& path, CImage& image, ImageSprite& sprite) {
    if (const ImageLoadStatus status = image.Load(path, kMaxImageSide, kMaxImageBytes);
        status != ImageLoadStatus::Loaded)
        return status;
    ImageSampler sampler({image.GetWidth(), image.GetHeight()});
    std::vector<std::uint32_t> row(static_cast<std::size_t>(image.GetWidth()));
    for (int y = 0; y < image.GetHeight(); ++y) {
        image.GetRow(y, row);
        sampler.AddRow(y, row);
    }
    sprite = sampler.Finish();
    // A reduced read is still a scale from the file's own size.
    sprite.image = {image.GetFileWidth(), image.GetFileHeight()};
    return ImageLoadStatus::Loaded;
}

std::string ImageProblem(ImageLoadStatus status, const CImage& image) {
    switch (status) {
    case ImageLoadStatus::CannotOpen:
        return "cannot be opened";
    case ImageLoadStatus::UnknownFormat:
        return "is not an image in a format that can be read";
    case ImageLoadStatus::TooLarge:
        return "is " + std::to_string(image.GetFileWidth()) + " x " +
               std::to_string(image.GetFileHeight()) +
               " pixels, too large to open: pictures of up to " +
               std::to_string(kAlwaysOpenedImageSide) +
               " pixels a side open, and most PNG and JPEG pictures up to " +
               std::to_string(kMaxImageSide);
    case ImageLoadStatus::Damaged:
    case ImageLoadStatus::Loaded:
        break;
    }
    return "is damaged or cut short: its pixels cannot be read";
}

std::string ImageErrorText(ImageLoadStatus status, const std::string& fileName,
                           const CImage& image) {
    const bool notAnImage =
        status == ImageLoadStatus::CannotOpen || status == ImageLoadStatus::UnknownFormat;
    return (notAnImage ? "The file \"" : "The image \"") + fileName + "\" " +
           ImageProblem(status, image) + ".";
}
