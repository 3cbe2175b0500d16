#include "platform/contacts/vcardfolder.h"

#include "platform/contacts/userfolders.h"
#include "platform/contacts/vcardcard.h"

#include <libebook-contacts/libebook-contacts.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace {

// A vCard with its photo inlined is rarely past a few hundred KiB; anything far larger is not one.
constexpr std::uintmax_t kLargestFile = 16u << 20;

bool HasVcfExtension(const std::filesystem::path& path) {
    const std::string extension = path.extension().string();
    return g_ascii_strcasecmp(extension.c_str(), ".vcf") == 0;
}

// Where a line starting with word (in any case, after blanks) begins, looking from the line that
// starts at from; npos when none does.
size_t FindLine(const std::string& text, const char* word, size_t from) {
    const size_t length = std::strlen(word);
    for (size_t line = from; line < text.size();) {
        size_t at = line;
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) {
            ++at;
        }
        if (text.size() - at >= length && g_ascii_strncasecmp(text.c_str() + at, word, length) == 0) {
            return at;
        }
        const size_t newline = text.find('\n', at);
        if (newline == std::string::npos) {
            break;
        }
        line = newline + 1;
    }
    return std::string::npos;
}

} // namespace

std::string VcardFolder::UserFolder() {
    return UserDataFolder() + "/kpeoplevcard";
}

bool VcardFolder::ReadText(const std::string& text, std::vector<ContactCard>* cards) {
    if (!g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) {
        return false;
    }
    // Cut into cards here; each is then read by the library's parser, which takes one at a time.
    bool any = false;
    for (size_t begin = FindLine(text, "BEGIN:VCARD", 0); begin != std::string::npos;) {
        const size_t end = FindLine(text, "END:VCARD", begin);
        if (end == std::string::npos) {
            break;
        }
        const size_t next = FindLine(text, "BEGIN:VCARD", end);
        const std::string one = text.substr(begin, end + std::strlen("END:VCARD") - begin);
        EContact* contact = e_contact_new_from_vcard(one.c_str());
        ContactCard card;
        if (contact != nullptr && CardFromVcard(E_VCARD(contact), &card)) {
            cards->push_back(std::move(card));
            any = true;
        }
        if (contact != nullptr) {
            g_object_unref(contact);
        }
        begin = next;
    }
    return any;
}

int VcardFolder::ReadContacts(std::vector<ContactCard>* cards) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        return 0;
    }
    int result = 0;
    auto files = std::filesystem::recursive_directory_iterator(
        folder, std::filesystem::directory_options::skip_permission_denied, error);
    if (error) {
        return -1;
    }
    for (; files != std::filesystem::recursive_directory_iterator(); files.increment(error)) {
        if (error) {
            result = -1;
            break;
        }
        const std::filesystem::directory_entry& file = *files;
        std::error_code ignored;
        if (!file.is_regular_file(ignored) || !HasVcfExtension(file.path()) || file.file_size(ignored) > kLargestFile) {
            continue;
        }
        std::ifstream in(file.path(), std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.bad()) {
            continue;
        }
        ReadText(text, cards);
    }
    return result;
}
