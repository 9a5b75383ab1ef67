#include "console/TForm3.h"

#include "access/AccessControl.h"
#include "complex/ControlModules.h"
#include "console/GuardedSlot.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace kirvan {

namespace {

QLabel* promptLabel(QWidget* form, const QString& name, const QString& text, const QRect& place)
{
    auto* label = new QLabel(text, form);
    label->setObjectName(name);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(13);
    label->setFont(font);
    // Long names and comments wrap within the window instead of running out of it.
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(place);
    return label;
}

QPushButton* promptButton(QWidget* form, const QString& name, const QString& caption, QPoint at)
{
    auto* button = new QPushButton(caption, form);
    button->setObjectName(name);
    button->setGeometry(QRect(at, QSize(106, 25)));
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
    setFixedSize(278, 152);
    const ControlModulePrompt prompt = modules_.prompt().value_or(ControlModulePrompt{});
    Label1 = promptLabel(this, QStringLiteral("Label1"), prompt.Label1, QRect(18, 17, 252, 36));
    Label2 = promptLabel(this, QStringLiteral("Label2"), prompt.Label2, QRect(19, 56, 251, 42));
    Button1 = promptButton(this, QStringLiteral("Button1"), QStringLiteral("ДА"), QPoint(11, 102));
    Button2 = promptButton(this, QStringLiteral("Button2"), QStringLiteral("ПРОПУСТИТЬ"), QPoint(162, 101));
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
