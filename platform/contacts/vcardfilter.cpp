#include "platform/contacts/vcardfilter.h"

namespace {

constexpr std::string_view kEnd = "END:VCARD\r\n";

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool SameWord(std::string_view text, std::string_view word) {
    if (text.size() != word.size()) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        if (Lower(text[i]) != Lower(word[i])) {
            return false;
        }
    }
    return true;
}

bool StartsWith(std::string_view text, std::string_view word) {
    return text.size() >= word.size() && SameWord(text.substr(0, word.size()), word);
}

bool Contains(std::string_view text, std::string_view word) {
    for (size_t at = 0; at + word.size() <= text.size(); ++at) {
        if (StartsWith(text.substr(at), word)) {
            return true;
        }
    }
    return false;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view WithoutLeadingBlanks(std::string_view line) {
    while (!line.empty() && IsBlank(line.front())) {
        line.remove_prefix(1);
    }
    return line;
}

// The property's name of a line that starts one ("item1.TEL;TYPE=cell:..." is TEL), and its
// parameters ("TYPE=cell").
void SplitProperty(std::string_view line, std::string_view* name, std::string_view* params) {
    const size_t end = line.find_first_of(";:");
    std::string_view head = line.substr(0, end == std::string_view::npos ? line.size() : end);
    const size_t dot = head.rfind('.');
    *name = dot == std::string_view::npos ? head : head.substr(dot + 1);
    const size_t colon = line.find(':');
    *params = end != std::string_view::npos && line[end] == ';'
                  ? line.substr(end + 1, colon == std::string_view::npos ? std::string_view::npos : colon - end - 1)
                  : std::string_view();
}

bool IsKeptProperty(std::string_view name) {
    for (const char* kept : {"VERSION", "FN", "N", "TEL"}) {
        if (SameWord(name, kept)) {
            return true;
        }
    }
    return false;
}

// One property line as it is read, over its folded continuations: kept or not, and whether it is
// still short enough (its unfolded length and separators are counted even when not kept).
struct PropertyLine {
    bool open = false;
    bool kept = false;
    bool quotedPrintable = false;
    bool softBreak = false;
    size_t length = 0;
    size_t separators = 0;
    std::string text;

    void Start(std::string_view line) {
        std::string_view name;
        std::string_view params;
        SplitProperty(line, &name, &params);
        open = true;
        kept = IsKeptProperty(name);
        // vCard 2.1 continues a quoted-printable value on the next line after a trailing '='.
        quotedPrintable = Contains(params, "QUOTED-PRINTABLE");
        length = 0;
        separators = 0;
        text.clear();
        Add(line, line);
    }

    // physical is the line as written; unfolded is what it adds to the property's value. A fold's
    // blank counts towards the length too, so that a line of empty folds is no cheaper to hold.
    void Add(std::string_view physical, std::string_view unfolded) {
        length += physical.size();
        for (char c : unfolded) {
            separators += c == ';' ? 1 : 0;
        }
        softBreak = quotedPrintable && !physical.empty() && physical.back() == '=';
        if (kept && Fits()) {
            text.append(physical);
            text.append("\r\n");
        }
    }

    bool Fits() const { return length <= VcardFilter::kLongestLine && separators <= VcardFilter::kMostSeparators; }
};

// The kept lines of the card being read.
struct CardText {
    bool open = false;
    bool tooLong = false;
    std::string text;

    void Begin() {
        open = true;
        tooLong = false;
        text.assign("BEGIN:VCARD\r\n");
    }

    void Close(PropertyLine* line) {
        if (line->open && line->kept && line->Fits() && !tooLong) {
            text.append(line->text);
            tooLong = text.size() + kEnd.size() > VcardFilter::kLongestCard;
        }
        line->open = false;
    }
};

} // namespace

void VcardFilter::ForEachCard(std::string_view text, const std::function<void(const std::string&)>& each) {
    CardText card;
    PropertyLine property;
    while (!text.empty()) {
        const size_t newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        // Cards begin and end on lines of their own, found even when indented. A BEGIN inside a card
        // starts again: the card before it was cut off.
        const std::string_view trimmed = WithoutLeadingBlanks(line);
        if (StartsWith(trimmed, "BEGIN:VCARD")) {
            property.open = false;
            card.Begin();
            continue;
        }
        if (!card.open) {
            continue;
        }
        if (StartsWith(trimmed, "END:VCARD")) {
            card.Close(&property);
            if (!card.tooLong) {
                card.text.append(kEnd);
                each(card.text);
            }
            card.open = false;
            continue;
        }
        if (property.open && !line.empty() && IsBlank(line.front())) {
            property.Add(line, line.substr(1));
        } else if (property.open && property.softBreak) {
            property.Add(line, line);
        } else {
            card.Close(&property);
            property.Start(line);
        }
    }
}

std::vector<std::string> VcardFilter::Cards(std::string_view text) {
    std::vector<std::string> cards;
    ForEachCard(text, [&cards](const std::string& card) { cards.push_back(card); });
    return cards;
}
