#include "console/TForm4.h"

#include "access/AccessControl.h"
#include "complex/ControlModuleEditor.h"
#include "console/DialogFit.h"
#include "console/GuardedSlot.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kirvan {

namespace {

template <typename Widget>
Widget* named(Widget* widget, const QString& name)
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

TForm4::TForm4(ControlModuleEditor& editor, AccessControl& access, MessageLoop& loop, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      editor_(editor)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Редактирование модуля управления"));
    // Laid out, not placed: the names of the system and the zone and the captions keep their
    // whole width at any scale, and the window is as large as they need and no larger.
    auto* form = new QGridLayout(this);
    form->setSizeConstraint(QLayout::SetFixedSize);
    form->setHorizontalSpacing(fontMetrics().averageCharWidth() * 2);
    auto* place = new QHBoxLayout;
    place->addWidget(named(new QLabel(editor_.system()), QStringLiteral("Label2")));
    place->addWidget(named(new QLabel(editor_.zone()), QStringLiteral("Label3")));
    place->addStretch();
    form->addWidget(named(new QLabel(QStringLiteral("КОМПЛЕКС:")), QStringLiteral("Label1")), 0, 0);
    form->addLayout(place, 0, 1);
    form->addWidget(named(new QLabel(QStringLiteral("СЦЕНАРИЙ НА ПУ ")), QStringLiteral("Label5")), 1, 0);
    form->addWidget(named(new QLabel(QStringLiteral("РЕЖИМ ")), QStringLiteral("Label6")), 2, 0);
    form->addWidget(named(new QLabel(QStringLiteral("КОМЕНТАРИЙ")), QStringLiteral("Label4")), 3, 0);

    ComboBox1 = named(new QComboBox, QStringLiteral("ComboBox1"));
    ComboBox1->addItem(QStringLiteral("НЕТ"));
    for (int scenario = 1; scenario <= ControlModuleEditor::scenarioCount; ++scenario)
        ComboBox1->addItem(QStringLiteral("%1").arg(scenario, 2, 10, QLatin1Char('0')));
    ComboBox1->setCurrentIndex(editor_.scenario());
    ComboBox2 = named(new QComboBox, QStringLiteral("ComboBox2"));
    ComboBox2->addItems({QString(), QStringLiteral("РУЧНОЙ"), QStringLiteral("АВТОМАТ")});
    ComboBox2->setCurrentIndex(editor_.mode());
    Edit1 = named(new QLineEdit(editor_.comment()), QStringLiteral("Edit1"));
    Edit1->setMinimumWidth(fontMetrics().averageCharWidth() * 24);
    form->addWidget(ComboBox1, 1, 1, Qt::AlignLeft);
    form->addWidget(ComboBox2, 2, 1, Qt::AlignLeft);
    form->addWidget(Edit1, 3, 1);

    Button1 = button(QStringLiteral("Button1"), QStringLiteral("Запустить"));
    Button2 = button(QStringLiteral("Button2"), QStringLiteral("Сохранить"));
    Button3 = button(QStringLiteral("Button3"), QStringLiteral("Удалить"));
    Button4 = button(QStringLiteral("Button4"), QStringLiteral("Выйти"));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* pressed : {Button1, Button2, Button3, Button4})
        buttons->addWidget(pressed);
    form->addLayout(buttons, 4, 0, 1, 2);
    fitCaption(*this);

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
