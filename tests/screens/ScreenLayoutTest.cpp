#include "complex/ControlModuleEditor.h"
#include "dialogs/DialogFit.h"
#include "viewer/JournalViewer.h"
#include "window/PlanPicture.h"
#include "dialogs/QtDialogs.h"
#include "window/MainWindow.h"
#include "dialogs/ModuleEditorDialog.h"
#include "app/Translations.h"
#include "plans/PlanMarker.h"

#include "tests/app/WorkstationFixture.h"

#include <QAbstractButton>
#include <QApplication>
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
#include <QTableView>
#include <QTimer>
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
    void writeSite()
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
                                 "РЕЖИМ=РУЧНОЙ\nКОМЕНТАРИЙ=Дымоудаление и подпор воздуха в лестничных клетках\n"));
    }
    std::unique_ptr<MainWindow> openWindow()
    {
        writeSite();
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

TEST_F(ScreenLayoutTest, TheMainWindowDuringAFireLiesOnTheScreenAndShowsEveryTextWhole)
{
    auto window = openWindow();
    Workstation& w = window->workstation();
    receiveFire(w);
    w.statusBar().setCommandPanel(QStringLiteral("          КОМАНДА: УСТАНОВИТЬ ИЗВЕЩАТЕЛЬ"));
    w.statusBar().setMessagePanel(QStringLiteral("ВНИМАНИЕ! ИДЕТ ЗАГРУЗКА КОНФИГУРАЦИИ"));
    // The word blinks: it is looked at while it is shown.
    auto* status = window->findChild<QLineEdit*>(QStringLiteral("statusWord"));
    for (int blink = 0; blink < 4 && status->text() != QStringLiteral(" ПОЖАР"); ++blink)
        loop.advance(500);
    loop.advance(100);
    QCoreApplication::processEvents();

    EXPECT_TRUE(screen().availableGeometry().contains(window->frameGeometry())) << "the window runs off the screen";
    EXPECT_EQ(cutTexts(*window).join(u'|').toStdString(), "");
    // Read from two metres: the status word's capitals about a centimetre.
    EXPECT_EQ(status->text(), QStringLiteral(" ПОЖАР"));
    EXPECT_GE(status->fontMetrics().capHeight() * millimetresPerPixel(), 9.5);
    const auto* grid = window->findChild<QTableView*>(QStringLiteral("eventGrid"));
    // The 24-inch screen has room for 4 mm; the narrower one for as much as its width holds.
    EXPECT_GE(grid->fontMetrics().capHeight() * millimetresPerPixel(), wideScreen() ? 3.8 : 3.0);
    // The fire's row: its state, object, date and time whole; only the message may run on.
    const int row = w.table().fillingRow() - 2;
    for (int column = 0; column < EventTable::ColumnCount; ++column) {
        const QString text = grid->model()->index(row, column).data().toString();
        if (column != EventTable::MessageColumn) {
            EXPECT_GE(grid->columnWidth(column), grid->fontMetrics().horizontalAdvance(text)) << text.toStdString();
        }
    }
    const auto* plan = dynamic_cast<const PlanPicture*>(window->findChild<QWidget*>(QStringLiteral("planView")));
    ASSERT_NE(plan, nullptr);
    EXPECT_GE(plan->markerSize(), PlanMarker::size);
    // The tree follows its widest line within a third of the window; on the wide screen that
    // holds every line of the site whole.
    auto* tree = window->findChild<QTreeView*>(QStringLiteral("compositionView"));
    EXPECT_LE(window->findChild<QWidget*>(QStringLiteral("compositionPanel"))->width(), window->width() / 3 + 1);
    if (wideScreen()) {
        EXPECT_GE(tree->viewport()->width(), static_cast<QAbstractItemView*>(tree)->sizeHintForColumn(0));
    }
}

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
    EXPECT_TRUE(screen().availableGeometry().contains(prompt->geometry())) << "the prompt runs off the screen";
    for (const QLabel* label : prompt->findChildren<QLabel*>())
        EXPECT_GE(label->height(), label->heightForWidth(label->width())) << label->text().toStdString();
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
    JournalViewer viewer(folder.file(QStringLiteral("KirvanMonitorP.txt")), {loop, workers, dialogs, clock, locale});
    viewer.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(cutTexts(viewer).join(u'|').toStdString(), "");
    EXPECT_LE(viewer.frameGeometry().width(), screen().availableGeometry().width());
    EXPECT_LE(viewer.frameGeometry().height(), screen().availableGeometry().height());
}

} // namespace
} // namespace kirvan::testing
