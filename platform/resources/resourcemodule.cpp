#include "platform/resources/resourcemodule.h"

ResourceId ResourceId::Number(uint16_t value)
{
    ResourceId id;
    id.number = value;
    return id;
}

ResourceId ResourceId::Name(std::u16string value)
{
    ResourceId id;
    id.isNumber = false;
    id.name = std::move(value);
    return id;
}

bool ResourceId::Matches(const ResourceId& other) const
{
    if (isNumber != other.isNumber) {
        return false;
    }
    return isNumber ? number == other.number : name == other.name;
}

const ResourceModule& ResourceModule::Program()
{
    static const ResourceModule module;
    return module;
}

int ResourceModule::LoadFromBytes(std::span<const uint8_t>) { return -1; }
int ResourceModule::Find(const ResourceId&, const ResourceId&, std::span<const uint8_t>&) const { return -1; }
int ResourceModule::LoadString(uint16_t, std::u16string&) const { return -1; }
int ResourceModule::LoadMenu(uint16_t, MenuTemplate&) const { return -1; }
int ResourceModule::LoadDialog(uint16_t, DialogTemplate&) const { return -1; }
int ResourceModule::LoadBitmap(uint16_t, Bitmap&) const { return -1; }
int ResourceModule::LoadIcon(uint16_t, Bitmap&) const { return -1; }
int ResourceModule::LoadAccelerators(uint16_t, std::vector<Accelerator>&) const { return -1; }
int ParseMenuTemplate(std::span<const uint8_t>, MenuTemplate&) { return -1; }
int ParseDialogTemplate(std::span<const uint8_t>, DialogTemplate&) { return -1; }
int DecodeBitmap(std::span<const uint8_t>, Bitmap&) { return -1; }
int ParseAccelerators(std::span<const uint8_t>, std::vector<Accelerator>&) { return -1; }
