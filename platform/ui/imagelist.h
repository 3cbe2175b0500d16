#pragma once

#include "platform/ui/dc.h"

#include <memory>
#include <vector>

class QPixmap;

// A row of equally wide images cut from one bitmap resource; pixels of the mask colour are
// transparent. Images that do not fill a whole width at the strip's end belong to no image.
class CImageList {
public:
    CImageList();
    ~CImageList();
    CImageList(const CImageList&) = delete;
    CImageList& operator=(const CImageList&) = delete;

    // Cuts the bitmap into images of width cx. grow is how many images the list adds at a time, kept
    // for the caller's sake; the list grows as needed.
    bool Create(uint16_t bitmapId, int cx, int grow, COLORREF maskColour);
    void DeleteImageList();
    int GetImageCount() const { return static_cast<int>(images.size()); }
    CSize GetImageSize() const;
    // Draws image index with its top-left corner at point.
    bool Draw(CDC* dc, int index, CPoint point) const;
    const QPixmap* Image(int index) const;

private:
    std::vector<std::unique_ptr<QPixmap>> images;
};
