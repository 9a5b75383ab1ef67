#include "complex/ControlModuleEditor.h"
#include "dialogs/DialogFit.h"
#include "viewer/JournalViewer.h"
#include "window/PlanPicture.h"
#include "window/TreeTextDelegate.h"
#include "window/ViewUpdatePeriod.h"
#include "dialogs/QtDialogs.h"
#include "window/MainWindow.h"
#include "dialogs/ModuleEditorDialog.h"
#include "dialogs/SignInWindow.h"
#include "app/Translations.h"
#include "plans/PlanMarker.h"

#include "tests/app/WorkstationFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QStyle>
#include <QStyleOptionButton>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

namespace kirvan::testing {
namespace {

// Each screen is tested at the sizes of the guard rooms' screens: the suite runs once at
// 1280 × 1024 on 19 inches and once at 1920 × 1080 on 24 inches (KIRVAN_TEST_SCREEN).
const QScreen& screen()
{
    return *QGuiApplication::primaryScreen();
}

double millimetresPerPixel()
{
    return screen().physicalSize().width() / screen().size().width();
}

bool wideScreen()
{
    return screen().size().width() >= 1920;
}

// Texts a layout could hold whole but that are shown cut: a widget narrower than the least its
// text needs, a header narrower than its caption, a read-only field narrower than its word.
QStringList cutTexts(const QWidget& root)
{
    QStringList cut;
    const auto note = [&cut](const QWidget& widget, const QString& text) {
        cut << QStringLiteral("%1 \"%2\"")
                   .arg(widget.objectName().isEmpty() ? QString::fromLatin1(widget.metaObject()->className())
                                                      : widget.objectName(),
                        text);
    };
    QList<const QWidget*> widgets{&root};
    for (const QWidget* child : root.findChildren<QWidget*>())
        widgets << child;
    for (const QWidget* widget : widgets) {
        if (!widget->isVisible())
            continue;
        if (const auto* label = qobject_cast<const QLabel*>(widget);
            label && !label->wordWrap() && !label->text().isEmpty()) {
            if (label->contentsRect().width() < label->fontMetrics().horizontalAdvance(label->text()))
                note(*label, label->text());
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(widget);
                   button && !button->text().isEmpty()) {
            if (button->width() < button->minimumSizeHint().width())
                note(*button, button->text());
        } else if (const auto* box = qobject_cast<const QGroupBox*>(widget)) {
            if (box->width() < box->fontMetrics().horizontalAdvance(box->title()))
                note(*box, box->title());
        } else if (const auto* field = qobject_cast<const QLineEdit*>(widget);
                   field && field->isReadOnly() && !qobject_cast<const QComboBox*>(field->parentWidget())) {
            // The history line is exempt: a journal line is longer than any window, and the line
            // shows its beginning.
            if (field->contentsRect().width() < field->fontMetrics().horizontalAdvance(field->text()))
                note(*field, field->text());
        } else if (const auto* search = qobject_cast<const QLineEdit*>(widget);
                   search && !search->placeholderText().isEmpty()) {
            if (search->contentsRect().width() < search->fontMetrics().horizontalAdvance(search->placeholderText()))
                note(*search, search->placeholderText());
        } else if (const auto* header = qobject_cast<const QHeaderView*>(widget); header && header->model()) {
            for (int section = 0; section < header->count(); ++section) {
                const QString caption = header->model()->headerData(section, header->orientation()).toString();
                if (!header->isSectionHidden(section)
                    && header->sectionSize(section) < header->fontMetrics().horizontalAdvance(caption))
                    note(*header, caption);
            }
        }
    }
    return cut;
}

class ScreenLayoutTest : public WorkstationFixture {
protected:
    static void SetUpTestSuite() { installRussianTranslations(*QCoreApplication::instance()); }

    // The complex of a site with long names: the lines of the tree are as wide as real ones.
    // `scale`: "Масштаб" as the installer wrote it, none for the screen's choice.
    void writeSite(const QString& scale = {})
    {
        folder.writeText(QStringLiteral("Склад.cnf"), QStringLiteral("[СИСТЕМА]\nАДРЕС=01\n"));
        folder.writeText(QStringLiteral("Склад.tb1"),
                         QStringLiteral("[И12-05]\nЗОНА=Цех 1\nТЕКСТ=Коридор\n"
                                        "[И12-06]\nЗОНА=Цех 1\nТЕКСТ=Склад готовой продукции\n"));
        folder.writeText(QStringLiteral("kirvanmonitorp.cnf"),
                         QStringLiteral("A01:СКЛАД\n\tЦех 1\n\t\tИ12-05 Коридор\n\t\tИ12-06 Склад готовой продукции\n"));
        folder.writeText(
            QStringLiteral("KirvanMonitorP.ini"),
            QStringLiteral("[АДРЕС]\n01=") + folder.file(QStringLiteral("Склад.cnf"))
                + QStringLiteral("\n[МОДУЛЬ УПРАВЛЕНИЯ 1]\nСИСТЕМА=A01:СКЛАД\nЗОНА=Цех 1\nСЦЕНАРИЙ=5\n"
                                 "РЕЖИМ=РУЧНОЙ\nКОМЕНТАРИЙ=Дымоудаление и подпор воздуха в лестничных клетках\n")
                + (scale.isEmpty() ? QString() : QStringLiteral("[Настройки]\nМасштаб=%1\n").arg(scale)));
    }
    std::unique_ptr<MainWindow> openWindow(const QString& scale = {})
    {
        writeSite(scale);
        auto window = std::make_unique<MainWindow>(platform(), WorkstationFolder(folder.path()));
        window->show();
        QCoreApplication::processEvents();
        return window;
    }
    // What runs while a modal dialog of the program is open, then the dialog is closed.
    static void whileModal(const std::function<void(QDialog&)>& look)
    {
        QTimer::singleShot(0, [look] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            look(*dialog);
            dialog->reject();
        });
    }
};

// Where one widget lies in the window.
QRect inWindow(const QWidget& widget, const QWidget& window)
{
    return QRect(widget.mapTo(&window, QPoint(0, 0)), widget.size());
}

// "Масштаб" at the design's size, at the screen's choice and at the largest an installer may write.
class ScaledWindowTest : public ScreenLayoutTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ScaledWindowTest, DuringAFireTheWindowLiesOnTheScreenAndShowsEveryTextWhole)
{
    const QString setting = QString::fromLatin1(GetParam());
    auto window = openWindow(setting);
    Workstation& w = window->workstation();
    receiveFire(w);
    w.statusBar().setCommandPanel(QStringLiteral("          КОМАНДА: УСТАНОВИТЬ ИЗВЕЩАТЕЛЬ"));
    w.statusBar().setMessagePanel(QStringLiteral("ВНИМАНИЕ! ИДЕТ ЗАГРУЗКА КОНФИГУРАЦИИ"));
    // The word blinks: it is looked at while it is shown.
    auto* status = window->findChild<QLineEdit*>(QStringLiteral("statusWord"));
    for (int blink = 0; blink < 4 && status->text() != QStringLiteral(" ПОЖАР"); ++blink)
        loop.advance(500);
    // The journal's views and the status bar follow; a whole blink later the word shows again.
    loop.advance(journalUpdateMs);
    QCoreApplication::processEvents();

    EXPECT_TRUE(screen().availableGeometry().contains(window->frameGeometry())) << "the window runs off the screen";
    EXPECT_EQ(cutTexts(*window).join(u'|').toStdString(), "");
    // The word whole, and no button over it.
    EXPECT_EQ(status->text(), QStringLiteral(" ПОЖАР"));
    EXPECT_GE(status->contentsRect().width(), status->fontMetrics().horizontalAdvance(status->text()));
    const QRect word = inWindow(*status, *window);
    EXPECT_TRUE(window->rect().contains(word)) << "the word runs off the window";
    for (const QToolButton* button : window->findChildren<QToolButton*>()) {
        if (button->isVisible()) {
            EXPECT_FALSE(inWindow(*button, *window).intersects(word)) << button->toolTip().toStdString();
            EXPECT_FALSE(button->toolTip().isEmpty()) << "a button says what it does";
        }
    }
    // The table's message column and the plan above it.
    const auto* grid = window->findChild<QTableView*>(QStringLiteral("eventGrid"));
    const int message = EventTable::MessageColumn;
    EXPECT_GE(grid->columnWidth(message), grid->horizontalHeader()->sectionSizeHint(message));
    EXPECT_LE(grid->columnViewportPosition(message) + grid->columnWidth(message), grid->viewport()->width());
    const auto* plan = dynamic_cast<const PlanPicture*>(window->findChild<QWidget*>(QStringLiteral("planView")));
    ASSERT_NE(plan, nullptr);
    EXPECT_TRUE(plan->isVisible());
    EXPECT_GE(plan->height(), 4 * plan->markerSize()) << "the plan is squeezed away";
    EXPECT_GE(plan->markerSize(), PlanMarker::size);
    // The status bar's texts side by side, none over another.
    QList<const QLabel*> texts;
    for (const QLabel* label : window->findChild<QWidget*>(QStringLiteral("statusStrip"))->findChildren<QLabel*>())
        if (label->isVisible() && !label->text().isEmpty())
            texts << label;
    for (int one = 0; one < texts.size(); ++one)
        for (int other = one + 1; other < texts.size(); ++other)
            EXPECT_FALSE(inWindow(*texts[one], *window).intersects(inWindow(*texts[other], *window)))
                << texts[one]->text().toStdString() << " / " << texts[other]->text().toStdString();
    // Every detector's number whole in the tree, however much of its name is cut.
    auto* tree = window->findChild<QTreeView*>(QStringLiteral("compositionView"));
    auto* rows = dynamic_cast<TreeTextDelegate*>(tree->itemDelegate());
    ASSERT_NE(rows, nullptr);
    for (int row = 0; row < 2; ++row) {
        const QModelIndex detector = tree->model()->index(row, 0, tree->model()->index(0, 0, tree->model()->index(0, 0)));
        QStyleOptionViewItem option;
        option.initFrom(tree);
        option.widget = tree;
        option.rect = tree->visualRect(detector);
        option.decorationSize = tree->iconSize();
        const QString number = detector.data().toString().section(u' ', 0, 0);
        EXPECT_TRUE(rows->shownText(option, detector).startsWith(number + u' ')) << number.toStdString();
        EXPECT_LE(option.rect.left() + tree->iconSize().width() + tree->fontMetrics().horizontalAdvance(number),
                  tree->viewport()->width())
            << number.toStdString();
    }
    // The tree follows its widest line within a third of the window.
    EXPECT_LE(window->findChild<QWidget*>(QStringLiteral("compositionPanel"))->width(), window->width() / 3 + 1);
    if (!setting.isEmpty())
        return;
    // At the screen's choice, read from two metres: the status word's capitals about a
    // centimetre, the table's 4 mm where the screen is wide enough, and every line of the tree
    // whole on the wide screen.
    EXPECT_GE(status->fontMetrics().capHeight() * millimetresPerPixel(), 9.5);
    EXPECT_GE(grid->fontMetrics().capHeight() * millimetresPerPixel(), wideScreen() ? 3.8 : 3.0);
    // The fire's row: its state, object, date and time whole; only the message may run on.
    const int row = w.table().fillingRow() - 2;
    for (int column = 0; column < EventTable::ColumnCount; ++column) {
        const QString text = grid->model()->index(row, column).data().toString();
        if (column != EventTable::MessageColumn) {
            EXPECT_GE(grid->columnWidth(column), grid->fontMetrics().horizontalAdvance(text)) << text.toStdString();
        }
    }
    if (wideScreen()) {
        EXPECT_GE(tree->viewport()->width(), static_cast<QAbstractItemView*>(tree)->sizeHintForColumn(0));
    }
}

// The program's windows over the main window: the sign-in window beside it, "О программе" centred
// on it, the module prompt at its corner, each inside the screen.
TEST_P(ScaledWindowTest, TheProgramsWindowsOpenInsideTheScreen)
{
    auto window = openWindow(QString::fromLatin1(GetParam()));
    Workstation& w = window->workstation();
    const QRect area = screen().availableGeometry();
    // Deleted when closed; put half over the screen's edge, as a window manager may place a
    // window beside its owner.
    auto* signIn = new SignInWindow(w.access(), loop, window.get());
    signIn->move(area.right() - signIn->sizeHint().width() / 2, area.top() - 10);
    signIn->show();
    QCoreApplication::processEvents();
    EXPECT_TRUE(area.contains(signIn->frameGeometry())) << "the sign-in window";
    signIn->close();
    whileModal([&area](QDialog& about) {
        EXPECT_TRUE(area.contains(about.frameGeometry())) << "the About window";
        EXPECT_EQ(cutTexts(about).join(u'|').toStdString(), "");
        EXPECT_TRUE(about.findChild<QLabel*>(QStringLiteral("aboutPort")));
    });
    window->actions().showAbout->trigger();
    receiveFire(w);
    QCoreApplication::processEvents();
    auto* prompt = window->findChild<QWidget*>(QStringLiteral("modulePrompt"));
    ASSERT_NE(prompt, nullptr);
    EXPECT_TRUE(area.contains(prompt->frameGeometry())) << "the module prompt";
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaledWindowTest, ::testing::Values("1", "", "3"), [](const auto& test) {
    return std::string(*test.param ? "Scale" + std::string(test.param) : "ByScreen");
});

// Fault, fire, fire, technology, fire: the summary and the list are in view and read from two
// metres, every row of the table is in view while the grid has room for it. With
// KIRVAN_SCREENSHOTS set to a folder, the window is saved there for the read-me.
TEST_F(ScreenLayoutTest, TheActiveAlarmsAreInViewWithEveryRow)
{
    auto window = openWindow();
    Workstation& w = window->workstation();
    for (const char* record : {"01/И12-06/08", "01/И12-05/07", "01/И12-06/07", "01/И13-01/51", "01/И13-02/07"})
        w.dispatcher().processEvent(QString::fromUtf8(record));
    w.alarmList().acknowledge(2);
    loop.advance(1000);
    QCoreApplication::processEvents();

    EXPECT_EQ(cutTexts(*window).join(u'|').toStdString(), "");
    const auto* counts = window->findChild<QLabel*>(QStringLiteral("alarmCounts"));
    ASSERT_TRUE(counts->isVisible());
    EXPECT_TRUE(counts->text().startsWith(QStringLiteral("ПОЖАР:\u00A0зон\u00A02,\u00A0извещателей\u00A03")))
        << counts->text().toStdString();
    EXPECT_GE(counts->fontMetrics().capHeight() * millimetresPerPixel(), 4.0);
    EXPECT_TRUE(window->findChild<QLabel*>(QStringLiteral("firstFire"))->text().contains(QStringLiteral("И12-05")));
    const auto* list = window->findChild<QTableView*>(QStringLiteral("activeAlarms"));
    EXPECT_EQ(list->model()->rowCount(), 5);
    const auto* grid = window->findChild<QTableView*>(QStringLiteral("eventGrid"));
    for (int row = 0; row < 5; ++row)
        EXPECT_TRUE(grid->viewport()->rect().contains(grid->visualRect(grid->model()->index(row, 1))))
            << "row " << row + 1 << " is in view";
    if (const QString shots = qEnvironmentVariable("KIRVAN_SCREENSHOTS"); !shots.isEmpty())
        window->grab().save(
            QStringLiteral("%1/alarms-%2x%3.png").arg(shots).arg(screen().size().width()).arg(screen().size().height()));
}

TEST_F(ScreenLayoutTest, TheModuleEditorAndThePromptShowTheirTextsWhole)
{
    auto window = openWindow();
    Workstation& w = window->workstation();
    ControlModuleEditor editor(w.controlModules(), w.tree().nodeAt(1));
    ModuleEditorDialog form(editor, w.access(), loop, window.get());
    form.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(cutTexts(form).join(u'|').toStdString(), "");
    const QWidget* system = form.findChild<QLabel*>(QStringLiteral("systemLabel"));
    EXPECT_GE(system->x(), form.findChild<QLabel*>(QStringLiteral("complexCaption"))->geometry().right())
        << "the system's name is not written over the caption";

    receiveFire(w);
    QCoreApplication::processEvents();
    auto* prompt = window->findChild<QWidget*>(QStringLiteral("modulePrompt"));
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(cutTexts(*prompt).join(u'|').toStdString(), "");
    for (const QLabel* label : prompt->findChildren<QLabel*>())
        EXPECT_GE(label->height(), label->heightForWidth(label->width())) << label->text().toStdString();
}

// Every tab, with the problems of a half-filled transmission section shown under their fields.
TEST_F(ScreenLayoutTest, TheSettingsDialogLiesOnTheScreenWithEveryTextWhole)
{
    auto window = openWindow();
    window->workstation().settings().ini().writeString(u"ПЦН", u"Ключ", u"0123");
    window->actions().editSettings->trigger();
    auto* dialog = window->findChild<QDialog*>(QStringLiteral("settingsDialog"));
    ASSERT_NE(dialog, nullptr);
    auto* tabs = dialog->findChild<QTabWidget*>();
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        QCoreApplication::processEvents();
        EXPECT_EQ(cutTexts(*dialog).join(u'|').toStdString(), "");
        for (const QLabel* label : dialog->findChildren<QLabel*>())
            EXPECT_TRUE(!label->isVisible() || !label->wordWrap() || label->height() >= label->heightForWidth(label->width()))
                << label->text().toStdString();
    }
    EXPECT_TRUE(screen().availableGeometry().contains(dialog->frameGeometry())) << "the dialog runs off the screen";
}

TEST_F(ScreenLayoutTest, TheDialogsShowTheirCaptionsAndColumnsWhole)
{
    auto window = openWindow();
    QtDialogs real;
    real.setParent(window.get());
    whileModal([](QDialog& dialog) {
        const QFontMetrics caption(QApplication::font("QMdiSubWindowTitleBar"));
        EXPECT_GT(dialog.width(), caption.horizontalAdvance(dialog.windowTitle())) << "the caption is cut";
    });
    real.inputBox(QStringLiteral("Регистрация адреса"), QStringLiteral("Адрес системы (0-3):"), QStringLiteral("1"));

    folder.writeText(QStringLiteral("Склад с длинным названием файла конфигурации.cnf"), QStringLiteral("[СИСТЕМА]\n"));
    whileModal([this](QDialog& dialog) {
        auto* chooser = qobject_cast<QFileDialog*>(&dialog);
        ASSERT_NE(chooser, nullptr);
        EXPECT_EQ(QDir(chooser->directory()).canonicalPath(), QDir(folder.path()).canonicalPath());
        auto* list = chooser->findChild<QTreeView*>(QStringLiteral("treeView"));
        ASSERT_TRUE(list && list->model());
        EXPECT_TRUE(chooser->testOption(QFileDialog::ReadOnly)) << "the dialog renames or deletes files";
        EXPECT_EQ(list->contextMenuPolicy(), Qt::NoContextMenu);
        EXPECT_TRUE(chooser->findChild<QWidget*>(QStringLiteral("newFolderButton"))->isHidden());
        // What the operator sees: the listing as the view shows it.
        const QAbstractItemModel* model = list->model();
        // The folder is read in the background, and the columns follow the listing once it is whole.
        const auto columnsFit = [&] {
            if (model->rowCount(list->rootIndex()) == 0)
                return false;
            for (int column = 0; column < model->columnCount(); ++column)
                if (!list->isColumnHidden(column) && list->columnWidth(column) < list->header()->sectionSizeHint(column))
                    return false;
            return true;
        };
        QElapsedTimer waited;
        waited.start();
        while (!columnsFit() && waited.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        ASSERT_GT(model->rowCount(list->rootIndex()), 0);
        for (int column = 0; column < model->columnCount(); ++column) {
            if (list->isColumnHidden(column))
                continue;
            EXPECT_GE(list->columnWidth(column), list->header()->sectionSizeHint(column)) << "column " << column;
            for (int row = 0; row < model->rowCount(list->rootIndex()); ++row) {
                const QString text = model->index(row, column, list->rootIndex()).data().toString();
                EXPECT_GE(list->columnWidth(column), list->fontMetrics().horizontalAdvance(text)) << text.toStdString();
            }
        }
        EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Размер"));
        const QModelIndex file = model->index(0, 0, list->rootIndex());
        EXPECT_TRUE(file.siblingAtColumn(1).data().toString().endsWith(QStringLiteral(" байт")))
            << file.siblingAtColumn(1).data().toString().toStdString();
        EXPECT_EQ(file.siblingAtColumn(2).data().toString(), QStringLiteral("Файл CNF"));
    });
    real.openFile(QStringLiteral("Ввести в состав"), QStringLiteral("Конфигурация системы (*.cnf)"), folder.path());
}

TEST_F(ScreenLayoutTest, TheJournalViewerShowsItsFilterWhole)
{
    // At the largest scale the screen holds, which kirvan-journal takes as the workstation does.
    const auto window = openWindow(QStringLiteral("3"));
    JournalViewer viewer(folder.file(QStringLiteral("KirvanMonitorP.txt")), {loop, workers, dialogs, clock, locale});
    viewer.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(cutTexts(viewer).join(u'|').toStdString(), "");
    // The filter's check boxes as large as their letters.
    for (const QCheckBox* box : viewer.findChildren<QCheckBox*>()) {
        QStyleOptionButton option;
        option.initFrom(box);
        EXPECT_GE(box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box).height(),
                  box->fontMetrics().height() * 3 / 4)
            << box->text().toStdString();
    }
    EXPECT_LE(viewer.frameGeometry().width(), screen().availableGeometry().width());
    EXPECT_LE(viewer.frameGeometry().height(), screen().availableGeometry().height());
}

} // namespace
} // namespace kirvan::testing
