#include "transmit/ReceiverMonitor.h"

#include "platform/MessageLoop.h"
#include "platform/StatusBar.h"
#include "platform/Timer.h"
#include "transmit/TransmitterThread.h"

namespace kirvan {

ReceiverMonitor::ReceiverMonitor(const ReceiverSettings& settings, Services services) : services_(std::move(services))
{
    if (!settings.configured)
        return;
    if (!settings.errors.isEmpty()) {
        // Settings the transmitter cannot work with are an outage from the start, not silence.
        services_.statusBar.setReceiver(QStringLiteral("ПЦН: нет связи"));
        const QString reason = QStringLiteral("ошибка настройки ") + settings.errors.join(QStringLiteral("; "));
        services_.logDated(lostText(reason));
        if (services_.linkChanged)
            services_.linkChanged(true, reason);
        return;
    }
    services_.statusBar.setReceiver(QStringLiteral("ПЦН: связь есть"));
    AlarmTransmitter::Setup setup;
    setup.logPath = services_.logPath;
    setup.cursorPath = services_.cursorPath;
    setup.settings = settings;
    setup.order = JournalDateOrder(services_.locale);
    setup.nowMs = [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    thread_ = std::make_unique<TransmitterThread>(services_.link(settings), std::move(setup));
    newsTimer_ = services_.loop.createTimer();
    newsTimer_->setOnTimer([this] { takeNews(); });
    newsTimer_->setInterval(NewsIntervalMs);
    newsTimer_->setEnabled(true);
}

ReceiverMonitor::~ReceiverMonitor() = default;

void ReceiverMonitor::lineLogged()
{
    if (thread_)
        thread_->logGrew();
}

void ReceiverMonitor::setDetectors(DetectorDirectory detectors)
{
    if (thread_)
        thread_->setDetectors(std::move(detectors));
}

void ReceiverMonitor::takeNews()
{
    const TransmitterThread::News news = thread_->news();
    if (news.lost && !outage_) {
        services_.logDated(lostText(*news.lost));
        if (services_.linkChanged)
            services_.linkChanged(true, *news.lost);
        outage_ = true;
    }
    for (const QString& message : news.refused)
        services_.logDated(QStringLiteral("  ПЦН: СООБЩЕНИЕ НЕ ПРИНЯТО ПРИЕМНИКОМ: ") + message);
    if (news.restored && outage_ && !thread_->linkLost()) {
        services_.logDated(restoredText());
        if (services_.linkChanged)
            services_.linkChanged(false, {});
        outage_ = false;
    }
    services_.statusBar.setReceiver(outage_ ? QStringLiteral("ПЦН: нет связи") : QStringLiteral("ПЦН: связь есть"));
}

} // namespace kirvan
