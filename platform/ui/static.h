#pragma once

#include "platform/resources/resourcemodule.h"
#include "platform/ui/wnd.h"

#include <cstdint>

struct StaticImageData;
// A bitmap or an icon as the program holds it: opaque, made by LoadImage, released by DeleteImage.
using HIMAGE = StaticImageData*;

// A static control of a dialog: a text, or a bitmap or icon image. The control owns the image it
// shows and releases it with itself.
class CStatic : public CWnd {
public:
    CStatic();
    ~CStatic() override;

    // The bitmap (or, with icon, the icon) with the number from the module; null when it cannot be
    // found or decoded.
    static HIMAGE LoadImage(const ResourceModule& module, uint16_t id, bool icon);
    static void DeleteImage(HIMAGE image);

    HIMAGE GetImage() const { return image; }
    // Shows the image (null: none) and hands back the one shown before, which the caller now owns.
    HIMAGE SetImage(HIMAGE newImage);

private:
    HIMAGE image = nullptr;
};
