#pragma once

#include <cstddef>
#include <cstdint>

// The process-wide image of the city database file "\Program Files\Zonrik\Zonrik.dll", read whole
// into one buffer once, and the lookup of a number's city and two-letter state in it.
//
// File layout (little-endian, offsets in bytes from the start of the file):
//   0..2487  area-code index: 311 entries of 8 bytes, ascending by area code:
//              +0 int16 area code, +2 first state letter, +3 second state letter,
//              +4 uint32 offset of the area code's city block
//   blocks   one per area code: cities, then the end marker. A city is its name (1 to 49 ISO 8859-1
//            bytes and a zero byte), its exchanges (uint16, not 0, unaligned) and a uint16 0 as
//            separator. Behind the last city's separator stands uint16 1002 (EA 03).
// Every read of the image is bounded by its size: damage ends as "not found".
class CityDatabase {
public:
    static constexpr int kIndexEntries = 311;
    static constexpr size_t kIndexEntrySize = 8;
    static constexpr size_t kIndexSize = kIndexEntries * kIndexEntrySize; // 2488
    static constexpr uint16_t kEndMarker = 1002;
    static constexpr size_t kMaxNameLength = 49;

    // Reads the file into a new image. 0 on success or when an image is present, else -1. A file
    // that cannot be opened is reported in a message box; the other failures are silent.
    static int Load();
    static void Unload();
    static bool IsLoaded();

    // City and state of the area code and exchange in the last ten characters of number. -1 when
    // number has fewer than 10 characters, else 0. Found: both set; exchange unknown: state set and
    // city empty; anything else: both untouched.
    static int Lookup(const char16_t* number, char16_t* city, size_t cityCapacity, char16_t* state,
                      size_t stateCapacity);

    // Area code and exchange of the last ten characters; both 0 first. -1 below 10 characters.
    static int ParseNumber(const char16_t* number, int16_t& areaCode, int16_t& exchange);

    // Index of the area code's entry, or -1.
    static int FindAreaCode(int16_t areaCode);

    // Leaves the city of the exchange, or the empty text, in city.
    static void FindExchange(int16_t exchange, uint32_t blockOffset, char16_t* city, size_t cityCapacity);

    // Copies the name at offset into city (cut to fit). Returns the name's length in bytes, or -1
    // when no terminator follows within 49 bytes and inside the image (city is then empty).
    static int ReadCityName(uint32_t offset, char16_t* city, size_t cityCapacity);
};
