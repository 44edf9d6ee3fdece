#pragma once
// The main window's menu bar and its word-catching popup menu, as the window
// is designed: names, captions, radio groups, separators, the designed check
// marks and the items disabled at start.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <map>
#include <vector>

#include "ports/UiItem.h"

namespace quelp::ui {

struct RxFormMenus {
    // Every item the program drives, and the three submenus (by their own
    // entry in the parent menu: MainFilterMenu, CwFilterMenu,
    // SoundOutputFilter1).
    std::map<UiItem, QAction*> items;
    // Items of the window alone.
    QAction* setup = nullptr;     // Setup11 "Setup"
    QAction* contents = nullptr;  // Contens1 "Contents"
    QAction* about = nullptr;     // About1 "About"
    // Every menu and submenu of the bar, and the popup.
    std::vector<QMenu*> menus;
    // PopupMenu1: opened by the program on the receive text only.
    QMenu* popup = nullptr;
    std::map<QString, QAction*> popupItems;  // by name ("Title1", "Call1", ...)
};

// Builds the bar into `bar` (the window's menu bar); `owner` owns the popup.
RxFormMenus BuildRxFormMenus(QMenuBar* bar, QWidget* owner);

}  // namespace quelp::ui
