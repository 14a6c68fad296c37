#pragma once

#include <QDialog>
#include <string>

class CHtmlCtrl;
class QPushButton;

// The login dialog: the social network's login page in an embedded browser, and a Close button.
// The user logs in on the page and presses Close; the dialog then hides (it is never destroyed
// before the program ends), gives the focus back to its owner frame and signals `closed`, on
// which the frame starts loading the friends. Modeless; GUI thread only.
class CFBLoginDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CFBLoginDialog(QWidget* parent = nullptr);

    // The main window: it gets the focus back on Close and is what "app:Minimise" minimises.
    void SetOwnerFrame(QWidget* frame);
    void Navigate(const std::string& address);

    CHtmlCtrl* GetBrowser() const { return browser; }
    QPushButton* GetCloseButton() const { return closeButton; }

signals:
    void closed();

private:
    void OnCloseButton();

    CHtmlCtrl* browser;
    QPushButton* closeButton;
    QWidget* ownerFrame = nullptr;
};
