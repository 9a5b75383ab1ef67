#pragma once

#include "files/IniFile.h"
#include "events/EventEnvironment.h"
#include "events/Interpretation.h"
#include "events/RecordContext.h"

#include <QDateTime>
#include <QHash>
#include <QString>

namespace kirvan {

// The work on one record: its context (system, detector, files), the journal line being built,
// and the shared ways of filling a row, composing the line and marking the tree.
class Reaction {
public:
    Reaction(EventEnvironment& environment, const QString& record, const QString& systemFile, int code,
             const RecordContext& context = {});

    const QString& record() const { return record_; }
    const QString& systemName() const { return systemName_; }
    const QString& detectorId() const { return detectorId_; }
    QChar deviceChar() const;
    int code() const { return code_; }
    const RecordContext& context() const { return context_; }
    // Character n of the record, counted from 1.
    QChar at(int position) const;

    IniFile& systemFile() { return systemFile_; }
    IniFile& detectorFile() { return detectorFile_; }
    // A value of the detector's section; missing reads as empty.
    QString detectorValue(QStringView key) const;
    void writeDetectorValue(QStringView key, QStringView value);

    EventServices& services() { return environment_.services; }
    CompositionTree& tree() { return environment_.tree; }

    QString& journalLine() { return journalLine_; }
    // record, date, time and SystemName, then the suffix.
    void shortLine(const QString& suffix);
    // Fills row journalRow: number, status word, object, message, date, time.
    void fillRow(const QString& status, const QString& object, const QString& message);
    void fillRow(const QString& status, const QString& message) { fillRow(status, systemName_, message); }
    void rowLine();
    void complexLine();
    void adsLine();
    void commitRow(int offset);
    // The record is a fire, technology or fault alarm (Annunciation's levels).
    void announce(int level);
    // What the record, once reacted to, says about the complex now.
    Interpretation interpretation() const;

    // The fault row of a detector or point: the fault alarm, unless an alarm it yields to is
    // shown (then only a steady yellow marker), the row form of the line, the detector's node.
    enum class FaultYieldsTo { Fire, FireAndTechnology };
    void pointFault(const QString& message, FaultYieldsTo yieldsTo);

    enum class Marking { Fire, Technology, Fault };
    void markDetectorNode(Marking marking);
    void markSystemNode(int stateIcon);
    // Every system node of the record's address, whatever the fire counter.
    void markEverySystemNode(int stateIcon);

    // The regional-settings forms of the moment the record is interpreted.
    QString date() const;
    QString time() const;

private:
    QString cell(int column) const;
    QString rowStart() const;

    EventEnvironment& environment_;
    const QString record_;
    const QDateTime moment_;
    const int code_;
    const RecordContext context_;
    // A fire was shown before this record: the display stays with it.
    const bool fireShownBefore_;
    bool announcedFire_ = false;
    std::optional<int> announced_;
    // The message of the row filled, kept past its commit.
    std::optional<QString> rowMessage_;
    QString systemName_;
    QString detectorId_;
    IniFile systemFile_;
    IniFile detectorFile_;
    // Values of the detector's section already read for this record: one record reads its zone
    // and text several times, and each read looks at the file again.
    mutable QHash<QString, QString> detectorValues_;
    QString journalLine_;
};

} // namespace kirvan
