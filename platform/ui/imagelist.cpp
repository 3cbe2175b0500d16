#include "platform/ui/imagelist.h"

#include "platform/resources/resourcemodule.h"
#include "platform/ui/bitmapimage.h"

#include <QPainter>
#include <QPixmap>

CImageList::CImageList() = default;

CImageList::~CImageList() = default;

bool CImageList::Create(uint16_t bitmapId, int cx, int, COLORREF maskColour) {
    images.clear();
    Bitmap bitmap;
    if (cx <= 0 || ResourceModule::Program().LoadBitmap(bitmapId, bitmap) != 0) {
        return false;
    }
    QImage strip = ToQImage(bitmap);
    if (strip.isNull()) {
        return false;
    }
    const QRgb mask = qRgb(static_cast<int>(maskColour & 0xFF), static_cast<int>((maskColour >> 8) & 0xFF),
                           static_cast<int>((maskColour >> 16) & 0xFF));
    for (int y = 0; y < strip.height(); ++y) {
        for (int x = 0; x < strip.width(); ++x) {
            if ((strip.pixel(x, y) & 0x00FFFFFF) == (mask & 0x00FFFFFF)) {
                strip.setPixel(x, y, 0);
            }
        }
    }
    for (int left = 0; left + cx <= strip.width(); left += cx) {
        images.push_back(std::make_unique<QPixmap>(QPixmap::fromImage(strip.copy(left, 0, cx, strip.height()))));
    }
    return true;
}

void CImageList::DeleteImageList() {
    images.clear();
}

CSize CImageList::GetImageSize() const {
    return images.empty() ? CSize{} : CSize{images.front()->width(), images.front()->height()};
}

const QPixmap* CImageList::Image(int index) const {
    return index >= 0 && index < GetImageCount() ? images[static_cast<size_t>(index)].get() : nullptr;
}

bool CImageList::Draw(CDC* dc, int index, CPoint point) const {
    const QPixmap* image = Image(index);
    if (dc == nullptr || dc->Painter() == nullptr || image == nullptr) {
        return false;
    }
    dc->Painter()->drawPixmap(point.x, point.y, *image);
    return true;
}
