#include "app/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("About Halvane");
    auto* layout = new QVBoxLayout(this);
    auto* text = new QLabel(
        "<h3>Halvane " HALVANE_VERSION "</h3>"
        "<p>Your circle of friends as a globe: every friend a locator with picture and name, "
        "every friendship a row of glowing dots.</p>"
        "<p>Drag or flick the globe to turn it, click a friend to fly there, or pick one in the "
        "docks.</p>",
        this);
    text->setWordWrap(true);
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setFixedWidth(360);
}
