#pragma once

#include <QString>
#include <array>
#include <functional>
#include <optional>

namespace kirvan {

class IniFile;
class LinkPort;
class StatusBar;

// The choice of the serial line's port, COM1 to COM10: the port search and the ten port actions
// IniCOM1 to IniCOM10 of one radio group, as a model the menu shows.
class PortSelection {
public:
    static constexpr int PortCount = 10;

    PortSelection(LinkPort& port, IniFile& settings, StatusBar& statusBar);

    // Closes the port, shows the actions of the ports that exist and are free, and chooses
    // `wanted` or else the port stored under "COM-порт" (default 1) when it is 1 to 10.
    void searchPorts(std::optional<int> wanted = std::nullopt);
    // choosePort1 to choosePort10: closes the port, opens port n, stores n and checks its
    // action. A port that cannot be opened is still stored and checked (frames are then lost),
    // and the status bar shows it as such.
    void choosePort(int n);

    // While the port is closed or its device gone: opens the chosen port (else the stored one)
    // as soon as it is there again. Cheap enough for every polling tick: it only looks at that
    // port, writes nothing and leaves the menu as it is.
    void reopenWhenBack();
    // While the port is closed the link cannot be normal: the lamp is red and the state panel
    // names the port and why it did not open ("COM5: нет устройства"). Nothing while it is open.
    void showPortState();
    // "COM5: нет устройства", "COM1: нет доступа (группа dialout)", or "ПОРТ ЗАКРЫТ" when no
    // opening failed.
    QString closedText() const;
    // The port as "О программе" names it: "COM3", the closed port's reason, or "не выбран".
    QString portState() const;

    bool visible(int n) const { return visible_[index(n)]; }
    // The checked port action, if any.
    std::optional<int> checked() const { return checked_; }
    // "COM1" to "COM10", and the menu texts "&COM1", "C&OM2", … "COM&10".
    static QString caption(int n);
    static QString menuText(int n);

    void setOnChanged(std::function<void()> handler) { onChanged_ = std::move(handler); }

private:
    static std::size_t index(int n) { return static_cast<std::size_t>(n - 1); }
    void changed();

    LinkPort& port_;
    IniFile& settings_;
    StatusBar& statusBar_;
    std::array<bool, PortCount> visible_{true, true, true, true, true, true, true, true, true, true};
    std::optional<int> checked_;
    std::function<void()> onChanged_;
};

} // namespace kirvan
