#include "tools/kirvan-tool/WatchCommand.h"

#include "remote/EventWatch.h"
#include "remote/MosquittoLink.h"
#include "remote/RemoteMonitor.h"
#include "tools/kirvan-tool/ToolCommand.h"

#include <condition_variable>
#include <csignal>
#include <deque>
#include <mutex>
#include <optional>
#include <pthread.h>

namespace kirvan {

namespace {

struct WatchOptions {
    RemoteSettings settings;
    bool json = false;
    long long count = -1;
};

// Nothing, and in `wrong` what is wrong, when the command line does not fit.
std::optional<WatchOptions> parse(const QStringList& arguments, QString& wrong)
{
    const auto refuse = [&wrong](const QString& what) {
        wrong = what;
        return std::nullopt;
    };
    WatchOptions options;
    options.settings.prefix = QStringLiteral("kirvan/+");
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        const bool hasValue = i + 1 < arguments.size();
        if (option == QLatin1String("--json")) {
            options.json = true;
        } else if (!hasValue) {
            return refuse(QStringLiteral("%1 needs a value").arg(option));
        } else if (option == QLatin1String("--server")) {
            options.settings.server = arguments[++i];
        } else if (option == QLatin1String("--prefix")) {
            options.settings.prefix = arguments[++i];
        } else if (option == QLatin1String("--user")) {
            options.settings.user = arguments[++i];
        } else if (option == QLatin1String("--tls")) {
            options.settings.tls = true;
            options.settings.ca = arguments[++i];
        } else if (option == QLatin1String("--count")) {
            bool ok = false;
            options.count = arguments[++i].toLongLong(&ok);
            if (!ok || options.count < 1)
                return refuse(QStringLiteral("--count takes a positive number: %1").arg(arguments[i]));
        } else {
            return refuse(QStringLiteral("unknown option: %1").arg(option));
        }
    }
    if (!parseServer(options.settings.server, options.settings.tls, options.settings.host, options.settings.port))
        return refuse(QStringLiteral("--server takes HOST:PORT: \"%1\"").arg(options.settings.server));
    options.settings.password = qEnvironmentVariable("KIRVAN_MQTT_PASSWORD");
    return options;
}

// What the link's thread hands to the command's: texts to print and states to tell.
struct Inbox {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<QString> lines;
    std::deque<QString> states;
};

} // namespace

int runWatchCommand(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QString wrong;
    const auto options = parse(arguments, wrong);
    if (!options) {
        err << "kirvan-tool: " << wrong << '\n';
        return ToolUsage;
    }
    // The stop signals are taken here, not by their default action, so the link ends cleanly;
    // the link's thread inherits the mask.
    sigset_t stops;
    sigemptyset(&stops);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&stops, signal);
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &stops, &previous);
    EventWatch watch(options->settings.prefix, options->json ? EventWatch::Form::Json : EventWatch::Form::Line);
    Inbox inbox;
    {
        MosquittoLink link(options->settings);
        link.start(BrokerLink::Handlers{[&](BrokerLink::State state) {
                                            std::lock_guard lock(inbox.mutex);
                                            inbox.states.push_back(RemoteMonitor::statusText(state));
                                            inbox.changed.notify_one();
                                        },
                                        {},
                                        [&](const QString& topic, const QByteArray& payload) {
                                            std::lock_guard lock(inbox.mutex);
                                            if (auto text = watch.take(topic, payload)) {
                                                inbox.lines.push_back(*text);
                                                inbox.changed.notify_one();
                                            }
                                        }},
                   {}, {}, {watch.subscription()});
        long long printed = 0;
        const timespec tick{0, 100'000'000};
        while (printed != options->count && sigtimedwait(&stops, nullptr, &tick) < 0) {
            std::unique_lock lock(inbox.mutex);
            for (; !inbox.states.empty(); inbox.states.pop_front())
                err << "kirvan-tool: " << inbox.states.front() << Qt::endl;
            for (; !inbox.lines.empty() && printed != options->count; inbox.lines.pop_front(), ++printed)
                out << inbox.lines.front() << Qt::endl;
        }
        link.stop();
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return ToolOk;
}

} // namespace kirvan
