#include "viewer/JournalViewer.h"

#include "app/GuardedSlot.h"
#include "dialogs/FileChooser.h"
#include "archive/ExportTarget.h"
#include "archive/IndexCache.h"
#include "archive/JournalExport.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/Timer.h"
#include "platform/Worker.h"
#include "viewer/JournalPrint.h"
#include "viewer/JournalViewerModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QScreen>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace kirvan {

namespace {

constexpr int FollowIntervalMs = 1000;

QPushButton* button(const QString& caption, QWidget* owner, MessageLoop& loop, const std::function<void()>& action)
{
    auto* b = new QPushButton(caption);
    QObject::connect(b, &QPushButton::clicked, owner, guardedSlot(loop, action));
    return b;
}

// The period fields show minutes; they hold no hidden seconds either.
QDateTime wholeMinute(const QDateTime& at)
{
    return QDateTime(at.date(), QTime(at.time().hour(), at.time().minute()));
}

} // namespace

JournalViewer::JournalViewer(QString logPath, const ViewerServices& platform, QString cacheFolder, QWidget* parent)
    : QWidget(parent, Qt::Window),
      logPath_(std::move(logPath)),
      cacheFolder_(std::move(cacheFolder)),
      order_(platform.locale),
      clock_(platform.clock),
      loop_(platform.loop),
      dialogs_(platform.dialogs),
      follow_(platform.loop.createTimer()),
      exportRun_(platform.loop, platform.workers),
      keeper_(platform.workers.create()),
      reader_(platform.workers.create())
{
    setObjectName(QStringLiteral("JournalViewer"));
    setWindowTitle(QStringLiteral("Просмотр журнала"));
    auto* layout = new QVBoxLayout(this);
    buildFilterBar();
    // The filter's check boxes grow with the letters ("Масштаб"), as every other part of the
    // program does; the style draws their squares at one size for any font.
    const int indicator = std::max(style()->pixelMetric(QStyle::PM_IndicatorWidth), fontMetrics().height() * 3 / 4);
    setStyleSheet(QStringLiteral("QCheckBox::indicator { width: %1px; height: %1px; }").arg(indicator));
    model_ = new JournalViewerModel(this);
    table_ = new QTableView;
    table_->setObjectName(QStringLiteral("JournalTable"));
    table_->setModel(model_);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 4);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The design's widths were made for 12-pixel letters; no column is narrower than its caption.
    const int widths[] = {80, 64, 60, 80, 40};
    const double letters = table_->fontMetrics().height() / 15.0;
    for (int column = 0; column < 5; ++column)
        table_->setColumnWidth(column, std::max(static_cast<int>(widths[column] * letters),
                                                table_->horizontalHeader()->sectionSizeHint(column)));
    layout->addWidget(table_, 1);

    auto* bottom = new QHBoxLayout;
    count_ = new QLabel;
    count_->setObjectName(QStringLiteral("JournalCount"));
    bottom->addWidget(count_, 1);
    auto* exportButton = button(QStringLiteral("Экспорт в CSV…"), this, loop_, [this] { exportCsvAsked(); });
    // A guard room's keyboard reaches the export without the mouse, as the workstation's commands.
    exportButton->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    bottom->addWidget(exportButton);
    bottom->addWidget(button(QStringLiteral("Сохранить в PDF…"), this, loop_, [this] { printAsked(true); }));
    bottom->addWidget(button(QStringLiteral("Печать…"), this, loop_, [this] { printAsked(false); }));
    layout->addLayout(bottom);

    follow_->setInterval(FollowIntervalMs);
    follow_->setOnTimer([this] { followLog(); });
    follow_->setEnabled(true);
    showCount();
    startWork();
    // As large as the design's window at the scale of the letters, within the screen.
    const QSize wanted(fontMetrics().averageCharWidth() * 150, fontMetrics().height() * 36);
    const QSize room = screen() ? screen()->availableGeometry().size() * 0.95 : wanted;
    resize(wanted.boundedTo(room).expandedTo(minimumSizeHint()));
}

JournalViewer::~JournalViewer() = default;

void JournalViewer::buildFilterBar()
{
    const auto filterChanged = guardedSlot(loop_, [this] { applyFilter(); });
    auto* period = new QHBoxLayout;
    fromOn_ = new QCheckBox(QStringLiteral("с"));
    from_ = new QDateTimeEdit;
    toOn_ = new QCheckBox(QStringLiteral("по"));
    to_ = new QDateTimeEdit;
    for (QDateTimeEdit* edit : {from_, to_}) {
        edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy H:mm"));
        edit->setCalendarPopup(true);
        edit->setDateTime(wholeMinute(clock_.now()));
    }
    period->addWidget(new QLabel(QStringLiteral("Период:")));
    period->addWidget(fromOn_);
    period->addWidget(from_);
    period->addWidget(toOn_);
    period->addWidget(to_);
    period->addWidget(button(QStringLiteral("последний час"), this, loop_, [this] { showPeriodFrom(3600); }));
    period->addWidget(button(QStringLiteral("сутки"), this, loop_, [this] { showPeriodFrom(24 * 3600); }));
    period->addWidget(button(QStringLiteral("неделя"), this, loop_, [this] { showPeriodFrom(7 * 24 * 3600); }));
    period->addWidget(button(QStringLiteral("всё время"), this, loop_, [this] { showPeriodFrom(0); }));
    period->addStretch();

    auto* what = new QHBoxLayout;
    what->addWidget(new QLabel(QStringLiteral("Система:")));
    system_ = new QComboBox;
    system_->addItem(QStringLiteral("все"), -1);
    for (int address = 0; address <= 3; ++address)
        system_->addItem(QStringLiteral("%1").arg(address, 2, 10, QChar(u'0')), address);
    what->addWidget(system_);
    what->addStretch();
    // The kinds in rows of four: in one row they would run off a screen at a large scale.
    constexpr int kindsInARow = 4;
    auto* kinds = new QGridLayout;
    for (int kind = 0; kind < JournalKindCount; ++kind) {
        auto* box = new QCheckBox(journalKindName(JournalKind(kind)));
        box->setChecked(true);
        kinds_[std::size_t(kind)] = box;
        kinds->addWidget(box, kind / kindsInARow, kind % kindsInARow);
        connect(box, &QCheckBox::toggled, this, filterChanged);
    }
    kinds->setColumnStretch(kindsInARow, 1);
    // The search has a row of its own: beside the kinds it would be squeezed below its hint at a
    // large scale.
    auto* search = new QHBoxLayout;
    search->addWidget(new QLabel(QStringLiteral("Поиск:")));
    text_ = new QLineEdit;
    text_->setObjectName(QStringLiteral("JournalText"));
    text_->setPlaceholderText(QStringLiteral("извещатель или текст"));
    text_->setClearButtonEnabled(true);
    text_->setMinimumWidth(text_->fontMetrics().horizontalAdvance(text_->placeholderText() + QStringLiteral("ШШШШ")));
    search->addWidget(text_, 1);
    search->addWidget(new QLabel(QStringLiteral("Оператор:")));
    operator_ = new QComboBox;
    operator_->setObjectName(QStringLiteral("JournalOperator"));
    operator_->setEditable(true);
    operator_->lineEdit()->setPlaceholderText(QStringLiteral("все"));
    operator_->setInsertPolicy(QComboBox::NoInsert);
    // Room for a name as long as a person's usually is, and for the hint.
    operator_->setMinimumContentsLength(16);
    operator_->addItem(QString());
    search->addWidget(operator_);

    for (QCheckBox* box : {fromOn_, toOn_})
        connect(box, &QCheckBox::toggled, this, filterChanged);
    for (QDateTimeEdit* edit : {from_, to_})
        connect(edit, &QDateTimeEdit::dateTimeChanged, this, filterChanged);
    connect(system_, &QComboBox::currentIndexChanged, this, filterChanged);
    connect(text_, &QLineEdit::textChanged, this, filterChanged);
    connect(operator_, &QComboBox::currentTextChanged, this, filterChanged);

    auto* rows = qobject_cast<QVBoxLayout*>(layout());
    rows->addLayout(period);
    rows->addLayout(what);
    rows->addLayout(kinds);
    rows->addLayout(search);
}

JournalFilter JournalViewer::filter() const
{
    JournalFilter filter;
    if (fromOn_->isChecked())
        filter.from = from_->dateTime();
    if (toOn_->isChecked())
        filter.to = to_->dateTime();
    filter.address = system_->currentData().toInt();
    filter.kinds = 0;
    for (int kind = 0; kind < JournalKindCount; ++kind)
        if (kinds_[std::size_t(kind)]->isChecked())
            filter.kinds |= kindBit(JournalKind(kind));
    filter.text = text_->text().trimmed();
    filter.operatorName = operator_->currentText().trimmed();
    return filter;
}

void JournalViewer::setOperatorNames(const QStringList& names)
{
    updatingFields_ = true;
    const QString chosen = operator_->currentText();
    operator_->clear();
    operator_->addItem(QString());
    operator_->addItems(names);
    operator_->setCurrentText(chosen);
    updatingFields_ = false;
}

void JournalViewer::setFilter(const JournalFilter& filter)
{
    updatingFields_ = true;
    fromOn_->setChecked(filter.from.isValid());
    if (filter.from.isValid())
        from_->setDateTime(filter.from);
    toOn_->setChecked(filter.to.isValid());
    if (filter.to.isValid())
        to_->setDateTime(filter.to);
    system_->setCurrentIndex(std::max(0, system_->findData(filter.address)));
    for (int kind = 0; kind < JournalKindCount; ++kind)
        kinds_[std::size_t(kind)]->setChecked((filter.kinds & kindBit(JournalKind(kind))) != 0);
    text_->setText(filter.text);
    operator_->setCurrentText(filter.operatorName);
    updatingFields_ = false;
    applyFilter();
}

void JournalViewer::showPeriodFrom(qint64 secondsBack)
{
    JournalFilter wanted = filter();
    wanted.from = secondsBack > 0 ? wholeMinute(clock_.now().addSecs(-secondsBack)) : QDateTime();
    wanted.to = QDateTime();
    setFilter(wanted);
}

void JournalViewer::applyFilter()
{
    if (updatingFields_)
        return;
    filterWanted_ = true;
    startWork();
}

void JournalViewer::startWork()
{
    if (running_)
        return; // taken up when the running work is done
    running_ = true;
    const bool rebuild = rebuildWanted_;
    rebuildWanted_ = filterWanted_ = false;
    count_->setText(countText());
    // Over this window only: the main window is not kept waiting.
    setCursor(Qt::BusyCursor);
    reader_->post([this, rebuild, path = logPath_, cache = cacheFolder_, order = order_, index = model_->index(),
                   wanted = filter()](std::stop_token stop) mutable -> Worker::Routine {
        // The index now shown stays in use until the new one is there; both lie on disk.
        if (rebuild)
            index = JournalIndex::build(path, order, stop, cache);
        std::vector<std::uint32_t> rows = index.select(wanted, 0, stop);
        return [this, rebuild, index = std::move(index), rows = std::move(rows)]() mutable {
            workDone(std::move(index), std::move(rows));
            if (rebuild)
                keepIndex(model_->index());
        };
    });
}

void JournalViewer::keepIndex(const JournalIndex& index)
{
    if (cacheFolder_.isEmpty())
        return;
    keeper_->post([index, cache = cacheFolder_, now = clock_.now()](std::stop_token stop) -> Worker::Routine {
        index.keep(stop);
        if (!stop.stop_requested())
            tidyIndexCache(cache, now, index.keptNames());
        return {};
    });
}

void JournalViewer::workDone(JournalIndex index, std::vector<std::uint32_t> rows)
{
    running_ = false;
    unsetCursor();
    model_->reset(std::move(index), std::move(rows));
    // The newest lines are the last ones; a filter shows its newest too.
    table_->scrollToBottom();
    showCount();
    if (rebuildWanted_ || filterWanted_)
        startWork();
}

void JournalViewer::followLog()
{
    if (running_)
        return;
    JournalIndex index = model_->index();
    const qsizetype before = index.size();
    switch (index.follow()) {
    case JournalIndex::Follow::Unchanged:
        return;
    case JournalIndex::Follow::Rotated:
        rebuildWanted_ = true;
        startWork();
        return;
    case JournalIndex::Follow::Appended:
        break;
    }
    const bool atBottom = table_->verticalScrollBar()->value() == table_->verticalScrollBar()->maximum();
    const std::vector<std::uint32_t> rows = index.select(filter(), before);
    model_->append(std::move(index), rows);
    if (atBottom)
        table_->scrollToBottom();
    showCount();
}

qsizetype JournalViewer::shownLines() const
{
    return qsizetype(model_->rows().size());
}

qsizetype JournalViewer::totalLines() const
{
    return model_->index().size();
}

QString JournalViewer::countText() const
{
    if (running_ && totalLines() == 0)
        return QStringLiteral("Чтение журнала…");
    const qsizetype undated = model_->index().undated();
    return QStringLiteral("Показано строк: %1 из %2%3%4")
        .arg(shownLines())
        .arg(totalLines())
        .arg(undated > 0 ? QStringLiteral("; не удалось прочитать дату: %1").arg(undated) : QString())
        .arg(running_ ? QStringLiteral(" (идёт отбор…)") : QString());
}

void JournalViewer::showCount()
{
    count_->setText(countText());
}

bool JournalViewer::targetAllowed(const QString& file)
{
    const auto refusal = exportRefusal(file, QFileInfo(logPath_).absolutePath());
    if (refusal)
        dialogs_.notice(QStringLiteral("Файл не записан"), *refusal, Dialogs::Icon::Warning);
    return !refusal;
}

bool JournalViewer::exportCsv(const QString& file)
{
    if (!targetAllowed(file))
        return false;
    exportRun_.start(this, QStringLiteral("Экспорт журнала в CSV…"), model_->rows().size(),
                     [file, index = model_->index(), rows = model_->sharedRows(),
                      wanted = filter()](ExportProgress& progress) {
                         QSaveFile out(file);
                         if (out.open(QIODevice::WriteOnly)
                             && writeJournalCsv(out, index, *rows, wanted, progress) == ExportEnd::Done && out.commit())
                             return QString();
                         // Uncommitted, the file stays as it was; a cancelled run's failure is never shown.
                         return QStringLiteral("Не удалось записать файл %1: %2").arg(file, out.errorString());
                     });
    return true;
}

bool JournalViewer::printPdf(const QString& file)
{
    if (!targetAllowed(file))
        return false;
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer->setPageOrientation(QPageLayout::Landscape);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    print(printer);
    return true;
}

void JournalViewer::print(std::shared_ptr<QPagedPaintDevice> device)
{
    exportRun_.start(this, QStringLiteral("Печать журнала…"), model_->rows().size(),
                     [device, index = model_->index(), rows = model_->sharedRows(),
                      wanted = filter()](ExportProgress& progress) {
                         return printJournal(*device, index, *rows, wanted, progress) == ExportEnd::Failed
                                    ? QStringLiteral("Не удалось напечатать журнал.")
                                    : QString();
                     });
}

void JournalViewer::exportCsvAsked()
{
    // The home folder, not the workstation's: exports are not written there.
    if (const auto file = chooseFile(this, FileChoice::Save, QStringLiteral("Экспорт журнала в CSV"),
                                     QStringLiteral("CSV (*.csv)"), QDir::homePath(),
                                     exportFileName(clock_.now(), QStringLiteral("csv"))))
        exportCsv(*file);
}

void JournalViewer::printAsked(bool pdf)
{
    if (pdf) {
        if (const auto file = chooseFile(this, FileChoice::Save, QStringLiteral("Сохранить журнал в PDF"),
                                         QStringLiteral("PDF (*.pdf)"), QDir::homePath(),
                                         exportFileName(clock_.now(), QStringLiteral("pdf"))))
            printPdf(*file);
        return;
    }
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    printer->setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(printer.get(), this);
    // Printing to a file would bring the toolkit's own file dialog, which may replace any file.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    if (dialog.exec() == QDialog::Accepted)
        print(printer);
}

} // namespace kirvan
