#pragma once

// The real program on the phone screen over a store of known calls: a fresh store and city database
// in a temporary folder, "now" pinned to Wednesday 9 December 2026, 15:00 UTC, and the program's
// screen font, so the view's tests start from a known list.
#include "../calllog/citydbfile.h"
#include "../platform/storetestenv.h"
#include "tests/support/guitest.h"
#include "tests/support/programstart.h"

#include "app/mainframe.h"
#include "app/ringlogapp.h"
#include "platform/files/programfiles.h"
#include "platform/resources/resourcemodule.h"
#include "platform/ui/dialog.h"
#include "platform/ui/listcontrol.h"
#include "view/ringlogview.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTimer>

#include <functional>
#include <memory>

#include <string>
#include <vector>

namespace viewtest {

using namespace guitest;
using storetest::Call;
using storetest::Utc;

constexpr int32_t kMissed = 0;
constexpr int32_t kIncoming = 1;
constexpr int32_t kOutgoing = 2;

// Nine calls, newest first, five minutes apart from 14:50: 3 missed (positions 1, 4, 7), 2 incoming
// (2, 6) and 4 outgoing (0, 3, 5, 8). The number ends in the position.
inline std::vector<CallRecordData> NineCalls() {
    const int32_t types[] = {kOutgoing, kMissed,   kIncoming, kOutgoing, kMissed,
                             kOutgoing, kIncoming, kMissed,   kOutgoing};
    std::vector<CallRecordData> calls;
    for (int i = 0; i < 9; ++i) {
        std::u16string number = u"425555010" + std::u16string(1, static_cast<char16_t>(u'0' + i));
        calls.push_back(Call(Utc(2026, 12, 9, 14, 50 - 5 * i), number.c_str(), nullptr, types[i]));
    }
    return calls;
}

class ViewTest : public storetest::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        guitest::RecordExitsInsteadOfEnding();
        citydbfile::Write(dir + "/Zonrik.dll");
        SetCityDatabaseOverride(dir + "/Zonrik.dll");
        // The program's own screen font: 12-pixel DejaVu Sans.
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(12);
        QApplication::setFont(font);
    }

    void TearDown() override {
        SetCityDatabaseOverride("");
        StoreTest::TearDown();
    }

    // Starts the program on the calls, given newest first, and lets the first paint happen.
    void Start(const std::vector<CallRecordData>& calls) {
        if (!calls.empty()) {
            AddCalls(calls);
        }
        frame = StartProgram();
        ASSERT_NE(frame, nullptr);
        view = dynamic_cast<CRinglogView*>(frame->GetActiveView());
        ASSERT_NE(view, nullptr);
        Settle();
    }

    // Paints the screen and lets the soft keys catch up, as the phone does between inputs.
    QImage Settle() {
        QApplication::processEvents();
        Screen();
        QApplication::processEvents();
        return Screen();
    }

    // What the list window shows now, in its own coordinates.
    QImage Screen() { return List()->grab().toImage(); }

    ListControl* List() { return view->GetListCtrl().Control(); }
    CListCtrl& Rows() { return view->GetListCtrl(); }

    std::vector<int> ItemData() {
        std::vector<int> data;
        for (int row = 0; row < Rows().GetItemCount(); ++row) {
            data.push_back(static_cast<int>(Rows().GetItemData(row)));
        }
        return data;
    }

    std::vector<int> SelectedRows() {
        std::vector<int> rows;
        for (int row = 0; row < Rows().GetItemCount(); ++row) {
            if (Rows().GetItemState(row, LVIS_SELECTED) != 0) {
                rows.push_back(row);
            }
        }
        return rows;
    }

    void Key(Qt::Key key) {
        QTest::keyClick(List(), key);
        QApplication::processEvents();
    }

    // Opens the main menu with the right soft key and taps an item, in a submenu when given.
    void ChooseFromMenu(const QString& item, const QString& submenu = QString()) {
        guitest::TapSoftKey(1);
        QMenu* menu = Phone()->SoftKeys()->OpenMenu();
        ASSERT_NE(menu, nullptr);
        if (!submenu.isEmpty()) {
            menu = OpenSubmenu(menu, submenu);
            ASSERT_TRUE(menu != nullptr && menu->isVisible());
        }
        QAction* action = guitest::FindAction(menu, item);
        ASSERT_NE(action, nullptr) << item.toStdString();
        guitest::TapMenuItem(menu, action);
    }

    // Highlights the item of a submenu and opens it with the Right key.
    static QMenu* OpenSubmenu(QMenu* menu, const QString& item) {
        QAction* open = guitest::FindAction(menu, item);
        if (open == nullptr || open->menu() == nullptr) {
            return nullptr;
        }
        menu->setActiveAction(open);
        QTest::keyClick(menu, Qt::Key_Right);
        QApplication::processEvents();
        return open->menu();
    }

    // The enabled state of a main-menu item, as the open menu shows it; the menu is closed again.
    bool MenuItemEnabled(const QString& item) {
        guitest::TapSoftKey(1);
        QMenu* menu = Phone()->SoftKeys()->OpenMenu();
        QAction* action = menu != nullptr ? guitest::FindAction(menu, item) : nullptr;
        const bool enabled = action != nullptr && action->isEnabled();
        if (menu != nullptr) {
            menu->close();
            QApplication::processEvents();
        }
        return enabled;
    }

    CMainFrame* frame = nullptr;
    CRinglogView* view = nullptr;
};

} // namespace viewtest
