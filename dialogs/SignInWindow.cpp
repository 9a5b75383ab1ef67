#include "dialogs/SignInWindow.h"

#include "access/AccessControl.h"
#include "app/GuardedSlot.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace kirvan {

SignInWindow::SignInWindow(AccessControl& access, MessageLoop& loop, QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      access_(access)
{
    setObjectName(QStringLiteral("SignInWindow"));
    setWindowTitle(QStringLiteral("Вход оператора"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* rows = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    name_ = new QComboBox;
    name_->setObjectName(QStringLiteral("name"));
    name_->addItems(access.names());
    if (const int current = name_->findText(access.who()); current >= 0)
        name_->setCurrentIndex(current);
    form->addRow(QStringLiteral("Оператор:"), name_);
    password_ = new QLineEdit;
    password_->setObjectName(QStringLiteral("password"));
    password_->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("Пароль:"), password_);
    rows->addLayout(form);
    message_ = new QLabel;
    message_->setObjectName(QStringLiteral("message"));
    message_->setWordWrap(true);
    rows->addWidget(message_);
    auto* buttons = new QHBoxLayout;
    ok_ = new QPushButton(QStringLiteral("Войти"));
    ok_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Отмена"));
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    rows->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, guardedSlot(loop, [this] { submit(); }));
    connect(password_, &QLineEdit::returnPressed, this, guardedSlot(loop, [this] { submit(); }));
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    password_->setFocus();
}

void SignInWindow::submit()
{
    if (!ok_->isEnabled() || name_->currentText().isEmpty())
        return;
    ok_->setEnabled(false);
    message_->setText(QStringLiteral("Пароль проверяется…"));
    const QString password = password_->text();
    password_->clear();
    // The answer may come after the window has been closed.
    QPointer<SignInWindow> self(this);
    access_.signIn(name_->currentText(), password, [self](const AccessControl::SignInResult& result) {
        if (SignInWindow* window = self.data())
            window->answered(result);
    });
}

void SignInWindow::answered(const AccessControl::SignInResult& result)
{
    if (result.outcome == AccessControl::Outcome::SignedIn) {
        close();
        return;
    }
    message_->setText(result.message);
    // A message of more lines than the last one: the window grows to show it whole, as a
    // window laid out once does not.
    resize(width(), std::max(height(), layout()->totalHeightForWidth(width())));
    ok_->setEnabled(true);
    password_->setFocus();
}

} // namespace kirvan
