#include "complex/ConfigurationLoader.h"

#include "complex/ComplexFile.h"
#include "complex/CompositionTree.h"
#include "complex/DetectorFile.h"
#include "files/IniStore.h"
#include "complex/LinkControl.h"
#include "files/SettingsFile.h"
#include "complex/StateIcon.h"
#include "complex/TreePopup.h"
#include "platform/ConversionError.h"
#include "platform/Dialogs.h"
#include "platform/StatusBar.h"

using namespace Qt::StringLiterals;

namespace kirvan {

namespace {

const QString errorCaption = u"Ошибка"_s;

QString incompleteLoad(const QString& path, const std::exception& error)
{
    return u"Конфигурация загружена не полностью.\nФайл состава комплекса: %1\n%2"_s.arg(
        path, QString::fromUtf8(error.what()));
}

// Characters 2-3 of a system node.
QString addressText(const TreeNode& system)
{
    return system.text().mid(1, 2);
}

} // namespace

ConfigurationLoader::ConfigurationLoader(CompositionTree& tree, const SettingsFile& settings, IniStore& store,
                                         StatusBar& statusBar, Dialogs& dialogs, LinkControl& link, TreePopup& popup)
    : tree_(tree), settings_(settings), store_(store), statusBar_(statusBar), dialogs_(dialogs), link_(link), popup_(popup)
{}

void ConfigurationLoader::loadConfiguration()
{
    if (loading_) {
        loadAgain_ = true;
        return;
    }
    loading_ = true;
    struct Done {
        bool& loading;
        ~Done() { loading = false; }
    } done{loading_};
    do {
        loadAgain_ = false;
        loadOnce();
    } while (loadAgain_);
}

void ConfigurationLoader::loadOnce()
{
    link_.resetForLoad();
    link_.delay(settleMs);
    statusBar_.setMessagePanel(u"ВНИМАНИЕ! ИДЕТ ЗАГРУЗКА КОНФИГУРАЦИИ"_s);
    setBusy(true);
    const QString failure = readTree();
    TreeNode* shown = onLoaded_ ? onLoaded_() : nullptr;
    setBusy(false);
    if (tree_.topLevel().empty()) {
        // Nothing is watched: the operator is told how to begin.
        statusBar_.setMessagePanel(u"Ни одна система не введена в состав: Сервис → Ввести в состав"_s);
        link_.stopPolling();
    } else {
        statusBar_.setMessagePanel({});
        tree_.select(shown ? shown : tree_.topLevel().front().get());
        link_.startPolling();
        popup_.assignNormalMenu();
    }
    // Reported once the window is whole again, so that polling goes on while the box is open.
    if (!failure.isEmpty())
        dialogs_.notice(errorCaption, failure, Dialogs::Icon::Error);
}

QString ConfigurationLoader::readTree()
{
    const QString path = settings_.folder().complexFile();
    QString failure;
    bool replaced = false;
    try {
        replaced = ComplexFile::load(tree_, path);
    } catch (const ComplexFile::LevelError& error) {
        // The nodes before the faulty line are in the tree; they are loaded as usual.
        replaced = true;
        failure = incompleteLoad(path, error);
    } catch (const std::exception& error) {
        // A file that cannot be read leaves the tree as it was.
        failure = incompleteLoad(path, error);
    }
    unreadable_.clear();
    try {
        visitSystems(replaced);
    } catch (const ConversionError& error) {
        failure = incompleteLoad(path, error);
    }
    // Each detector file that is there but cannot be read is named once; its detectors are shown
    // as the defaults make them, and the rest of the complex loads.
    for (auto file = unreadable_.cbegin(); file != unreadable_.cend(); ++file)
        failure += (failure.isEmpty() ? QString() : u"\n"_s)
                   + u"Не удаётся прочитать файл извещателей \"%1\": %2."_s.arg(file.key(), file.value());
    return failure;
}

// Systems are visited in tree order, each followed by its subtree, as absolute indices run. A
// tree kept from before (no file) keeps its pictures, but its systems are accepted again, so
// that polling serves the systems the tree shows.
void ConfigurationLoader::visitSystems(bool setPictures)
{
    const auto& systems = tree_.topLevel();
    for (std::size_t i = 0; i < systems.size();) {
        TreeNode& system = *systems[i];
        bool accepted = false;
        try {
            accepted = acceptSystem(system);
        } catch (const ConversionError&) {
            // The load ends at this system: it and the systems after it were not loaded, so
            // they leave the tree rather than stand there unpolled and without pictures.
            while (systems.size() > i)
                tree_.remove(systems.back().get());
            throw;
        }
        if (!accepted) {
            // The next system has moved into place i.
            tree_.remove(&system);
            continue;
        }
        if (setPictures) {
            tree_.setPicture(system, stateicon::systemNormal);
            setSubtreePictures(system, 1, settings_.systemFile(addressText(system)));
        }
        ++i;
    }
}

bool ConfigurationLoader::acceptSystem(const TreeNode& system)
{
    const int address = toInteger(addressText(system));
    if (address < 0 || address > 3) {
        dialogs_.notice(errorCaption, u"Версия программы обслуживает адреса из диапазона 0..3"_s, Dialogs::Icon::Error);
        return false;
    }
    link_.acceptSystem(address);
    return true;
}

void ConfigurationLoader::setSubtreePictures(const TreeNode& parent, int childLevel, const QString& systemFile)
{
    for (const auto& child : parent.children()) {
        const int picture = childLevel == 1   ? stateicon::zone
                            : childLevel == 2 ? detectorPicture(systemFile, child->text())
                                              : stateicon::none;
        tree_.setPicture(*child, picture);
        setSubtreePictures(*child, childLevel + 1, systemFile);
    }
}

int ConfigurationLoader::detectorPicture(const QString& systemFile, const QString& nodeText)
{
    QString failure;
    const int picture = configuredDetectorPicture(store_, systemFile, nodeText, &failure);
    if (!failure.isEmpty()) {
        const QString path = detectorFilePath(systemFile, nodeText[1]);
        if (!unreadable_.contains(path))
            unreadable_.insert(path, failure);
    }
    return picture;
}

void ConfigurationLoader::setBusy(bool busy)
{
    if (onBusy_)
        onBusy_(busy);
}

} // namespace kirvan
