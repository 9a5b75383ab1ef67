#include "app/RejectedRecordReport.h"

#include "platform/Dialogs.h"
#include "platform/MessageLoop.h"
#include "platform/StatusBar.h"
#include "platform/Timer.h"

namespace kirvan {

RejectedRecordReport::RejectedRecordReport(MessageLoop& loop, Dialogs& dialogs, StatusBar& statusBar)
    : dialogs_(dialogs), statusBar_(statusBar), boxTimer_(loop.createTimer())
{
    boxTimer_->setInterval(1);
    boxTimer_->setOnTimer([this] { showBox(); });
}

RejectedRecordReport::~RejectedRecordReport() = default;

QString RejectedRecordReport::text(const QString& record, const QString& reason)
{
    return QStringLiteral("Событие %1 не обработано.\nПричина: %2").arg(record, reason);
}

void RejectedRecordReport::report(const QString& record, const QString& reason)
{
    if (boxBusy_) {
        statusBar_.setMessagePanel(text(record, reason).replace(u'\n', u' '));
        return;
    }
    boxBusy_ = true;
    boxText_ = text(record, reason);
    boxTimer_->setEnabled(true);
}

void RejectedRecordReport::showBox()
{
    boxTimer_->setEnabled(false);
    struct Done {
        bool& busy;
        ~Done() { busy = false; }
    } done{boxBusy_};
    dialogs_.notice(QStringLiteral("Ошибка"), boxText_, Dialogs::Icon::Error);
}

} // namespace kirvan
