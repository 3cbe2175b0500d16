#include "platform/contacts/edsaddressbooks.h"

#include "platform/contacts/contactslog.h"
#include "platform/contacts/vcardcard.h"

#include <libebook/libebook.h>

#include <cstdlib>
#include <string>

namespace {

// Books are read as they stand, not after their back-end went online: a remote book's copy on
// the phone is what a call is named from, and without a network the wait would never end. The
// library takes -1 for "do not wait" (0 waits for ever).
constexpr guint32 kDoNotWait = static_cast<guint32>(-1);

// A book whose back-end the service is opening or closing just then may refuse a reader for a
// moment; it is asked once more after a short pause, on the reading thread.
constexpr gulong kRetryPauseMicroseconds = 200 * 1000;

// Without a session bus GLib would try to start one (X11 autolaunch), which outlives the program.
bool HasSessionBus() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address != nullptr && *address != '\0') {
        return true;
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0') {
        return false;
    }
    const std::string socket = std::string(runtime) + "/bus";
    return g_file_test(socket.c_str(), G_FILE_TEST_EXISTS);
}

const char* ReasonOf(const GError* error) {
    return error != nullptr ? error->message : "no reason given";
}

// A book that could not be read, said with the library's reason.
void RefuseBook(ESource* source, const GError* error) {
    qCDebug(contactsLog, "address book \"%s\" not read: %s", e_source_get_display_name(source), ReasonOf(error));
}

int ReadBook(ESourceRegistry* registry, ESource* source, std::vector<ContactCard>* cards) {
    GError* error = nullptr;
    EClient* client = e_book_client_connect_direct_sync(registry, source, kDoNotWait, nullptr, &error);
    if (client == nullptr) {
        RefuseBook(source, error);
        g_clear_error(&error);
        return -1;
    }
    GSList* contacts = nullptr;
    const gboolean read =
        e_book_client_get_contacts_sync(E_BOOK_CLIENT(client), "(exists \"tel\")", &contacts, nullptr, &error);
    if (!read) {
        RefuseBook(source, error);
    }
    g_clear_error(&error);
    for (GSList* item = contacts; item != nullptr; item = item->next) {
        ContactCard card;
        if (CardFromVcard(E_VCARD(item->data), &card)) {
            cards->push_back(std::move(card));
        }
    }
    g_slist_free_full(contacts, g_object_unref);
    g_object_unref(client);
    return read ? 0 : -1;
}

} // namespace

int EdsAddressBooks::ReadContacts(std::vector<ContactCard>* cards) {
    if (!HasSessionBus()) {
        qCDebug(contactsLog, "the address-book service not asked: there is no session bus");
        return -1;
    }
    // The library's asynchronous parts report to the thread's default context: one of our own, so
    // that a program's main loop never sees them.
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    int result = 0;
    GError* error = nullptr;
    ESourceRegistry* registry = e_source_registry_new_sync(nullptr, &error);
    if (registry == nullptr) {
        qCDebug(contactsLog, "the address-book service not reached: %s", ReasonOf(error));
        g_clear_error(&error);
        result = -1;
    } else {
        GList* sources = e_source_registry_list_enabled(registry, E_SOURCE_EXTENSION_ADDRESS_BOOK);
        for (GList* item = sources; item != nullptr; item = item->next) {
            const size_t before = cards->size();
            if (ReadBook(registry, E_SOURCE(item->data), cards) == 0) {
                continue;
            }
            cards->resize(before);
            g_usleep(kRetryPauseMicroseconds);
            if (ReadBook(registry, E_SOURCE(item->data), cards) != 0) {
                result = -1;
            }
        }
        g_list_free_full(sources, g_object_unref);
        g_object_unref(registry);
    }
    // Whatever the library left queued for this context is dropped with it.
    while (g_main_context_iteration(context, FALSE)) {
    }
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
    return result;
}
