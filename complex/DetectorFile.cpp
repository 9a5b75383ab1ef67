#include "complex/DetectorFile.h"

#include "files/IniStore.h"
#include "complex/StateIcon.h"

#include <QFileInfo>

namespace kirvan {

QString detectorFilePath(const QString& systemFile, QChar deviceChar)
{
    const QFileInfo info(systemFile);
    const QString suffix = info.suffix();
    const QString stem = suffix.isEmpty() && !systemFile.endsWith(QLatin1Char('.'))
                             ? systemFile
                             : systemFile.left(systemFile.size() - suffix.size() - 1);
    return stem + QStringLiteral(".tb") + deviceChar;
}

int configuredDetectorPicture(IniStore& store, const QString& systemFile, const QString& nodeText, QString* failure)
{
    bool security = false;
    bool switchedOn = false;
    // Without a system file there is no detector file, and a text of one character names no
    // device.
    if (!systemFile.isEmpty() && nodeText.size() > 1) {
        const QStringView section = QStringView(nodeText).left(6);
        const QString unread = store.read(detectorFilePath(systemFile, nodeText[1]), [&](const IniDocument& document) {
            security = document.value(section, detectorfile::keyType) == detectorfile::typeSecurity;
            switchedOn = document.value(section, detectorfile::keyState) == detectorfile::stateOn;
        });
        if (failure)
            *failure = unread;
    }
    return stateicon::detector(security, switchedOn);
}

} // namespace kirvan
