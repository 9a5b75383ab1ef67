#include "events/EventDispatcher.h"

#include "files/PathCase.h"
#include "files/SettingsFile.h"
#include "events/EventRecord.h"
#include "events/Reaction.h"
#include "events/Reactions.h"
#include "journal/JournalLog.h"
#include "link/RecordCodes.h"

#include <QFileInfo>

namespace kirvan {

void EventDispatcher::processEvent(const QString& record, const RecordContext& context)
{
    const int code = record::eventCode(record);
    const QString systemFile = environment_.settings.systemFile(record::address(record));
    // An address without a system file name is no system of this complex.
    if (QFileInfo(systemFile).completeBaseName().isEmpty())
        return;

    Reaction reaction(environment_, record, systemFile, code, context);
    if (!QFileInfo::exists(resolvePathCase(systemFile))) {
        // Only the link supervision of the АДС stations speaks for addresses without a file.
        if (code != recordcode::noLink)
            return;
        reactNoLinkWithAds(reaction);
    } else if (const ReactionFunction react = reactionFor(code)) {
        try {
            react(reaction);
        } catch (...) {
            // A refused detector-file write ends the reaction, but the event did happen: a lost
            // journal line is worse than a lost file write.
            if (!reaction.journalLine().isEmpty())
                environment_.log.logEvent(reaction.journalLine());
            throw;
        }
    }
    if (!reaction.journalLine().isEmpty())
        environment_.log.logEvent(reaction.journalLine());
    if (onInterpreted_)
        onInterpreted_(reaction.interpretation());
}

} // namespace kirvan
