#include "tools/kirvan-complex/LoadMeasurement.h"

#include "complex/CompositionTree.h"
#include "complex/ConfigurationLoader.h"
#include "files/IniStore.h"
#include "files/SettingsFile.h"
#include "complex/TreePopup.h"
#include "complex/TreeSelection.h"
#include "link/LinkPort.h"
#include "link/PanelLink.h"
#include "link/PanelLinkControl.h"
#include "platform/Dialogs.h"
#include "platform/QtMessageLoop.h"
#include "platform/StatusBar.h"
#include "platform/SystemLocale.h"

#include <QDir>
#include <QFile>
#include <chrono>
#include <ctime>
#include <malloc.h>

using namespace Qt::StringLiterals;

namespace kirvan {

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Processor time of this thread; on a shared computer it tells the work from waiting for a core.
double threadCpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// A port that is not open, as at start-up: frames sent go nowhere.
class ClosedPort final : public LinkPort {
public:
    int inCount() override { return 0; }
    std::uint8_t readByte() override { return 0; }
    void setParity(Parity) override {}
    int outFree() override { return 0; }
    void writeByte(std::uint8_t) override {}
    bool allSent() override { return true; }
    void close() override {}
    void openNumber(int) override {}
    bool isOpen() const override { return false; }
    bool deviceLost() const override { return false; }
    int openError() const override { return 0; }
    bool probe(int) override { return false; }
    void setOnBytesArrived(BytesArrivedHandler) override {}
};

// Nobody answers message boxes here: each, and each notice, is written out and confirmed.
class PrintedDialogs final : public Dialogs {
public:
    explicit PrintedDialogs(QTextStream& out) : out_(out) {}
    void notice(const QString& caption, const QString& text, Icon icon) override
    {
        messageBox(caption, text, icon, Buttons::Ok);
    }
    Answer messageBox(const QString& caption, const QString& text, Icon, Buttons) override
    {
        out_ << caption << u": "_s << text << Qt::endl;
        return Answer::Ok;
    }
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> openFile(const QString&, const QString&, const QString&) override { return {}; }

private:
    QTextStream& out_;
};

// The link with the time spent in Delay counted, so that the fixed wait can be taken off.
class TimedLinkControl final : public LinkControl {
public:
    explicit TimedLinkControl(LinkControl& link) : link_(link) {}
    void resetForLoad() override { link_.resetForLoad(); }
    void acceptSystem(int address) override { link_.acceptSystem(address); }
    void delay(int ms) override
    {
        const auto start = Clock::now();
        link_.delay(ms);
        delayedMs += millisecondsSince(start);
    }
    void startPolling() override { link_.startPolling(); }
    void stopPolling() override { link_.stopPolling(); }

    double delayedMs = 0;

private:
    LinkControl& link_;
};

// VmRSS or VmHWM of this process in kB, from /proc/self/status.
long statusKilobytes(QStringView key)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        const QString text = QString::fromLatin1(line);
        if (text.startsWith(key) && text.mid(key.size()).startsWith(u':'))
            return text.mid(key.size() + 1).trimmed().section(u' ', 0, 0).toLong();
    }
    return -1;
}

// The heap that parsed INI files take in the cache, against the size of the files: every INI file
// of the folder read once through a store of its own.
void measureCache(const QString& folder, const Locale& locale, QTextStream& out)
{
    const QFileInfoList files = QDir(folder).entryInfoList({u"*.ini"_s, u"*.cnf"_s, u"*.tb?"_s}, QDir::Files);
    IniStore store(locale);
    const std::size_t heapBefore = mallinfo2().uordblks;
    qint64 fileBytes = 0;
    int read = 0;
    for (const QFileInfo& file : files) {
        // The composition file is no INI file.
        if (file.fileName().compare(u"kirvanmonitorp.cnf"_s, Qt::CaseInsensitive) == 0)
            continue;
        store.read(file.filePath(), [](const IniDocument&) {});
        fileBytes += file.size();
        ++read;
    }
    const auto heapBytes = static_cast<double>(mallinfo2().uordblks - heapBefore);
    out << u"INI cache: "_s << read << u" files of "_s << QString::number(static_cast<double>(fileBytes) / 1e6, 'f', 2)
        << u" MB take "_s << QString::number(heapBytes / 1e6, 'f', 2) << u" MB parsed ("_s
        << QString::number(heapBytes / static_cast<double>(fileBytes), 'f', 2) << u" times the files)"_s << Qt::endl;
}

} // namespace

int measureLoad(const QString& folder, QTextStream& out)
{
    QtMessageLoop loop;
    const SystemLocale locale;
    IniStore store(locale);
    SettingsFile settings(store, WorkstationFolder(folder));
    StatusBar statusBar;
    ClosedPort port;
    PanelLink link(loop, port, settings.ini(), statusBar, [](const QString&) {});
    PanelLinkControl control(link, loop);
    TimedLinkControl timed(control);
    CompositionTree tree;
    TreePopup popup;
    TreeSelection selection(popup);
    tree.setOnSelectionChanged([&selection](TreeNode* node) { selection.treeSelectionChanged(node); });
    PrintedDialogs dialogs(out);
    ConfigurationLoader loader(tree, settings, store, statusBar, dialogs, timed, popup);

    out << u"resident before loading: "_s << statusKilobytes(u"VmRSS") << u" kB"_s << Qt::endl;
    for (const QString& run : {u"first load (files not yet cached)"_s, u"second load"_s}) {
        timed.delayedMs = 0;
        const auto start = Clock::now();
        const double cpuStart = threadCpuMilliseconds();
        loader.loadConfiguration();
        const double cpuMs = threadCpuMilliseconds() - cpuStart;
        const double totalMs = millisecondsSince(start);
        out << run << u": "_s << tree.count() << u" nodes, "_s << link.cycle().systemCount() << u" systems; "_s
            << QString::number(totalMs - timed.delayedMs, 'f', 1) << u" ms without the delay ("_s
            << QString::number(timed.delayedMs, 'f', 1) << u" ms), processor time "_s << QString::number(cpuMs, 'f', 1)
            << u" ms"_s << Qt::endl;
    }
    out << u"resident with the tree loaded: "_s << statusKilobytes(u"VmRSS") << u" kB, peak "_s
        << statusKilobytes(u"VmHWM") << u" kB"_s << Qt::endl;
    measureCache(folder, locale, out);
    return 0;
}

} // namespace kirvan
