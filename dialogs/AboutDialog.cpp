#include "dialogs/AboutDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kirvan {

AboutDialog::AboutDialog(const QString& version, const QString& folder, const QString& port, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QStringLiteral("О программе"));
    auto* rows = new QVBoxLayout(this);
    // As large as its texts: a deep folder path is read whole.
    rows->setSizeConstraint(QLayout::SetFixedSize);
    rows->addWidget(new QLabel(QStringLiteral("Программа KirvanMonitorP")));
    rows->addWidget(new QLabel(QStringLiteral("АРМ оператора комплекса КИРВАН")));
    auto* facts = new QFormLayout;
    const auto fact = [facts](const QString& caption, const QString& text, const QString& name) {
        auto* value = new QLabel(text);
        value->setObjectName(name);
        // Copied into a service request as it stands.
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        facts->addRow(caption, value);
    };
    fact(QStringLiteral("Версия:"), version, QStringLiteral("aboutVersion"));
    fact(QStringLiteral("Папка рабочего места:"), folder, QStringLiteral("aboutFolder"));
    fact(QStringLiteral("Порт линии связи:"), port, QStringLiteral("aboutPort"));
    rows->addLayout(facts);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    rows->addWidget(buttons);
}

} // namespace kirvan
