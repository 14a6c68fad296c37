#include "net/CFBLoginDialog.h"

#include "net/CHtmlCtrl.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

CFBLoginDialog::CFBLoginDialog(QWidget* parent)
    : QDialog(parent), browser(new CHtmlCtrl(this)), closeButton(new QPushButton("Close", this))
{
    setWindowTitle("Log in to see your friends");
    setModal(false);
    resize(660, 600);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(browser, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    closeButton->setFixedSize(80, 26);
    closeButton->setAutoDefault(false);
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);

    browser->SetSilent(true);
    browser->setFocus();
    connect(closeButton, &QPushButton::clicked, this, &CFBLoginDialog::OnCloseButton);
}

void CFBLoginDialog::SetOwnerFrame(QWidget* frame)
{
    ownerFrame = frame;
    browser->SetMainWindow(frame);
}

void CFBLoginDialog::Navigate(const std::string& address)
{
    browser->setUrl(QUrl(QString::fromStdString(address)));
}

void CFBLoginDialog::OnCloseButton()
{
    hide();
    UI_LogEvent("login dialog closed");
    if (ownerFrame)
    {
        ownerFrame->activateWindow();
        ownerFrame->setFocus();
    }
    emit closed();
}
