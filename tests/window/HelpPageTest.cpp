#include "dialogs/HelpWindow.h"
#include "window/MainActions.h"
#include "window/MainWindow.h"

#include "tests/app/WorkstationFixture.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QRegularExpression>
#include <QSet>
#include <QTextDocumentFragment>

namespace kirvan::testing {
namespace {

QString helpPage()
{
    QFile file(QStringLiteral(KIRVAN_HELP_PAGE));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QString::fromUtf8(file.readAll());
}

// The page as the operator reads it: no tags, one blank between words.
QString readable(const QString& html)
{
    return QTextDocumentFragment::fromHtml(html).toPlainText().simplified();
}

QStringList blocks(const QString& html, const QString& tag)
{
    static const QString pattern = QStringLiteral("<%1>(.*?)</%1>");
    QStringList found;
    auto matches = QRegularExpression(pattern.arg(tag), QRegularExpression::DotMatchesEverythingOption).globalMatch(html);
    while (matches.hasNext())
        found << readable(matches.next().captured(1));
    return found;
}

// Every command the window offers, with the caption the operator sees.
QList<QAction*> offeredCommands(const QMainWindow& window)
{
    QList<QAction*> commands;
    for (QMenu* menu : window.findChildren<QMenu*>()) {
        for (QAction* action : menu->actions())
            // The ports COM1 to COM10 are one choice, described once.
            if (!action->isSeparator() && !action->menu() && !action->actionGroup())
                commands << action;
    }
    return commands;
}

TEST(HelpPageTest, SaysEachThingOnce)
{
    const QString html = helpPage();
    QSet<QString> headings;
    for (const QString& heading : blocks(html, QStringLiteral("h2"))) {
        EXPECT_FALSE(headings.contains(heading)) << "section twice: " << heading.toStdString();
        headings.insert(heading);
    }
    static const QRegularExpression sentenceEnd(QStringLiteral("(?<=[.!?»])\\s+(?=[А-ЯЁA-Z«])"));
    QSet<QString> sentences;
    for (const QString& tag : {QStringLiteral("p"), QStringLiteral("li")}) {
        for (const QString& block : blocks(html, tag)) {
            for (const QString& sentence : block.split(sentenceEnd)) {
                EXPECT_FALSE(sentences.contains(sentence)) << "said twice: " << sentence.toStdString();
                sentences.insert(sentence);
            }
        }
    }
}

TEST(HelpPageTest, NamesEveryCommandAndKeyOfTheWindow)
{
    QMainWindow window;
    const MainActions actions(window);
    const QString text = readable(helpPage());
    QList<QKeySequence> keys;
    for (const QString& row : blocks(helpPage(), QStringLiteral("tr")))
        keys << QKeySequence::fromString(row.section(u' ', 0, 0));
    for (const QAction* action : offeredCommands(window)) {
        const QString caption = action->text().section(u'\t', 0, 0).remove(u'&');
        EXPECT_TRUE(text.contains(caption, Qt::CaseInsensitive)) << "command not described: " << caption.toStdString();
        if (!action->shortcut().isEmpty()) {
            EXPECT_TRUE(keys.contains(action->shortcut()))
                << "key not in the table: " << action->shortcut().toString().toStdString();
        }
    }
}

class HelpWindowTest : public WorkstationFixture {};

TEST_F(HelpWindowTest, F1WithoutAProgramForThePageShowsItInAWindowOfTheProgram)
{
    ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("Help")));
    folder.write(QStringLiteral("Help/index.html"),
                 QStringLiteral("<meta charset=\"utf-8\"><h1>Справка оператора</h1>").toUtf8());
    MainWindow window(platform(), WorkstationFolder(folder.path()));
    const auto helpWindows = [] {
        QList<HelpWindow*> found;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* help = dynamic_cast<HelpWindow*>(top); help && help->isVisible())
                found << help;
        return found;
    };
    window.actions().showHelp->trigger();
    EXPECT_TRUE(helpWindows().isEmpty()) << "the desktop's program showed it";
    shell.opens = false;
    window.actions().showHelp->trigger();
    window.actions().showHelp->trigger();
    ASSERT_EQ(helpWindows().size(), 1) << "one window, brought forward";
    EXPECT_EQ(helpWindows().front()->shownText(), QStringLiteral("Справка оператора"));
}

} // namespace
} // namespace kirvan::testing
