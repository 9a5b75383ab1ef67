#include "dialogs/HelpWindow.h"

#include "files/RegularFile.h"
#include "platform/Worker.h"

#include <QStringDecoder>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace kirvan {

HelpWindow::HelpWindow(std::unique_ptr<Worker> worker, QWidget* parent)
    : QDialog(parent), worker_(std::move(worker)), browser_(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Справка"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The page's own links move within it; nothing outside is opened from here.
    browser_->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
    resize(900, 700);
}

HelpWindow::~HelpWindow()
{
    worker_->cancel();
}

void HelpWindow::showPage(const QString& path)
{
    browser_->setPlainText(QStringLiteral("Справка загружается…"));
    worker_->cancel();
    worker_->post([this, path](std::stop_token) -> Worker::Routine {
        auto page = std::make_shared<RegularFile>(RegularFile::read(path, largestPage));
        return [this, page, path] {
            if (page->status == RegularFile::Status::Read) {
                // The page says its own encoding; without a word it is UTF-8.
                QStringDecoder decoder(QStringConverter::encodingForHtml(page->bytes).value_or(QStringConverter::Utf8));
                browser_->setHtml(decoder.decode(page->bytes));
            } else {
                browser_->setPlainText(
                    QStringLiteral("Справка не открывается: %1\n%2")
                        .arg(page->status == RegularFile::Status::Missing ? QStringLiteral("файла нет") : page->failure,
                             path));
            }
        };
    });
    show();
    raise();
    activateWindow();
}

QString HelpWindow::shownText() const
{
    return browser_->toPlainText();
}

} // namespace kirvan
