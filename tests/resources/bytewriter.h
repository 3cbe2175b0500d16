#pragma once

#include "platform/resources/resourcemodule.h"

#include <cstdint>
#include <string>
#include <vector>

// Builds little-endian resource data by hand, for templates and .res files the resource
// compiler would never write (damaged ones included).
class ByteWriter {
public:
    std::vector<uint8_t> bytes;

    ByteWriter& U8(uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    ByteWriter& U16(uint16_t v) {
        bytes.push_back(static_cast<uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    ByteWriter& U32(uint32_t v) {
        U16(static_cast<uint16_t>(v & 0xFFFF));
        return U16(static_cast<uint16_t>(v >> 16));
    }
    ByteWriter& Str(std::u16string_view s) {
        for (char16_t ch : s) {
            U16(ch);
        }
        return U16(0);
    }
    ByteWriter& Ordinal(uint16_t v) { return U16(0xFFFF).U16(v); }
    ByteWriter& Id(const ResourceId& id) { return id.isNumber ? Ordinal(id.number) : Str(id.name); }
    ByteWriter& Align4() {
        while (bytes.size() % 4 != 0) {
            bytes.push_back(0);
        }
        return *this;
    }
    ByteWriter& Append(const std::vector<uint8_t>& more) {
        bytes.insert(bytes.end(), more.begin(), more.end());
        return *this;
    }
};

// A .res file: the empty leading entry, then the given entries.
class ResWriter {
public:
    ResWriter() { Add(ResourceId::Number(0), ResourceId::Number(0), {}); }

    ResWriter& Add(const ResourceId& type, const ResourceId& name, const std::vector<uint8_t>& data) {
        ByteWriter header;
        header.Id(type).Id(name).Align4();
        header.U32(0).U16(0x30).U16(0x0409).U32(0).U32(0);
        out.U32(static_cast<uint32_t>(data.size())).U32(static_cast<uint32_t>(header.bytes.size() + 8));
        out.Append(header.bytes).Append(data).Align4();
        return *this;
    }

    const std::vector<uint8_t>& Bytes() const { return out.bytes; }

private:
    ByteWriter out;
};
