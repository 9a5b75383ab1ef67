#pragma once

#include <array>
#include <functional>

namespace kirvan {

class TreeNode;

// Which pop-up menu the composition tree has, and which items of its normal menu treeMenu the
// selected node shows. The window builds the menus and shows this state.
class TreePopup {
public:
    enum class Menu {
        None, // until the first load that finds a system
        planMenu, // plan edit mode, system or zone: "Загрузить план", "Создать план"
        markerMenu, // plan edit mode, detector: "Установить извещатель", "Удалить извещатель"
        treeMenu, // normal mode
    };
    // The items of treeMenu, in menu order.
    enum class Item {
        Control, // "Контроль" (controlCheck)
        SoundOff, // "Отключить звук системы" (silenceSystem)
        ModulControl, // "Модуль управления" (editControlModule)
        DetectorOn, // "Включить извещатель" (switchDetectorOn)
        DetectorOff, // "Выключить извещатель" (switchDetectorOff)
        Arm, // "Поставить на охрану" (N9)
        Disarm, // "Снять с охраны" (N10)
        FirstSeparator,
        ShowOnPlan, // "Показать извещатели на плане" (N12)
        HideOnPlan, // "Скрыть извещатели на плане" (N13)
        SecondSeparator,
        SimulateFault, // "Имитировать отказ"
        SimulateFire, // "Имитировать пожар/тревогу"
    };
    static constexpr int itemCount = static_cast<int>(Item::SimulateFire) + 1;

    Menu menu() const { return menu_; }
    bool visible(Item item) const { return visible_[static_cast<std::size_t>(item)]; }

    // The normal menu, given to the tree by a load that finds a system.
    void assignNormalMenu();
    // Set by the plan display while plan edit mode is on.
    void setPlanEditMode(bool on) { planEditMode_ = on; }
    bool planEditMode() const { return planEditMode_; }

    // The pop-up of a newly selected node: in plan edit mode the menu by its level; otherwise the
    // treeMenu items for its level, the menu itself unchanged.
    void showFor(const TreeNode& node);

    // Runs after the menu or an item's visibility changed, for the window.
    void setOnChanged(std::function<void()> handler) { onChanged_ = std::move(handler); }

private:
    void setMenu(Menu menu);
    void changed();

    Menu menu_ = Menu::None;
    bool planEditMode_ = false;
    std::array<bool, itemCount> visible_ = filled(true);
    std::function<void()> onChanged_;

    static constexpr std::array<bool, itemCount> filled(bool value)
    {
        std::array<bool, itemCount> items{};
        items.fill(value);
        return items;
    }
};

} // namespace kirvan
