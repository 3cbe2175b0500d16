// A vCard file's text as a paired phone may write it, before and after the address-book library:
// the line filter cuts it into cards of the lines the program reads (each card framed by its BEGIN
// and END lines, within the card limit, no physical line past the line limit, and the same card
// when filtered again), then the names and numbers of those cards (read here plainly, as the
// library would hand them over) go into the map of numbers, where every number finds a name.
#include "platform/contacts/contactmap.h"
#include "platform/contacts/vcardfilter.h"
#include "platform/text/numberkey.h"

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kBegin = "BEGIN:VCARD\r\n";
constexpr std::string_view kEnd = "END:VCARD\r\n";

void Check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

bool HasName(std::string_view line, std::string_view name) {
    if (line.size() <= name.size() || (line[name.size()] != ':' && line[name.size()] != ';')) {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        if ((line[i] & ~0x20) != name[i]) {
            return false;
        }
    }
    return true;
}

std::string Value(std::string_view line) {
    const size_t colon = line.find(':');
    return colon == std::string_view::npos ? std::string() : std::string(line.substr(colon + 1));
}

// The card's name and numbers from its unfolded FN and TEL lines (groups left aside).
ContactCard CardOf(const std::string& text) {
    ContactCard card;
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
        const std::string_view line(text.data() + start, end - start);
        if (!line.empty() && (line.front() == ' ' || line.front() == '\t') && !lines.empty()) {
            lines.back().append(line.substr(1));
        } else {
            lines.emplace_back(line);
        }
        start = end + 2;
    }
    for (const std::string& line : lines) {
        if (HasName(line, "FN")) {
            card.name = Value(line);
        } else if (HasName(line, "TEL")) {
            card.numbers.push_back({Value(line), line.size() % 2 == 0 ? "m" : "", line.size() % 3 == 0});
        }
    }
    return card;
}

std::u16string Widened(const std::string& text) {
    std::u16string wide;
    for (char c : text) {
        wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    }
    return wide;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> cards = VcardFilter::Cards(text);
    std::vector<ContactCard> contacts;
    for (const std::string& card : cards) {
        Check(card.size() <= VcardFilter::kLongestCard);
        Check(card.size() >= kBegin.size() + kEnd.size());
        Check(card.compare(0, kBegin.size(), kBegin) == 0);
        Check(card.compare(card.size() - kEnd.size(), kEnd.size(), kEnd) == 0);
        for (size_t start = 0, end = card.find("\r\n"); end != std::string::npos; end = card.find("\r\n", start)) {
            Check(end - start <= VcardFilter::kLongestLine);
            start = end + 2;
        }
        const std::vector<std::string> again = VcardFilter::Cards(card);
        Check(again.size() == 1 && again[0] == card);
        contacts.push_back(CardOf(card));
    }
    const ContactMap map(contacts);
    size_t numbers = 0;
    for (const ContactCard& contact : contacts) {
        for (const ContactNumber& number : contact.numbers) {
            // Every character a key is made of is ASCII: the UTF-8 text and its bytes as UTF-16
            // units give the same key.
            const std::string key = NumberKey(number.number);
            Check(key == NumberKey(std::u16string_view(Widened(number.number))));
            if (key.empty() || contact.name.empty()) {
                continue;
            }
            ++numbers;
            const ContactMap::Match* match = map.Find(Widened(number.number));
            Check(match != nullptr && !match->name.empty());
        }
    }
    Check(map.size() <= numbers);
    return 0;
}
