#include "platform/ui/static.h"

#include "platform/ui/bitmapimage.h"

#include <QLabel>
#include <QPixmap>

#include <new>

struct StaticImageData {
    QPixmap pixmap;
};

CStatic::CStatic() = default;

CStatic::~CStatic() {
    DeleteImage(image);
}

HIMAGE CStatic::LoadImage(const ResourceModule& module, uint16_t id, bool icon) {
    Bitmap bitmap;
    const int loaded = icon ? module.LoadIcon(id, bitmap) : module.LoadBitmap(id, bitmap);
    if (loaded != 0) {
        return nullptr;
    }
    const QImage decoded = ToQImage(bitmap);
    if (decoded.isNull()) {
        return nullptr;
    }
    auto* data = new (std::nothrow) StaticImageData;
    if (data != nullptr) {
        data->pixmap = QPixmap::fromImage(decoded);
    }
    return data;
}

void CStatic::DeleteImage(HIMAGE image) {
    delete image;
}

HIMAGE CStatic::SetImage(HIMAGE newImage) {
    HIMAGE previous = image;
    image = newImage;
    if (auto* label = qobject_cast<QLabel*>(GetSafeHwnd())) {
        label->setPixmap(image != nullptr ? image->pixmap : QPixmap());
    }
    return previous;
}
