// The resource reader: the first byte picks what the rest is, a whole .res file (then every kind of
// resource is read from it under the program's own identifiers and under identifiers from the
// input) or the data of one resource: a menu, a dialog template, a bitmap, accelerators.
#include "fuzz/fuzzinput.h"
#include "platform/resources/resourcemodule.h"

#include <span>
#include <string>
#include <vector>

namespace {

// Identifiers the program's resource script uses, and the neighbours of a string table block.
constexpr uint16_t kProgramIds[] = {0,   1,   2,   15,  16,  17,    100,   104,   128,   130,  131,
                                    134, 143, 146, 200, 201, 57344, 57345, 57359, 57360, 65535};

void ReadEverything(const ResourceModule& module, uint16_t id) {
    std::u16string text;
    module.LoadString(id, text);
    MenuTemplate menu;
    module.LoadMenu(id, menu);
    DialogTemplate dialog;
    module.LoadDialog(id, dialog);
    Bitmap bitmap;
    module.LoadBitmap(id, bitmap);
    Bitmap icon;
    module.LoadIcon(id, icon);
    std::vector<Accelerator> accelerators;
    module.LoadAccelerators(id, accelerators);
    std::span<const uint8_t> raw;
    module.Find(ResourceId::Number(RT_RCDATA), ResourceId::Number(id), raw);
    module.Find(ResourceId::Name(u"PNG"), ResourceId::Name(u"LOGO"), raw);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    const uint8_t kind = input.Byte();
    const std::span<const uint8_t> rest(input.Rest(), input.Left());
    switch (kind % 5) {
    case 0: {
        ResourceModule module;
        if (module.LoadFromBytes(rest) == 0) {
            for (uint16_t id : kProgramIds) {
                ReadEverything(module, id);
            }
            // Identifiers from the tail of the input, where a .res file's names stand too.
            for (size_t i = 0; i + 1 < rest.size() && i < 32; i += 2) {
                ReadEverything(module,
                               static_cast<uint16_t>(rest[rest.size() - 1 - i] | (rest[rest.size() - 2 - i] << 8)));
            }
        }
        break;
    }
    case 1: {
        MenuTemplate menu;
        ParseMenuTemplate(rest, menu);
        break;
    }
    case 2: {
        DialogTemplate dialog;
        ParseDialogTemplate(rest, dialog);
        break;
    }
    case 3: {
        Bitmap bitmap;
        if (DecodeBitmap(rest, bitmap) == 0 && bitmap.width > 0 && bitmap.height > 0) {
            // Every pixel the decoder claims is there can be read.
            volatile uint32_t sum = 0;
            for (int y = 0; y < bitmap.height; ++y) {
                for (int x = 0; x < bitmap.width; ++x) {
                    sum = sum + bitmap.PixelAt(x, y);
                }
            }
        }
        break;
    }
    default: {
        std::vector<Accelerator> accelerators;
        ParseAccelerators(rest, accelerators);
        break;
    }
    }
    return 0;
}
