#include "platform/contacts/addressbookmodule.h"

#include "platform/contacts/contactslog.h"
#include "platform/contacts/userfolders.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <mutex>

namespace {

struct Module {
    std::once_flag once;
    bool loaded = false;
    std::vector<std::shared_ptr<ContactSource>> sources;
};

Module& TheModule() {
    // Never destroyed, nor the module ever unloaded: a read may still be under way at exit.
    static Module* module = new Module;
    return *module;
}

bool Exists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

} // namespace

bool AddressBookModule::UserHasAddressBooks() {
    // The service keeps its books' data under the data folder from its first start, and the
    // books of other accounts (online, CardDAV) as sources under the configuration folder.
    return Exists(UserDataFolder() + "/evolution/addressbook") || Exists(UserConfigFolder() + "/evolution/sources") ||
           Exists(UserDataFolder() + "/kpeoplevcard");
}

std::string AddressBookModule::ModulePath() {
    char exe[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) {
        return {};
    }
    const std::filesystem::path bin = std::filesystem::path(std::string(exe, static_cast<size_t>(n))).parent_path();
    return (bin.parent_path() / "lib" / "ringlog" / "ringlog-addressbooks.so").string();
}

bool AddressBookModule::Loaded() {
    Module& module = TheModule();
    return module.loaded;
}

int AddressBookModule::ReadContacts(std::vector<ContactCard>* cards) {
    if (!UserHasAddressBooks()) {
        return 0;
    }
    Module& module = TheModule();
    std::call_once(module.once, [&module] {
        const std::string path = ModulePath();
        void* handle = path.empty() ? nullptr : dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        const auto entry = handle != nullptr
                               ? reinterpret_cast<RinglogAddressBooksFunction>(dlsym(handle, "RinglogAddressBooks"))
                               : nullptr;
        if (entry != nullptr) {
            entry(&module.sources);
            module.loaded = true;
        } else {
            // An install without its module shows numbers only; said once, for whoever looks.
            const char* why = dlerror();
            std::fprintf(stderr, "ringlog: the address books cannot be read: %s\n",
                         why != nullptr ? why : ("no reader at " + path).c_str());
        }
    });
    if (!module.loaded) {
        return -1;
    }
    // A book that fails, however it fails, is skipped and the others are read.
    int result = 0;
    for (const std::shared_ptr<ContactSource>& source : module.sources) {
        const size_t before = cards->size();
        try {
            if (source->ReadContacts(cards) != 0) {
                result = -1;
            }
        } catch (const std::exception& error) {
            qCDebug(contactsLog, "an address book skipped: %s", error.what());
            cards->resize(before);
            result = -1;
        }
    }
    return result;
}
