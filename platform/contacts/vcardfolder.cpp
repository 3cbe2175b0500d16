#include "platform/contacts/vcardfolder.h"

#include "platform/contacts/contactslog.h"
#include "platform/contacts/userfolders.h"
#include "platform/contacts/vcardcard.h"
#include "platform/contacts/vcardfilter.h"

#include <fcntl.h>
#include <libebook-contacts/libebook-contacts.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <filesystem>
#include <system_error>

namespace {

bool HasVcfExtension(const std::filesystem::path& path) {
    const std::string extension = path.extension().string();
    return g_ascii_strcasecmp(extension.c_str(), ".vcf") == 0;
}

// The whole of a regular file, read with plain reads of at most largest + 1 bytes: the size stat
// gives is only a hint (a file may grow while it is read, a /proc file says 0). Whatever is not a
// regular file (a FIFO, a device, a socket) is never opened in a way that could wait, and a file
// whose read fails (an I/O error, a dead network mount) is refused like a missing one. Null when
// the whole file is read, or why it is not.
const char* ReadWholeFile(const std::string& path, size_t largest, std::string* text) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        return "cannot be looked at";
    }
    if (!S_ISREG(info.st_mode)) {
        return "not a regular file";
    }
    if (static_cast<uintmax_t>(info.st_size) > largest) {
        return "too large for a vCard";
    }
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return "cannot be opened";
    }
    // What was a file at stat may have been replaced by something else before the open.
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return "not a regular file";
    }
    // One byte more than stat says, to see the end (or that the file grew) in the same read.
    constexpr size_t kFirstRead = 4096;
    const size_t expected = info.st_size > 0 ? static_cast<size_t>(info.st_size) + 1 : kFirstRead;
    text->resize(std::min(expected, largest + 1));
    size_t used = 0;
    bool failed = false;
    while (used <= largest) {
        if (used == text->size()) {
            text->resize(std::min(text->size() * 2, largest + 1));
        }
        const ssize_t got = read(fd, text->data() + used, text->size() - used);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            failed = got < 0;
            break;
        }
        used += static_cast<size_t>(got);
    }
    close(fd);
    text->resize(used);
    if (failed) {
        return "cannot be read to its end";
    }
    return used <= largest ? nullptr : "too large for a vCard";
}

} // namespace

std::string VcardFolder::UserFolder() {
    return UserDataFolder() + "/kpeoplevcard";
}

bool VcardFolder::ReadText(const std::string& text, std::vector<ContactCard>* cards) {
    if (!g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) {
        return false;
    }
    // Cut into cards of the lines the program reads; each is then read by the library's parser,
    // which takes one at a time.
    bool any = false;
    VcardFilter::ForEachCard(text, [cards, &any](const std::string& one) {
        EContact* contact = e_contact_new_from_vcard(one.c_str());
        ContactCard card;
        if (contact != nullptr && CardFromVcard(E_VCARD(contact), &card)) {
            cards->push_back(std::move(card));
            any = true;
        }
        if (contact != nullptr) {
            g_object_unref(contact);
        }
    });
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
        // One file that cannot be read, or not to the end, costs only its own cards.
        const size_t before = cards->size();
        try {
            const std::filesystem::path& path = files->path();
            if (!HasVcfExtension(path)) {
                continue;
            }
            std::string text;
            const char* refused = ReadWholeFile(path.string(), largestFile, &text);
            if (refused == nullptr && !ReadText(text, cards)) {
                refused = "holds no card that can be read";
            }
            if (refused != nullptr) {
                qCDebug(contactsLog, "vCard file %s skipped: %s", path.c_str(), refused);
            }
        } catch (const std::exception& error) {
            qCDebug(contactsLog, "a vCard file skipped: %s", error.what());
            cards->resize(before);
        }
    }
    return result;
}
