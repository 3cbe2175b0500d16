#pragma once

#include "platform/contacts/contactsource.h"

#include <cstddef>
#include <string>

// A folder of vCard files and its sub-folders, as KPeople's vCard address book keeps it
// ($XDG_DATA_HOME/kpeoplevcard/, written by the phone book of Plasma Mobile and by KDE Connect).
// Every *.vcf file may hold one card or several; a file that is not a vCard, is no regular file, is
// larger than largestFile or cannot be read to its end is skipped, and the rest is read.
class VcardFolder : public ContactSource {
public:
    // A vCard with its photo inlined is rarely past a few hundred KiB; anything far larger is not one.
    static constexpr size_t kLargestFile = 16u << 20;

    explicit VcardFolder(std::string folder, size_t largestFile = kLargestFile)
        : folder(std::move(folder)), largestFile(largestFile) {}

    // $XDG_DATA_HOME/kpeoplevcard, or ~/.local/share/kpeoplevcard.
    static std::string UserFolder();

    // -1 only when the folder exists and cannot be listed; a missing folder has no contacts.
    int ReadContacts(std::vector<ContactCard>* cards) override;

    // The cards of one file's text; false when it holds none that can be read.
    static bool ReadText(const std::string& text, std::vector<ContactCard>* cards);

private:
    std::string folder;
    size_t largestFile;
};
