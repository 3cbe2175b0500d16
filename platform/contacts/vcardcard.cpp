#include "platform/contacts/vcardcard.h"

#include <libebook-contacts/libebook-contacts.h>

#include <string>
#include <string_view>

namespace {

bool SameWord(std::string_view a, const char* b) {
    return g_ascii_strncasecmp(a.data(), b, a.size()) == 0 && b[a.size()] == '\0';
}

std::string StructuredName(EContact* contact) {
    auto* name = static_cast<EContactName*>(e_contact_get(contact, E_CONTACT_NAME));
    if (name == nullptr) {
        return {};
    }
    std::string text;
    for (const char* part : {name->prefixes, name->given, name->additional, name->family, name->suffixes}) {
        if (part != nullptr && *part != '\0') {
            text += text.empty() ? "" : " ";
            text += part;
        }
    }
    e_contact_name_free(name);
    return text;
}

// Reads one TYPE value, which vCard 4.0 may write as a quoted, comma-separated list.
void ReadTypes(std::string_view value, ContactNumber* number) {
    while (!value.empty()) {
        const size_t comma = value.find(',');
        std::string_view word = value.substr(0, comma);
        while (!word.empty() && (word.front() == '"' || word.front() == ' ')) {
            word.remove_prefix(1);
        }
        while (!word.empty() && (word.back() == '"' || word.back() == ' ')) {
            word.remove_suffix(1);
        }
        // A number that is both a work and a cell phone is shown as the cell phone it also is.
        if (SameWord(word, "cell")) {
            number->nameType = "m";
        } else if (SameWord(word, "work") && number->nameType != "m") {
            number->nameType = "w";
        } else if (SameWord(word, "home") && number->nameType.empty()) {
            number->nameType = "h";
        } else if (SameWord(word, "pref")) {
            number->preferred = true;
        }
        value = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
    }
}

bool ReadNumber(EVCardAttribute* attribute, ContactNumber* number) {
    // The first value is the number; a "tel:" URI's parameters may have been split off as more.
    GList* values = e_vcard_attribute_get_values(attribute);
    if (values == nullptr || values->data == nullptr) {
        return false;
    }
    number->number = static_cast<const char*>(values->data);
    for (GList* item = e_vcard_attribute_get_params(attribute); item != nullptr; item = item->next) {
        auto* param = static_cast<EVCardAttributeParam*>(item->data);
        const char* name = e_vcard_attribute_param_get_name(param);
        if (name == nullptr) {
            continue;
        }
        if (g_ascii_strcasecmp(name, "PREF") == 0) {
            number->preferred = true;
        } else if (g_ascii_strcasecmp(name, "TYPE") == 0) {
            for (GList* value = e_vcard_attribute_param_get_values(param); value != nullptr; value = value->next) {
                if (value->data != nullptr) {
                    ReadTypes(static_cast<const char*>(value->data), number);
                }
            }
        }
    }
    return !number->number.empty();
}

} // namespace

bool CardFromVcard(EVCard* vcard, ContactCard* card) {
    EContact* contact = E_CONTACT(vcard);
    const char* formatted = static_cast<const char*>(e_contact_get_const(contact, E_CONTACT_FULL_NAME));
    card->name = formatted != nullptr ? formatted : "";
    if (card->name.find_first_not_of(" \t") == std::string::npos) {
        card->name = StructuredName(contact);
    }
    if (card->name.empty()) {
        return false;
    }
    for (GList* item = e_vcard_get_attributes(vcard); item != nullptr; item = item->next) {
        auto* attribute = static_cast<EVCardAttribute*>(item->data);
        const char* name = e_vcard_attribute_get_name(attribute);
        ContactNumber number;
        if (name != nullptr && g_ascii_strcasecmp(name, "TEL") == 0 && ReadNumber(attribute, &number)) {
            card->numbers.push_back(std::move(number));
        }
    }
    return true;
}
