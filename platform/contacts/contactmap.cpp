#include "platform/contacts/contactmap.h"

#include "platform/text/numberkey.h"

namespace {

char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

// Alphabetical without regard to case, then exact, so that the choice never depends on the order
// the address books happen to list their contacts in.
bool AlphabeticallyBefore(const std::string& a, const std::string& b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const char x = FoldCase(a[i]);
        const char y = FoldCase(b[i]);
        if (x != y) {
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
        }
    }
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

} // namespace

ContactMap::ContactMap(const std::vector<ContactCard>& cards) {
    numbers.reserve(cards.size() * 2);
    for (size_t card = 0; card < cards.size(); ++card) {
        if (cards[card].name.empty()) {
            continue;
        }
        for (const ContactNumber& number : cards[card].numbers) {
            const std::string key = NumberKey(number.number);
            if (key.empty()) {
                continue;
            }
            Holder candidate{{cards[card].name, number.nameType}, number.preferred, card};
            auto [at, added] = numbers.try_emplace(key, candidate);
            if (added) {
                continue;
            }
            Holder& held = at->second;
            const bool better =
                candidate.preferred != held.preferred
                    ? candidate.preferred
                    : candidate.card != held.card && AlphabeticallyBefore(candidate.match.name, held.match.name);
            if (better) {
                held = std::move(candidate);
            }
        }
    }
}

const ContactMap::Match* ContactMap::Find(std::u16string_view number) const {
    const std::string key = NumberKey(number);
    if (key.empty()) {
        return nullptr;
    }
    const auto at = numbers.find(key);
    return at != numbers.end() ? &at->second.match : nullptr;
}
