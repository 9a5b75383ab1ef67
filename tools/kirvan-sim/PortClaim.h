#pragma once

#include <QString>

namespace kirvan {
class PseudoTerminal;
}

namespace kirvan::sim {

// The simulator's hold on ports/COMn of a workstation folder: a lock on ports/COMn.lock, held
// while the simulator runs (the system drops it when the process ends in any way), and the link
// ports/COMn to its pseudo-terminal, removed when the claim ends.
class PortClaim {
public:
    // Throws ComplexError when another simulator holds the port, or when ports/COMn is a real
    // device or an adapter's link, which the simulator must not replace.
    PortClaim(const QString& folder, int comNumber, const PseudoTerminal& line);
    ~PortClaim();
    PortClaim(const PortClaim&) = delete;
    PortClaim& operator=(const PortClaim&) = delete;

    const QString& linkPath() const { return link_; }

private:
    QString link_;
    QString slavePath_;
    int lock_ = -1;
};

} // namespace kirvan::sim
