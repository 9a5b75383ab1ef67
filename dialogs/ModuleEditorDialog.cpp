#include "dialogs/ModuleEditorDialog.h"

#include "access/AccessControl.h"
#include "complex/ControlModuleEditor.h"
#include "dialogs/DialogFit.h"
#include "app/GuardedSlot.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kirvan {

namespace {

template <typename Widget> Widget* named(Widget* widget, const QString& name)
{
    widget->setObjectName(name);
    return widget;
}

QPushButton* button(const QString& name, const QString& caption)
{
    auto* pressed = named(new QPushButton(caption), name);
    // Enter in the comment must not start or save anything.
    pressed->setAutoDefault(false);
    return pressed;
}

} // namespace

ModuleEditorDialog::ModuleEditorDialog(ControlModuleEditor& editor, AccessControl& access, MessageLoop& loop,
                                       QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      editor_(editor)
{
    setObjectName(QStringLiteral("moduleEditor"));
    setWindowTitle(QStringLiteral("Редактирование модуля управления"));
    // Laid out, not placed: the names of the system and the zone and the captions keep their
    // whole width at any scale, and the window is as large as they need and no larger.
    auto* form = new QGridLayout(this);
    form->setSizeConstraint(QLayout::SetFixedSize);
    form->setHorizontalSpacing(fontMetrics().averageCharWidth() * 2);
    auto* place = new QHBoxLayout;
    place->addWidget(named(new QLabel(editor_.system()), QStringLiteral("systemLabel")));
    // Two names side by side read as one ("A01:СКЛАДКотельная") without a mark between them.
    place->addWidget(new QLabel(QStringLiteral("/")));
    place->addWidget(named(new QLabel(editor_.zone()), QStringLiteral("zoneLabel")));
    place->addStretch();
    form->addWidget(named(new QLabel(QStringLiteral("КОМПЛЕКС:")), QStringLiteral("complexCaption")), 0, 0);
    form->addLayout(place, 0, 1);
    form->addWidget(named(new QLabel(QStringLiteral("СЦЕНАРИЙ НА ПУ ")), QStringLiteral("scenarioCaption")), 1, 0);
    form->addWidget(named(new QLabel(QStringLiteral("РЕЖИМ ")), QStringLiteral("modeCaption")), 2, 0);
    form->addWidget(named(new QLabel(QStringLiteral("КОММЕНТАРИЙ")), QStringLiteral("commentCaption")), 3, 0);

    scenarioBox = named(new QComboBox, QStringLiteral("scenarioBox"));
    scenarioBox->addItem(QStringLiteral("НЕТ"));
    for (int scenario = 1; scenario <= ControlModuleEditor::scenarioCount; ++scenario)
        scenarioBox->addItem(QStringLiteral("%1").arg(scenario, 2, 10, QLatin1Char('0')));
    scenarioBox->setCurrentIndex(editor_.scenario());
    modeBox = named(new QComboBox, QStringLiteral("modeBox"));
    modeBox->addItems({QString(), QStringLiteral("РУЧНОЙ"), QStringLiteral("АВТОМАТ")});
    modeBox->setCurrentIndex(editor_.mode());
    commentEdit = named(new QLineEdit(editor_.comment()), QStringLiteral("commentEdit"));
    commentEdit->setMinimumWidth(fontMetrics().averageCharWidth() * 24);
    form->addWidget(scenarioBox, 1, 1, Qt::AlignLeft);
    form->addWidget(modeBox, 2, 1, Qt::AlignLeft);
    form->addWidget(commentEdit, 3, 1);

    startButton = button(QStringLiteral("startButton"), QStringLiteral("Запустить"));
    saveButton = button(QStringLiteral("saveButton"), QStringLiteral("Сохранить"));
    deleteButton = button(QStringLiteral("deleteButton"), QStringLiteral("Удалить"));
    closeButton = button(QStringLiteral("closeButton"), QStringLiteral("Выйти"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* pressed : {startButton, saveButton, deleteButton, closeButton})
        buttons->addWidget(pressed);
    form->addLayout(buttons, 4, 0, 1, 2);
    fitCaption(*this);

    connect(scenarioBox, &QComboBox::currentIndexChanged, this, guardedSlot(loop, [this](int index) {
                editor_.setScenario(index);
                followScenario();
            }));
    connect(modeBox, &QComboBox::currentIndexChanged, this,
            guardedSlot(loop, [this](int index) { editor_.setMode(index); }));
    connect(commentEdit, &QLineEdit::textEdited, this,
            guardedSlot(loop, [this](const QString& text) { editor_.setComment(text); }));
    const auto audit = [this, &access](const QString& what) {
        access.audit(QStringLiteral("Модуль управления: %1 (%2 %3)").arg(what, editor_.system(), editor_.zone()));
    };
    connect(startButton, &QPushButton::clicked, this, guardedSlot(loop, [this, audit] {
                editor_.start();
                audit(QStringLiteral("Запустить"));
            }));
    connect(saveButton, &QPushButton::clicked, this, guardedSlot(loop, [this, audit] {
                editor_.save();
                audit(QStringLiteral("Сохранить"));
            }));
    connect(deleteButton, &QPushButton::clicked, this, guardedSlot(loop, [this, audit] {
                if (editor_.erase()) {
                    audit(QStringLiteral("Удалить"));
                    accept();
                }
            }));
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    followScenario();
}

void ModuleEditorDialog::followScenario()
{
    const bool enabled = editor_.actionsEnabled();
    for (QPushButton* action : {startButton, saveButton, deleteButton})
        action->setEnabled(enabled);
}

} // namespace kirvan
