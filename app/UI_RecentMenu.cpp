#include "app/UI_RecentMenu.h"

#include "net/CHtmlCtrl.h"
#include "util/UTL_RecentFiles.h"

#include <QFile>

UI_RecentMenu::UI_RecentMenu(QWidget* parent) : QMenu("Open &Recent", parent)
{
    connect(this, &QMenu::aboutToShow, this, &UI_RecentMenu::Fill);
}

void UI_RecentMenu::Remember(const QString& path)
{
    UTL_RecentFiles recent(UTL_RecentFiles::DefaultPath());
    std::string error;
    if (!recent.Add(QFile::encodeName(path).toStdString(), error))
        UI_LogEvent("recent files not kept: " + QString::fromStdString(error));
}

void UI_RecentMenu::Fill()
{
    clear();
    UTL_RecentFiles recent(UTL_RecentFiles::DefaultPath());
    recent.Load();
    if (recent.Files().empty())
    {
        addAction("No recent files")->setEnabled(false);
        return;
    }
    int number = 0;
    for (const std::string& file : recent.Files())
    {
        const QString path = QFile::decodeName(QByteArray::fromStdString(file));
        // "&&" shows an ampersand of the path rather than making it the item's key.
        QString label = QString(path).replace("&", "&&");
        if (++number < 10)
            label = QString("&%1 %2").arg(number).arg(label);
        connect(addAction(label), &QAction::triggered, this, [this, path] { emit chosen(path); });
    }
}
