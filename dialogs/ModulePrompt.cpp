#include "console/TForm3.h"

#include "access/AccessControl.h"
#include "complex/ControlModules.h"
#include "console/GuardedSlot.h"

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

TForm3::TForm3(ControlModules& modules, AccessControl& access, MessageLoop& loop, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                         | Qt::WindowCloseButtonHint),
      modules_(modules),
      access_(access),
      loop_(loop)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Модуль управления"));
    const ControlModulePrompt prompt = modules_.prompt().value_or(ControlModulePrompt{});
    Label1 = promptLabel(QStringLiteral("Label1"), prompt.Label1);
    Label2 = promptLabel(QStringLiteral("Label2"), prompt.Label2);
    Button1 = promptButton(QStringLiteral("Button1"), QStringLiteral("ДА"));
    Button2 = promptButton(QStringLiteral("Button2"), QStringLiteral("ПРОПУСТИТЬ"));
    // The design's width in letters; the height follows the wrapped texts at any scale.
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    for (QLabel* label : {Label1, Label2}) {
        label->setFixedWidth(fontMetrics().averageCharWidth() * 36);
        layout->addWidget(label);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addStretch();
    buttons->addWidget(Button2);
    layout->addLayout(buttons);
    connect(Button1, &QPushButton::clicked, this,
            guardedSlot(loop, [this] { answer(QStringLiteral("ДА"), &ControlModules::Button1Click); }));
    connect(Button2, &QPushButton::clicked, this,
            guardedSlot(loop, [this] { answer(QStringLiteral("ПРОПУСТИТЬ"), &ControlModules::closePrompt); }));
}

void TForm3::closeEvent(QCloseEvent* event)
{
    loop_.runHandler([this] { answer(QStringLiteral("закрыт"), &ControlModules::closePrompt); });
    event->accept();
}

void TForm3::answer(const QString& caption, void (ControlModules::*execute)())
{
    // The prompt goes with the answer: its text is taken first.
    const std::optional<ControlModulePrompt> prompt = modules_.prompt();
    if (!prompt)
        return;
    (modules_.*execute)();
    access_.audit(QStringLiteral("Модуль управления: %1 (%2, сценарий %3)").arg(caption, prompt->Label1).arg(prompt->scenario));
}

} // namespace kirvan
