#include "app/UI_SearchBar.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace
{
constexpr int BarWidth = 360;
// Below the scene's top bar.
constexpr int TopMargin = 38;
} // namespace

UI_SearchBar::UI_SearchBar(QWidget* parent)
    : QFrame(parent), field(new QLineEdit(this)), matches(new QListWidget(this))
{
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    field->setPlaceholderText("Find a person by name");
    field->setClearButtonEnabled(true);
    field->installEventFilter(this);
    matches->setFocusPolicy(Qt::NoFocus);
    matches->setUniformItemSizes(true);
    matches->hide();
    layout->addWidget(field);
    layout->addWidget(matches);
    connect(field, &QLineEdit::textChanged, this, &UI_SearchBar::ShowMatches);
    connect(field, &QLineEdit::returnPressed, this,
            [this] { Pick(matches->currentRow() >= 0 ? matches->currentRow() : 0); });
    connect(matches, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { Pick(matches->row(item)); });
    if (parent)
        parent->installEventFilter(this);
    hide();
}

void UI_SearchBar::Open(UTL_NameSearch value)
{
    people = std::move(value);
    ShowMatches(field->text());
    Place();
    show();
    raise();
    field->setFocus(Qt::ShortcutFocusReason);
    field->selectAll();
}

void UI_SearchBar::Close()
{
    if (isHidden())
        return;
    hide();
    emit closed();
}

void UI_SearchBar::ShowMatches(const QString& text)
{
    matches->clear();
    for (size_t i : people.Find(text.toStdString(), MaxMatches))
    {
        const UTL_NameSearch::Person& person = people.At(i);
        auto* item = new QListWidgetItem(QString::fromStdString(person.name), matches);
        item->setData(Qt::UserRole, QString::fromStdString(person.id));
    }
    matches->setVisible(matches->count() > 0);
    if (matches->count() > 0)
    {
        const int rows = std::min(matches->count(), VisibleRows);
        matches->setFixedHeight(rows * matches->sizeHintForRow(0) + 2 * matches->frameWidth());
    }
    adjustSize();
    Place();
}

void UI_SearchBar::Pick(int row)
{
    QListWidgetItem* item = matches->item(row);
    if (!item)
        return; // nothing matches: the bar stays for the text to be corrected
    const QString id = item->data(Qt::UserRole).toString();
    const QString name = item->text();
    Close();
    emit picked(id, name);
}

void UI_SearchBar::Place()
{
    QWidget* over = parentWidget();
    if (!over)
        return;
    const int width = std::min(BarWidth, over->width());
    resize(width, sizeHint().height());
    move((over->width() - width) / 2, std::min(TopMargin, std::max(0, over->height() - height())));
}

bool UI_SearchBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        Place();
    if (watched == field && event->type() == QEvent::KeyPress)
    {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int count = matches->count();
        switch (key->key())
        {
        case Qt::Key_Escape:
            Close();
            return true;
        case Qt::Key_Down:
            if (count > 0)
                matches->setCurrentRow(std::min(matches->currentRow() + 1, count - 1));
            return true;
        case Qt::Key_Up:
            if (count > 0)
                matches->setCurrentRow(std::max(matches->currentRow() - 1, 0));
            return true;
        default:
            break;
        }
    }
    return QFrame::eventFilter(watched, event);
}
