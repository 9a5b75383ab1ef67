#include "plans/PlanEditor.h"

#include "complex/DialogFolders.h"

#include "complex/CompositionTree.h"
#include "complex/DetectorFile.h"
#include "files/IniFile.h"
#include "files/PathCase.h"
#include "files/SettingsFile.h"
#include "files/SettingsKeys.h"
#include "complex/TreePopup.h"
#include "platform/DesktopShell.h"
#include "platform/Dialogs.h"
#include "platform/PictureLoader.h"
#include "platform/StatusBar.h"
#include "events/MarkerName.h"
#include "plans/PlanArea.h"
#include "plans/PlanDisplay.h"
#include "plans/PlanMarkers.h"
#include "plans/ZonePlan.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace kirvan {

namespace {

const QString caption = QStringLiteral("Редактор планов");

// Raster editors of the Linux desktops, in the order they are offered.
const QStringList pictureEditors{QStringLiteral("kolourpaint"), QStringLiteral("pinta"), QStringLiteral("gimp")};

bool confirmed(Dialogs& dialogs, const QString& question)
{
    return dialogs.messageBox(caption, question, Dialogs::Icon::Question, Dialogs::Buttons::OkCancel)
           == Dialogs::Answer::Ok;
}

// The system file of a node's system, as a local path; empty when it has none on this computer.
QString existingSystemFile(const SettingsFile& settings, const TreeNode& node)
{
    const QString path = settings.systemFile(systemNodeOf(node).text().mid(1, 2));
    return !path.isEmpty() && QFileInfo::exists(resolvePathCase(path)) ? path : QString();
}

const TreeNode* selectedDetector(const CompositionTree& tree)
{
    const TreeNode* node = tree.selected();
    return node && node->level() == 2 && node->text().size() >= 6 ? node : nullptr;
}

} // namespace

void PlanEditor::togglePlanEditMode()
{
    if (editMode_)
        leave();
    else
        enter();
}

void PlanEditor::enter()
{
    if (!confirmed(s_.dialogs, QStringLiteral("Вы уверены, что хотите редактировать планы?")))
        return;
    editMode_ = true;
    StatusBar& status = s_.statusBar;
    status.setMessagePanelAlert(true);
    status.setMessagePanel(QStringLiteral("ВНИМАНИЕ! ВКЛЮЧЕН РЕЖИМ РЕДАКТИРОВАНИЯ ПЛАНОВ"));
    status.setStatePanel(QString());
    status.setStatePanelCentred(true);
    status.setCommandPanel(QString());
    status.setLinkLamp(std::nullopt);
    collapseTree();
    s_.popup.setPlanEditMode(true);
    changed();
    // With an empty composition there is no node to show; the mode is on all the same.
    if (s_.tree.selected())
        s_.reselect();
}

void PlanEditor::leave()
{
    if (confirmed(s_.dialogs, QStringLiteral("Выйти из режима редактирования планов?")))
        endEditMode();
}

void PlanEditor::endEditMode()
{
    editMode_ = false;
    placing_ = false;
    StatusBar& status = s_.statusBar;
    status.setMessagePanelAlert(false);
    status.setMessagePanel(QString());
    status.setStatePanel(QString());
    status.setStatePanelCentred(false);
    collapseTree();
    s_.popup.setPlanEditMode(false);
    s_.popup.assignNormalMenu();
    changed();
}

void PlanEditor::assignPlan()
{
    const TreeNode* node = s_.tree.selected();
    if (!node || node->level() > 1)
        return;
    const std::optional<QString> chosen = s_.dialogs.openFile(
        QStringLiteral("Загрузить план"), pictureFileFilter(),
        dialogfolders::plans(s_.settings, s_.area.currentPlan(), existingSystemFile(s_.settings, *node)));
    if (!chosen)
        return;
    s_.display.showPicture(*chosen);
    // A system file that is not there is not created for a plan: it comes with the system.
    const QString systemFile = existingSystemFile(s_.settings, *node);
    if (systemFile.isEmpty())
        return;
    IniFile systemIni(s_.store, systemFile);
    if (node->level() == 0) {
        systemIni.writeString(settings::sectionGeneralPlan, u"0", *chosen);
    } else if (const int n = zoneplan::zoneNumber(s_.store, systemFile, node->text()); n != 0) {
        systemIni.writeString(systemfile::sectionZonePlans, QString::number(n), *chosen);
    }
}

bool PlanEditor::pictureEditorFound(const QString& configured)
{
    // A folder is "executable" too, and cannot be started.
    const QFileInfo file(configured);
    return (file.isFile() && file.isExecutable()) || !QStandardPaths::findExecutable(configured).isEmpty();
}

void PlanEditor::startPictureEditor()
{
    const QString configured = s_.settings.ini().readString(settings::sectionSettings, settings::keyPictureEditor, {});
    QString program;
    if (configured.isEmpty()) {
        for (const QString& editor : pictureEditors) {
            if (!QStandardPaths::findExecutable(editor).isEmpty()) {
                program = editor;
                break;
            }
        }
    } else if (pictureEditorFound(configured)) {
        program = configured;
    }
    if (program.isEmpty()) {
        const QString text
            = configured.isEmpty()
                  ? QStringLiteral("Не найден редактор рисунков (kolourpaint, pinta, gimp).\nУкажите программу в ключе "
                                   "\"Редактор\" раздела \"Настройки\" файла KirvanMonitorP.ini.")
                  : QStringLiteral("Не найдена программа \"%1\", указанная в ключе \"Редактор\" раздела \"Настройки\" "
                                   "файла KirvanMonitorP.ini.")
                        .arg(configured);
        s_.dialogs.notice(QStringLiteral("Предупреждение"), text, Dialogs::Icon::Warning);
        return;
    }
    s_.shell.startProgram(program, {});
}

void PlanEditor::placeMarker()
{
    s_.statusBar.setCommandPanel(QStringLiteral("          КОМАНДА: УСТАНОВИТЬ ИЗВЕЩАТЕЛЬ"));
    setPlacing(true);
}

void PlanEditor::pointerMoved(QPoint at)
{
    if (!placing_)
        return;
    pointer_ = at;
    s_.statusBar.setStatePanel(QStringLiteral("X=%1  Y=%2").arg(at.x()).arg(at.y()));
}

void PlanEditor::clicked()
{
    if (!placing_)
        return;
    // Placing ends with this click whatever it does, also before a message box lets other
    // clicks through.
    setPlacing(false);
    // A system or zone chosen meanwhile: there is no detector to place.
    if (const TreeNode* detector = selectedDetector(s_.tree))
        placeSelected(*detector);
}

void PlanEditor::placeSelected(const TreeNode& detector)
{
    const QString name = markername::ofDetectorNode(detector);
    if (s_.markers.find(name)) {
        s_.dialogs.notice(QStringLiteral("Ошибка"), QStringLiteral("Извещатель уже установлен"), Dialogs::Icon::Error);
        return;
    }
    const QString systemFile = existingSystemFile(s_.settings, detector);
    if (systemFile.isEmpty()) {
        s_.dialogs.notice(QStringLiteral("Предупреждение"), QStringLiteral("Не обнаружен файл конфигурации!"),
                          Dialogs::Icon::Warning);
        return;
    }
    // Column and row 0 would store a division by zero, which reads as "no place": the
    // neighbouring pixel is stored instead.
    const int x = std::max(1, pointer_.x());
    const int y = std::max(1, pointer_.y());
    const QSize picture = s_.area.size();
    // The place is stored first: a marker whose place did not reach the file would vanish at
    // the next alarm reset.
    IniFile detectorFile(s_.store, detectorFilePath(systemFile, detector.text().at(1)));
    const QString section = detector.text().left(6);
    const QPointF stored(double(picture.width()) / x, double(picture.height()) / y);
    detectorFile.writeFloat(section, detectorfile::keyX, stored.x());
    detectorFile.writeFloat(section, detectorfile::keyY, stored.y());
    s_.markers.place(name, pointer_, stored, detector.text(), s_.area.currentPlan());
    if (onPlaced_)
        onPlaced_(detector.text());
}

void PlanEditor::removeMarker()
{
    s_.statusBar.setCommandPanel(QStringLiteral("          КОМАНДА: УДАЛИТЬ ИЗВЕЩАТЕЛЬ"));
    s_.statusBar.setStatePanel(QString());
    const TreeNode* detector = selectedDetector(s_.tree);
    if (!detector)
        return;
    const QString name = markername::ofDetectorNode(*detector);
    // Only a shown marker is removed with its place; a hidden one is shown first.
    if (!s_.markers.find(name))
        return;
    s_.markers.removeMarker(name);
    const QString systemFile = existingSystemFile(s_.settings, *detector);
    if (systemFile.isEmpty())
        return;
    IniFile detectorFile(s_.store, detectorFilePath(systemFile, detector->text().at(1)));
    const QString section = detector->text().left(6);
    detectorFile.deleteKey(section, detectorfile::keyX);
    detectorFile.deleteKey(section, detectorfile::keyY);
}

void PlanEditor::setPlacing(bool on)
{
    if (placing_ != on) {
        placing_ = on;
        changed();
    }
}

void PlanEditor::collapseTree()
{
    if (onCollapseTree_)
        onCollapseTree_();
}

void PlanEditor::changed()
{
    if (onChanged_)
        onChanged_();
}

} // namespace kirvan
