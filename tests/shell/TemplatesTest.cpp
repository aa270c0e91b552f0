// Menu and toolbar data against what the main window relies on: unique
// commands, run-time submenus where relabelling looks for them, one image per
// toolbar position up to the trend tools, the period placeholder.
#include "resources/MenuTemplate.h"
#include "resources/ToolbarTemplate.h"

#include <gtest/gtest.h>

#include <set>

namespace {

void CollectItems(std::span<const MenuEntryTemplate> entries, std::set<int>& ids) {
    for (const MenuEntryTemplate& entry : entries) {
        if (entry.kind == MenuEntryKind::Item) {
            EXPECT_TRUE(ids.insert(entry.id).second) << entry.id;
        }
        EXPECT_EQ(entry.kind == MenuEntryKind::Popup, !entry.Children().empty());
        CollectItems(entry.Children(), ids);
    }
}

TEST(MenuTemplateTest, CommandsAreUniqueAndTheRuntimeSubmenusSitWhereRelabellingLooks) {
    const MenuTemplate& menu = MainMenuTemplate();
    std::set<int> ids;
    CollectItems(menu.popups, ids);
    const auto environment = menu.popups[2].Children();
    ASSERT_EQ(environment.size(), 3u);
    for (const auto& [submenu, first] : {std::pair{environment[0], kFirstPortCommand},
                                         std::pair{environment[2], kFirstLanguageCommand}}) {
        ASSERT_EQ(submenu.Children().size(), static_cast<std::size_t>(kMenuRuntimeEntries));
        for (int i = 0; i < kMenuRuntimeEntries; ++i) {
            EXPECT_EQ(submenu.Children()[static_cast<std::size_t>(i)].id, first + i);
        }
    }
    EXPECT_EQ(FindMenuItem(menu, 0), nullptr) << "popups and separators are not items";
}

TEST(ToolbarTemplateTest, ImagesTooltipsAndThePeriodPlaceholder) {
    const auto toolbar = MainToolbarTemplate();
    std::set<int> ids;
    for (std::size_t position = 0; position < toolbar.size(); ++position) {
        const ToolbarEntryTemplate& entry = toolbar[position];
        SCOPED_TRACE(position);
        EXPECT_EQ(entry.icon != 0, static_cast<int>(position) < kToolbarImageCount);
        EXPECT_EQ(entry.kind == ToolbarEntryKind::Separator, entry.tooltipKey.empty());
        if (entry.kind != ToolbarEntryKind::Separator) {
            EXPECT_TRUE(ids.insert(entry.id).second);
        }
    }
    EXPECT_TRUE(ids.contains(kPeriodComboId));
    // Every command of the process menu has its button.
    for (const MenuEntryTemplate& item : MainMenuTemplate().popups[1].Children()) {
        EXPECT_TRUE(ids.contains(item.id)) << item.id;
    }
}

} // namespace
