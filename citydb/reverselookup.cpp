#include "citydb/reverselookup.h"

#include "citydb/citydatabase.h"
#include "platform/text/textops.h"

int ReverseLookupText(const char16_t* digits, char16_t* result, size_t capacity) {
    FixedText<7> typed;
    TextCopyN(typed.Data(), typed.capacity, digits, 6);
    if (typed.Length() != 6) {
        TextCopy(result, capacity, u"");
        return 0;
    }
    // Four zeros stand for the line number, so the six digits are the area code and exchange.
    FixedText<11> number;
    number.Format(u"%s0000", {typed.Data()});
    FixedText<50> city;
    FixedText<3> state;
    CityDatabase::Lookup(number.Data(), city.Data(), city.capacity, state.Data(), state.capacity);
    if (!city.IsEmpty()) {
        TextFormat(result, capacity, u"%s, %s", {city.Data(), state.Data()});
    } else {
        TextCopy(result, capacity, u"City and State information not available");
    }
    return 0;
}
