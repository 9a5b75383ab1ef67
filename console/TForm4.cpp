#include "console/TForm4.h"

#include "access/AccessControl.h"
#include "complex/ControlModuleEditor.h"
#include "console/GuardedSlot.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kirvan {

namespace {

template <typename Widget>
Widget* place(Widget* widget, QWidget* form, const QString& name, const QRect& where)
{
    widget->setParent(form);
    widget->setObjectName(name);
    widget->setGeometry(where);
    return widget;
}

QLabel* label(QWidget* form, const QString& name, const QString& text, QPoint at)
{
    auto* shown = place(new QLabel(text), form, name, QRect(at, QSize(0, 0)));
    shown->adjustSize();
    return shown;
}

QPushButton* button(QWidget* form, const QString& name, const QString& caption, int left)
{
    auto* pressed = place(new QPushButton(caption), form, name, QRect(left, 175, 75, 25));
    // Enter in the comment must not start or save anything.
    pressed->setAutoDefault(false);
    return pressed;
}

} // namespace

TForm4::TForm4(ControlModuleEditor& editor, AccessControl& access, MessageLoop& loop, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      editor_(editor)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Редактирование модуля управления"));
    // The client area of a window 376 × 249 with its frame and caption.
    setFixedSize(368, 215);
    label(this, QStringLiteral("Label1"), QStringLiteral("КОМПЛЕКС:"), {16, 24});
    label(this, QStringLiteral("Label2"), editor_.system(), {85, 24});
    label(this, QStringLiteral("Label3"), editor_.zone(), {232, 24});
    label(this, QStringLiteral("Label5"), QStringLiteral("СЦЕНАРИЙ НА ПУ "), {16, 56});
    label(this, QStringLiteral("Label6"), QStringLiteral("РЕЖИМ "), {16, 90});
    label(this, QStringLiteral("Label4"), QStringLiteral("КОМЕНТАРИЙ"), {16, 128});

    ComboBox1 = place(new QComboBox, this, QStringLiteral("ComboBox1"), QRect(160, 52, 118, 21));
    ComboBox1->addItem(QStringLiteral("НЕТ"));
    for (int scenario = 1; scenario <= ControlModuleEditor::scenarioCount; ++scenario)
        ComboBox1->addItem(QStringLiteral("%1").arg(scenario, 2, 10, QLatin1Char('0')));
    ComboBox1->setCurrentIndex(editor_.scenario());
    ComboBox2 = place(new QComboBox, this, QStringLiteral("ComboBox2"), QRect(160, 86, 119, 21));
    ComboBox2->addItems({QString(), QStringLiteral("РУЧНОЙ"), QStringLiteral("АВТОМАТ")});
    ComboBox2->setCurrentIndex(editor_.mode());
    Edit1 = place(new QLineEdit(editor_.comment()), this, QStringLiteral("Edit1"), QRect(104, 124, 176, 21));

    Button1 = button(this, QStringLiteral("Button1"), QStringLiteral("Запустить"), 16);
    Button2 = button(this, QStringLiteral("Button2"), QStringLiteral("Сохранить"), 121);
    Button3 = button(this, QStringLiteral("Button3"), QStringLiteral("Удалить"), 202);
    Button4 = button(this, QStringLiteral("Button4"), QStringLiteral("Выйти"), 283);

    connect(ComboBox1, &QComboBox::currentIndexChanged, this, guardedSlot(loop, [this](int index) {
                editor_.setScenario(index);
                ComboBox1Change();
            }));
    connect(ComboBox2, &QComboBox::currentIndexChanged, this,
            guardedSlot(loop, [this](int index) { editor_.setMode(index); }));
    connect(Edit1, &QLineEdit::textEdited, this,
            guardedSlot(loop, [this](const QString& text) { editor_.setComment(text); }));
    const auto audit = [this, &access](const QString& what) {
        access.audit(QStringLiteral("Модуль управления: %1 (%2 %3)").arg(what, editor_.system(), editor_.zone()));
    };
    connect(Button1, &QPushButton::clicked, this, guardedSlot(loop, [this, audit] {
                editor_.Button1Click();
                audit(QStringLiteral("Запустить"));
            }));
    connect(Button2, &QPushButton::clicked, this, guardedSlot(loop, [this, audit] {
                editor_.Button2Click();
                audit(QStringLiteral("Сохранить"));
            }));
    connect(Button3, &QPushButton::clicked, this, guardedSlot(loop, [this, audit] {
                if (editor_.Button3Click()) {
                    audit(QStringLiteral("Удалить"));
                    accept();
                }
            }));
    connect(Button4, &QPushButton::clicked, this, &QDialog::accept);
    ComboBox1Change();
}

void TForm4::ComboBox1Change()
{
    const bool enabled = editor_.actionsEnabled();
    for (QPushButton* action : {Button1, Button2, Button3})
        action->setEnabled(enabled);
}

} // namespace kirvan
