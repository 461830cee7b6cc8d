#ifndef ZYRGUI_TOOLS_BARCREATOR_H
#define ZYRGUI_TOOLS_BARCREATOR_H

class QMenu;
class QMenuBar;
class QToolBar;

namespace ZyrGui::Intents {
class IIntentGroup;
}

// Turns an intent-group tree into menus or tool-bar buttons whose actions fire their intents.
// The created menus and actions belong to the bar; the intents must outlive them. A group that
// contains itself, directly or through its sub-groups, is not entered again.
namespace ZyrGui::BarCreator {

// Sub-groups become cascading menus; the bar is not cleared first.
void createMenuBar(QMenuBar* menuBar, Intents::IIntentGroup* intentGroup);
// The tree is flattened into one run of buttons that carry the intents' icons.
void createToolBar(QToolBar* toolBar, Intents::IIntentGroup* intentGroup);

// Fills menu, or the menu bar itself when menu is null, from the group.
void createMenu(QMenuBar* menuBar, QMenu* menu, Intents::IIntentGroup* intentGroup);
void createToolBarItems(QToolBar* toolBar, Intents::IIntentGroup* intentGroup);

} // namespace ZyrGui::BarCreator

#endif // ZYRGUI_TOOLS_BARCREATOR_H
