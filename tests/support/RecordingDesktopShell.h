#pragma once

#include "platform/DesktopShell.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace kirvan::testing {

// A desktop shell that only notes what it was asked to open and start, in order.
class RecordingDesktopShell final : public DesktopShell {
public:
    struct Start {
        QString program;
        QStringList arguments;
        bool operator==(const Start&) const = default;
    };

    bool openDocument(const QString& path) override
    {
        opened.push_back(path);
        return opens;
    }
    void startProgram(const QString& program, const QStringList& arguments) override
    {
        started.push_back({program, arguments});
    }

    bool opens = true; // false: the desktop has no program for the document
    std::vector<QString> opened;
    std::vector<Start> started;
};

} // namespace kirvan::testing
