#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// A resource type or name: a 16-bit number or a string (compared without regard to ASCII case).
struct ResourceId {
    bool isNumber = true;
    uint16_t number = 0;
    std::u16string name;

    static ResourceId Number(uint16_t value);
    static ResourceId Name(std::u16string value);
    bool Matches(const ResourceId& other) const;
};

// Predefined resource types.
enum : uint16_t {
    RT_CURSOR = 1,
    RT_BITMAP = 2,
    RT_ICON = 3,
    RT_MENU = 4,
    RT_DIALOG = 5,
    RT_STRING = 6,
    RT_ACCELERATOR = 9,
    RT_RCDATA = 10,
    RT_GROUP_CURSOR = 12,
    RT_GROUP_ICON = 14,
};

// Flags of a menu template item.
enum : uint16_t {
    MF_GRAYED = 0x0001,
    MF_CHECKED = 0x0008,
    MF_POPUP = 0x0010,
    MF_MENUBARBREAK = 0x0020,
    MF_MENUBREAK = 0x0040,
    MF_END = 0x0080,
    MF_SEPARATOR = 0x0800,
};

// Class ordinals of the predefined dialog controls.
enum : uint16_t {
    DLGCLASS_BUTTON = 0x80,
    DLGCLASS_EDIT = 0x81,
    DLGCLASS_STATIC = 0x82,
    DLGCLASS_LISTBOX = 0x83,
    DLGCLASS_SCROLLBAR = 0x84,
    DLGCLASS_COMBOBOX = 0x85,
};

// Flags of an accelerator entry.
enum : uint16_t {
    FVIRTKEY = 0x01,
    FNOINVERT = 0x02,
    FSHIFT = 0x04,
    FCONTROL = 0x08,
    FALT = 0x10,
};

struct MenuItem {
    std::u16string text;
    uint16_t id = 0;
    uint16_t flags = 0; // MF_* as stored, MF_END included
    bool isPopup = false;
    bool isSeparator = false;
    std::vector<MenuItem> children;
};

struct MenuTemplate {
    std::vector<MenuItem> items;
};

struct DialogItem {
    uint32_t style = 0, exStyle = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint16_t id = 0;
    bool classIsOrdinal = false; // also true for the predefined classes written as names
    uint16_t classOrdinal = 0;
    std::u16string className;
    bool textIsOrdinal = false;
    uint16_t textOrdinal = 0;
    std::u16string text;
    std::vector<uint8_t> creationData;
};

struct DialogTemplate {
    uint32_t style = 0, exStyle = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    ResourceId menu;        // number 0: no menu
    ResourceId windowClass; // number 0: the default dialog class
    std::u16string caption;
    uint16_t pointSize = 0;
    std::u16string faceName;
    std::vector<DialogItem> items;
};

// A decoded bitmap or icon image.
struct Bitmap {
    int width = 0, height = 0, bitsPerPixel = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, top row first; alpha 0xFF unless the image has its own
    std::vector<uint8_t> indices;  // palettised images (8 bits or fewer): palette index per pixel, top row first
    std::vector<uint32_t> palette; // palettised images: 0xFFRRGGBB per entry

    uint32_t PixelAt(int px, int py) const { return pixels[static_cast<size_t>(py) * width + px]; }
};

struct Accelerator {
    uint16_t flags = 0, key = 0, command = 0;
};

// Parsers of raw resource data: 0 on success, -1 on damaged data (never read outside `data`).
int ParseMenuTemplate(std::span<const uint8_t> data, MenuTemplate& out);
int ParseDialogTemplate(std::span<const uint8_t> data, DialogTemplate& out);
int DecodeBitmap(std::span<const uint8_t> dib, Bitmap& out); // BITMAPINFOHEADER + palette + bits
int ParseAccelerators(std::span<const uint8_t> data, std::vector<Accelerator>& out);

// One compiled resource (.res) file in memory, with the readers of each resource kind.
class ResourceModule {
public:
    static const ResourceModule& Program(); // the resources embedded in this binary

    int LoadFromBytes(std::span<const uint8_t> res); // 0, or -1 for a damaged file
    int Find(const ResourceId& type, const ResourceId& name, std::span<const uint8_t>& data) const;
    int LoadString(uint16_t id, std::u16string& out) const;
    int LoadMenu(uint16_t id, MenuTemplate& out) const;
    int LoadDialog(uint16_t id, DialogTemplate& out) const;
    int LoadBitmap(uint16_t id, Bitmap& out) const;
    int LoadIcon(uint16_t id, Bitmap& out) const; // first image of the group icon
    int LoadAccelerators(uint16_t id, std::vector<Accelerator>& out) const;

    size_t Count() const { return entries.size(); }

private:
    struct Entry {
        ResourceId type;
        ResourceId name;
        size_t offset = 0;
        size_t size = 0;
    };
    std::vector<uint8_t> bytes;
    std::vector<Entry> entries;
};
