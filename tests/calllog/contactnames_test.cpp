#include "calllog/calllist.h"

#include "platform/contacts/callernames.h"
#include "platform/contacts/contactlist.h"
#include "platform/objectstore/objectstore.h"
#include "platform/phone/callername.h"
#include "platform/text/localheap.h"
#include "platform/text/utf8.h"
#include "tests/platform/diallerfiles.h"
#include "tests/platform/storetestenv.h"

#include <memory>

namespace {

using storetest::Call;
using storetest::Utc;

// The calls of a log named from the address book, and deleted afterwards: a name that came from
// the address book never decides which record goes.
class ContactNames : public storetest::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        liveBefore = LocalLiveCount();
        CallerNames::UseSources({std::make_shared<ContactList>(std::vector<ContactCard>{
            {"Grace Hopper", {{"(206) 386-1234", "m", false}}},
            {"Ada Lovelace", {{"+1 425 555 1212", "w", false}, {"312-555-0100", "", false}}},
        })});
        PhoneUseAddressBooks(nullptr);
    }
    void TearDown() override {
        list.reset();
        EXPECT_EQ(LocalLiveCount(), liveBefore);
        EXPECT_EQ(StoreOpenHandleCount(), 0u);
        StoreTest::TearDown();
    }

    void Load() {
        list = std::make_unique<CallList>();
        ASSERT_EQ(list->Load(), 0);
    }

    // Each entry's name (or "-") and number text, latest first.
    std::string Shown() {
        std::string out;
        for (int position = 0; position < list->count; ++position) {
            const NVXCallEntry* entry = list->EntryAt(position);
            const std::string name = Utf16ToUtf8(entry->nameText.Data());
            out += (name.empty() ? "-" : name) + "|" + Utf16ToUtf8(entry->numberText.Data()) + "\n";
        }
        return out;
    }

    std::unique_ptr<CallList> list;
    size_t liveBefore = 0;
};

TEST_F(ContactNames, GnomeCallsHistoryInTheDiallersFormsShowsTheContacts) {
    dialler::Exec(storePath,
                  std::string(dialler::kGnomeCallsSchema) +
                      "INSERT INTO calls (target, inbound, start, answered, end, protocol) VALUES"
                      " ('tel:+12063861234', 1, '2026-12-09T10:00:00Z', NULL, '2026-12-09T10:00:30Z', 'tel'),"
                      " ('+12063861234', 0, '2026-12-09T11:00:00Z', NULL, '2026-12-09T11:01:00Z', 'tel'),"
                      " ('2063861234', 1, '2026-12-09T12:00:00Z', NULL, '2026-12-09T12:00:30Z', 'tel'),"
                      " ('tel:4255551212', 1, '2026-12-09T13:00:00Z', NULL, '2026-12-09T13:00:30Z', 'tel'),"
                      " ('tel:+12065550100', 1, '2026-12-09T14:00:00Z', NULL, '2026-12-09T14:00:30Z', 'tel');");
    Load();
    // The number as the list shows it (stripped to its digits), the contact whatever its form.
    EXPECT_EQ(Shown(), "-|12065550100\n"
                       "Ada Lovelace|4255551212 w\n"
                       "Grace Hopper|2063861234 m\n"
                       "Grace Hopper|12063861234 m\n"
                       "Grace Hopper|12063861234 m\n");
    // The middle one of Grace's three calls, and only it.
    ASSERT_EQ(list->DeleteAt(3), 0);
    EXPECT_EQ(dialler::Rows(storePath, "SELECT group_concat(id) FROM (SELECT id FROM calls ORDER BY id)"), "1,3,4,5\n");
    ASSERT_EQ(list->DeleteAt(1), 0);
    EXPECT_EQ(dialler::Rows(storePath, "SELECT group_concat(id) FROM (SELECT id FROM calls ORDER BY id)"), "1,3,5\n");
    EXPECT_EQ(dialler::Rows(storePath, "SELECT count(*) FROM calls WHERE target LIKE '%2063861234'"), "2\n");
}

TEST_F(ContactNames, PlasmaDialerHistoryInTheDiallersFormsShowsTheContacts) {
    dialler::Exec(storePath, std::string(dialler::kPlasmaDialerSchema) +
                                 "INSERT INTO History (communicationWith, direction, stateReason, startedAt, duration)"
                                 " VALUES ('+13125550100', 2, 3, '2026-12-09T10:00:00', 60),"
                                 " ('tel:+1-312-555-0100', 1, 3, '2026-12-09T11:00:00', 60),"
                                 " ('3125550100', 1, 0, '2026-12-09T12:00:00', 0),"
                                 " ('2063861234', 1, 3, '2026-12-09T13:00:00', 10);");
    Load();
    EXPECT_EQ(Shown(), "Grace Hopper|2063861234 m\n"
                       "Ada Lovelace|3125550100\n"
                       "Ada Lovelace|13125550100\n"
                       "Ada Lovelace|13125550100\n");
    ASSERT_EQ(list->DeleteAt(2), 0);
    EXPECT_EQ(dialler::Rows(storePath, "SELECT group_concat(id) FROM (SELECT id FROM History ORDER BY id)"), "1,3,4\n");
    ASSERT_EQ(list->DeleteAt(0), 0);
    EXPECT_EQ(dialler::Rows(storePath, "SELECT group_concat(id) FROM (SELECT id FROM History ORDER BY id)"), "1,3\n");
}

TEST_F(ContactNames, OwnStoreKeepsItsNamesAndDeletesNamedCallsByTheirOwnTexts) {
    AddCalls({Call(Utc(2026, 12, 9, 10, 0), u"2063861234"),
              Call(Utc(2026, 12, 9, 11, 0), u"2063861234", u"Amazing Grace"),
              Call(Utc(2026, 12, 9, 12, 0), u"4255551212", u""), Call(Utc(2026, 12, 9, 13, 0), u"2063861234")});
    Load();
    EXPECT_EQ(Shown(), "Grace Hopper|2063861234 m\n"
                       "Ada Lovelace|4255551212 w\n"
                       "Amazing Grace|2063861234\n"
                       "Grace Hopper|2063861234 m\n");
    ASSERT_EQ(list->DeleteAt(1), 0);
    ASSERT_EQ(list->DeleteAt(0), 0);
    const std::vector<CallRecordData> left = StoredCalls();
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0].startTime, Utc(2026, 12, 9, 11, 0));
    EXPECT_EQ(left[0].name, std::u16string(u"Amazing Grace"));
    EXPECT_EQ(left[1].startTime, Utc(2026, 12, 9, 10, 0));
    EXPECT_FALSE(left[1].name.has_value());
}

TEST_F(ContactNames, CallWhoseRecordGotANameMeanwhileIsNotTheCallShown) {
    AddCalls({Call(Utc(2026, 12, 9, 10, 0), u"2063861234")});
    Load();
    ASSERT_EQ(Shown(), "Grace Hopper|2063861234 m\n");
    // Another program wrote a name into the record: it is no longer the call the list shows.
    dialler::Exec(storePath, "UPDATE records SET name = 'Grace Hopper', name_type = 'm'");
    DeleteFailure failure = DeleteFailure::None;
    EXPECT_EQ(list->DeleteAt(0, &failure), -1);
    EXPECT_EQ(failure, DeleteFailure::Gone);
    EXPECT_EQ(StoredCalls().size(), 1u);
}

} // namespace
