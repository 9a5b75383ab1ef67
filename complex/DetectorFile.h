#pragma once

#include <QChar>
#include <QString>
#include <QStringView>
#include "complex/SiteFileKeys.h"

namespace kirvan {

class IniStore;

// The detector file of one device of a system: the system file with its extension replaced by
// ".tb" and the device character (character 2 of the DetectorId).
QString detectorFilePath(const QString& systemFile, QChar deviceChar);

// The picture of a detector node by its file: "ТИП" and "СОСТОЯНИЕ" of the section named by the
// first six characters of the node's text, compared exactly; a missing file, section or key
// reads as empty (a detector of another type, switched off), and so does a file that cannot be
// read, whose reason goes to `failure`.
int configuredDetectorPicture(IniStore& store, const QString& systemFile, const QString& nodeText,
                              QString* failure = nullptr);

} // namespace kirvan
