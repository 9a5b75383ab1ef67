#include "dialogs/ModulePrompt.h"

#include "access/AccessControl.h"
#include "complex/ControlModules.h"
#include "app/GuardedSlot.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kirvan {

namespace {

QLabel* promptLabel(const QString& name, const QString& text)
{
    auto* label = new QLabel(text);
    label->setObjectName(name);
    // Long names and comments wrap within the window instead of running out of it.
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QPushButton* promptButton(const QString& name, const QString& caption)
{
    auto* button = new QPushButton(caption);
    button->setObjectName(name);
    return button;
}

} // namespace

ModulePrompt::ModulePrompt(ControlModules& modules, AccessControl& access, MessageLoop& loop, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                         | Qt::WindowCloseButtonHint),
      modules_(modules),
      access_(access),
      loop_(loop)
{
    setObjectName(QStringLiteral("modulePrompt"));
    setWindowTitle(QStringLiteral("Модуль управления"));
    const ControlModulePrompt prompt = modules_.prompt().value_or(ControlModulePrompt{});
    placeLabel = promptLabel(QStringLiteral("placeLabel"), prompt.place);
    // The question names the scenario that "ДА" starts, not only the module's comment.
    questionLabel = promptLabel(QStringLiteral("questionLabel"), prompt.question());
    yesButton = promptButton(QStringLiteral("yesButton"), QStringLiteral("ДА"));
    skipButton = promptButton(QStringLiteral("skipButton"), QStringLiteral("ПРОПУСТИТЬ"));
    // The design's width in letters; the height follows the wrapped texts at any scale.
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    for (QLabel* label : {placeLabel, questionLabel}) {
        label->setFixedWidth(fontMetrics().averageCharWidth() * 36);
        layout->addWidget(label);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(yesButton);
    buttons->addStretch();
    buttons->addWidget(skipButton);
    layout->addLayout(buttons);
    connect(yesButton, &QPushButton::clicked, this,
            guardedSlot(loop, [this] { answer(QStringLiteral("ДА"), &ControlModules::answerYes); }));
    connect(skipButton, &QPushButton::clicked, this,
            guardedSlot(loop, [this] { answer(QStringLiteral("ПРОПУСТИТЬ"), &ControlModules::closePrompt); }));
}

void ModulePrompt::closeEvent(QCloseEvent* event)
{
    loop_.runHandler([this] { answer(QStringLiteral("закрыт"), &ControlModules::closePrompt); });
    event->accept();
}

void ModulePrompt::answer(const QString& caption, void (ControlModules::*execute)())
{
    // The prompt goes with the answer: its text is taken first.
    const std::optional<ControlModulePrompt> prompt = modules_.prompt();
    if (!prompt)
        return;
    (modules_.*execute)();
    access_.audit(
        QStringLiteral("Модуль управления: %1 (%2, сценарий %3)").arg(caption, prompt->place).arg(prompt->scenario));
}

} // namespace kirvan
