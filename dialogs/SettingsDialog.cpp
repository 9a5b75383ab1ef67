#include "dialogs/SettingsDialog.h"

#include "access/AccessControl.h"
#include "app/GuardedSlot.h"
#include "dialogs/DialogFit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kirvan {

SettingsDialog::SettingsDialog(SettingsFile& settings, AccessControl& access, MessageLoop& loop,
                               std::function<void()> saved, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      form_(settings),
      access_(access),
      saved_(std::move(saved)),
      session_(access.session())
{
    setObjectName(QStringLiteral("settingsDialog"));
    setWindowTitle(QStringLiteral("Параметры"));
    auto* rows = new QVBoxLayout(this);
    rows->setSizeConstraint(QLayout::SetFixedSize);
    about = new QLabel(QStringLiteral(
        "Пустое поле: значение по умолчанию. Задаются в другом месте: COM-порт (меню «Настройки»), состав "
        "комплекса (меню «Сервис»), модули управления (меню зоны), пользователи (kirvan-tool user), диски "
        "Windows (kirvan-tool ini)."));
    about->setWordWrap(true);
    rows->addWidget(about);
    groups = new QTabWidget;
    problems_.resize(SettingsForm::fields().size());
    QStringList names;
    for (const SettingsForm::Field& field : SettingsForm::fields())
        if (!names.contains(field.group)) {
            names << field.group;
            auto* page = new QScrollArea;
            page->setFrameShape(QFrame::NoFrame);
            page->setWidgetResizable(true);
            page->setWidget(buildGroup(field.group, loop));
            pages_.push_back(page);
            groups->addTab(page, field.group);
        }
    rows->addWidget(groups);
    outcome = new QLabel;
    outcome->setObjectName(QStringLiteral("outcome"));
    outcome->setWordWrap(true);
    rows->addWidget(outcome);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* saveButton = new QPushButton(QStringLiteral("Сохранить"));
    saveButton->setObjectName(QStringLiteral("saveButton"));
    auto* closeButton = new QPushButton(QStringLiteral("Закрыть"));
    closeButton->setObjectName(QStringLiteral("closeButton"));
    buttons->addWidget(saveButton);
    buttons->addWidget(closeButton);
    rows->addLayout(buttons);
    connect(saveButton, &QPushButton::clicked, this, guardedSlot(loop, [this] { save(); }));
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    showProblems();
    fitCaption(*this);
}

// The pages as large as the largest needs; at a large scale on a small screen they scroll, so that
// the dialog stays on the screen.
void SettingsDialog::fitToScreen()
{
    QSize content;
    QSize shown;
    for (const QScrollArea* area : pages_) {
        content = content.expandedTo(area->widget()->sizeHint());
        shown = shown.expandedTo(area->sizeHint());
    }
    // The tab bar and the frame around the pages come on top.
    const QSize natural = content + groups->sizeHint() - shown;
    groups->setFixedSize(natural);
    about->setMaximumWidth(natural.width());
    // The window manager's frame is not known before the dialog shows: a twentieth of the screen
    // is left for it.
    const QSize room = screen()->availableGeometry().size() * 0.95;
    const QSize excess = (sizeHint() - room).expandedTo(QSize(0, 0));
    groups->setFixedSize(natural - excess);
    about->setMaximumWidth(natural.width() - excess.width());
}

QWidget* SettingsDialog::buildGroup(const QString& group, MessageLoop& loop)
{
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    int row = 0;
    for (std::size_t i = 0; i < SettingsForm::fields().size(); ++i) {
        const SettingsForm::Field& field = SettingsForm::fields()[i];
        if (field.group != group)
            continue;
        QWidget* editor = nullptr;
        const auto changed = guardedSlot(loop, [this, i](const QString& value) {
            form_.setValue(i, value);
            showProblems();
        });
        if (field.choices.empty()) {
            auto* line = new QLineEdit(form_.value(i));
            line->setPlaceholderText(field.hint);
            // The hint whole, in the empty field.
            line->setMinimumWidth(std::max(fontMetrics().averageCharWidth() * 24,
                                           fontMetrics().horizontalAdvance(field.hint + QStringLiteral("MM"))));
            if (field.secret)
                line->setEchoMode(QLineEdit::Password);
            connect(line, &QLineEdit::textEdited, this, changed);
            editor = line;
        } else {
            auto* box = new QComboBox;
            for (const SettingsForm::Choice& choice : field.choices)
                box->addItem(choice.text, choice.value);
            // A value written by hand that no choice names stays as it is until another is chosen.
            if (box->findData(form_.value(i)) < 0)
                box->addItem(QStringLiteral("«%1»").arg(form_.value(i)), form_.value(i));
            box->setCurrentIndex(box->findData(form_.value(i)));
            connect(box, &QComboBox::currentIndexChanged, this,
                    [changed, box](int index) { changed(box->itemData(index).toString()); });
            editor = box;
        }
        editor->setObjectName(field.caption());
        editor->setToolTip(field.hint);
        // Under its field, wrapped: a long reason must not widen the dialog past the screen.
        auto* problem = new QLabel;
        problem->setObjectName(field.caption() + QStringLiteral(": ошибка"));
        problem->setStyleSheet(QStringLiteral("color: red;"));
        problem->setWordWrap(true);
        problems_[i] = problem;
        grid->addWidget(new QLabel(field.key.toString()), row, 0);
        grid->addWidget(editor, row, 1);
        grid->addWidget(problem, row + 1, 1);
        row += 2;
    }
    grid->setRowStretch(row, 1);
    return page;
}

void SettingsDialog::showProblems()
{
    for (std::size_t i = 0; i < problems_.size(); ++i) {
        problems_[i]->setText(form_.problem(i));
        problems_[i]->setVisible(!problems_[i]->text().isEmpty());
    }
    fitToScreen();
}

void SettingsDialog::save()
{
    if (access_.session() != session_) {
        outcome->setText(QStringLiteral("Не сохранено: сеанс, в котором окно открыто, закончился."));
        return;
    }
    if (!form_.valid()) {
        outcome->setText(QStringLiteral("Не сохранено: исправьте отмеченные поля."));
        return;
    }
    const std::vector<SettingsForm::Change> changes = form_.save();
    for (const SettingsForm::Change& change : changes)
        access_.audit(SettingsForm::auditCaption(change));
    if (!changes.empty() && saved_)
        saved_();
    outcome->setText(SettingsForm::outcome(changes));
}

} // namespace kirvan
