#include "remote/PublisherThread.h"

#include "platform/MessageLoop.h"

#include <chrono>

namespace kirvan {

namespace {

std::int64_t nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace

PublisherThread::PublisherThread(MessageLoop& loop, std::unique_ptr<BrokerLink> link, LogPublisher::Setup setup,
                                 std::function<void(BrokerLink::State)> onState, QMap<QString, QString> names)
    : loop_(loop), link_(std::move(link)), onState_(std::move(onState)), names_(std::move(names))
{
    const QString statusTopic = setup.prefix + QStringLiteral("/status");
    setup.systemName = [this](const QString& address) { return systemName(address); };
    setup.systems = [this] { return systems(); };
    // The end of the log now, before the next line is logged: only a look at its size.
    setup.firstLine = LogTail(setup.logPath).end();
    setup_ = std::move(setup);
    link_->start(BrokerLink::Handlers{[this](BrokerLink::State state) { post(state); }, [this](int id) { post(id); }, {}},
                 statusTopic, "offline");
    thread_ = std::jthread([this](std::stop_token stop) { run(stop); });
}

PublisherThread::~PublisherThread()
{
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    thread_.request_stop();
    // Only the hand-over is let through: nothing else runs inside this end.
    loop_.serveHandOverUnderWay(mutex_, handingOver_);
    thread_.join();
    link_->stop();
}

void PublisherThread::logGrew()
{
    std::lock_guard lock(mutex_);
    grew_ = true;
    changed_.notify_one();
}

void PublisherThread::setAlarms(QByteArray json)
{
    std::lock_guard lock(mutex_);
    alarms_ = std::move(json);
    changed_.notify_one();
}

void PublisherThread::setSystemNames(QMap<QString, QString> names)
{
    std::lock_guard lock(mutex_);
    names_ = std::move(names);
}

QString PublisherThread::systemName(const QString& address)
{
    std::lock_guard lock(mutex_);
    return names_.value(address);
}

QStringList PublisherThread::systems()
{
    std::lock_guard lock(mutex_);
    return names_.keys();
}

void PublisherThread::post(News news)
{
    std::lock_guard lock(mutex_);
    news_.push_back(news);
    // Acknowledgements only move the cursor, which is saved once a second: they are taken up
    // with the next line or look, unless enough of them wait to free room in the window.
    if (std::holds_alternative<BrokerLink::State>(news) || news_.size() >= AcknowledgementBatch)
        changed_.notify_one();
}

void PublisherThread::handOver(BrokerLink::State state)
{
    if (!onState_)
        return;
    {
        std::lock_guard lock(mutex_);
        if (ending_)
            return;
        handingOver_ = true;
    }
    loop_.synchronize([&] {
        bool wanted = false;
        {
            std::lock_guard lock(mutex_);
            wanted = !ending_;
        }
        if (wanted)
            onState_(state);
    });
    std::lock_guard lock(mutex_);
    handingOver_ = false;
}

void PublisherThread::run(std::stop_token stop)
{
    // The cursor file is read and written here, never on the main thread.
    publisher_ = std::make_unique<LogPublisher>(*link_, std::move(setup_));
    const std::int64_t verdictAt = nowMs() + FirstVerdictMs;
    bool heard = false;
    while (!stop.stop_requested()) {
        std::deque<News> news;
        std::optional<QByteArray> alarms;
        bool look = false;
        {
            std::unique_lock lock(mutex_);
            // A look every LookIntervalMs even without news: lines the journal wrote late.
            look = !changed_.wait_for(lock, stop, std::chrono::milliseconds(heard ? LookIntervalMs : FirstVerdictMs),
                                      [this] { return grew_ || !news_.empty() || alarms_; })
                   || grew_;
            news.swap(news_);
            alarms.swap(alarms_);
            grew_ = false;
        }
        if (stop.stop_requested())
            break;
        const std::int64_t now = nowMs();
        for (const News& item : news) {
            if (const auto* state = std::get_if<BrokerLink::State>(&item)) {
                heard = true;
                publisher_->linkState(*state, now);
                handOver(*state);
            } else {
                publisher_->acknowledged(std::get<int>(item));
            }
        }
        if (alarms)
            publisher_->setAlarms(std::move(*alarms));
        if (!heard && now >= verdictAt) {
            heard = true;
            handOver(BrokerLink::State::Unreachable);
        }
        publisher_->pump(now, look);
    }
    // The shut-down line goes out too, and "offline" is acknowledged before the clean
    // disconnect, or the broker may never have it.
    publisher_->pump(nowMs());
    awaitAcknowledgements([this] { return publisher_->inFlight() == 0; });
    const int offline = publisher_->finish();
    bool acknowledged = offline < 0;
    awaitAcknowledgements([&] { return acknowledged; }, [&](int id) { acknowledged = acknowledged || id == offline; });
    publisher_->saveCursor();
}

void PublisherThread::awaitAcknowledgements(const std::function<bool()>& done, const std::function<void(int)>& seen)
{
    const std::int64_t end = nowMs() + OfflineWaitMs;
    while (publisher_->connected() && !done() && nowMs() < end) {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(50), [this] { return !news_.empty(); });
        for (const News& item : news_) {
            if (const auto* id = std::get_if<int>(&item)) {
                publisher_->acknowledged(*id);
                if (seen)
                    seen(*id);
            }
        }
        news_.clear();
    }
}

} // namespace kirvan
