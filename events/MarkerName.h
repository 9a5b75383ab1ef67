#pragma once

#include <QString>
#include <QStringView>

namespace kirvan {

// The name of a detector's plan marker: "SH", the two-digit system address, the two digits that
// follow "И" in the DetectorId and the two-digit detector number (SH011205 for И12-05 of
// system 1). For a record these are its characters 1-2, 5-6 and 8-9.
inline QString markerName(QStringView address, QStringView detectorId)
{
    QString name = QStringLiteral("SH");
    name.append(address).append(detectorId.mid(1, 2)).append(detectorId.mid(4, 2));
    return name;
}

} // namespace kirvan
