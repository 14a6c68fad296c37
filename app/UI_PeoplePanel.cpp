#include "app/UI_PeoplePanel.h"

#include "app/UI_PeopleModel.h"
#include "net/CHtmlCtrl.h"
#include "sim/UTL_SimCtrlHalvane.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>

UI_PeoplePanel::UI_PeoplePanel(UTL_SimCtrlHalvane& controller, QWidget* parent)
    : QDockWidget("People", parent), controller(controller), model(new UI_PeopleModel(this))
{
    setObjectName("peoplePanel");
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    filterField = new QLineEdit(body);
    filterField->setPlaceholderText("Filter by name or id");
    filterField->setClearButtonEnabled(true);
    tableView = new QTableView(body);
    tableView->setModel(model);
    tableView->setSortingEnabled(true);
    tableView->sortByColumn(0, Qt::AscendingOrder);
    tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tableView->verticalHeader()->hide();
    tableView->verticalHeader()->setDefaultSectionSize(tableView->fontMetrics().height() + 6);
    // The numbers as wide as their widest (of the first thousand rows), the name the rest.
    QHeaderView* header = tableView->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::ResizeToContents);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    layout->addWidget(filterField);
    layout->addWidget(tableView);
    setWidget(body);
    progressLabel = new QLabel(this);
    progressLabel->hide();

    connect(filterField, &QLineEdit::textChanged, model, &UI_PeopleModel::SetFilterText);
    connect(tableView, &QTableView::clicked, this, &UI_PeoplePanel::OnClicked);
}

void UI_PeoplePanel::Refresh()
{
    UTL_CircleAnalysis& analysis = controller.GetAnalysis();
    analysis.Poll();
    if (analysis.IsComputing())
    {
        progressLabel->setText(
            QString("Centralities: %1 %").arg(int(analysis.GetProgress() * 100.0 + 0.5)));
        progressLabel->show();
    }
    else if (!analysis.GetError().empty())
    {
        progressLabel->setText("Centralities failed: " +
                               QString::fromStdString(analysis.GetError()));
        progressLabel->show();
    }
    else
        progressLabel->hide();
    if (analysis.GetTableVersion() == shownVersion)
        return;
    shownVersion = analysis.GetTableVersion();
    model->SetTable(analysis.GetTable());
    UI_LogEvent(QString("people table: %1 rows").arg(analysis.GetTable().RowCount()));
}

bool UI_PeoplePanel::ExportCsv(const QString& path, std::string& error) const
{
    if (model->GetTable().RowCount() == 0 && model->GetTable().Filter().empty())
    {
        error = "the people table is not ready yet";
        return false;
    }
    return model->GetTable().WriteCsv(path.toStdString(), error);
}

void UI_PeoplePanel::OnClicked(const QModelIndex& index)
{
    const QString id = model->IdAt(index.row());
    if (id.isEmpty())
        return;
    UI_LogEvent("people table picked: " + id);
    controller.SelectFriendById(id.toStdString());
}
