#pragma once

#include <QDialog>

// The About box: the product, its version and what it does.
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
