#include "app/UI_PersonPanel.h"

#include "gfx/GFX_Image.h"
#include "gfx/OGL_TextureFoto.h"
#include "graph/UTL_CirclePaths.h"
#include "graph/UTL_SocialGraph.h"
#include "net/CHtmlCtrl.h"
#include "scene/GFX_Friend.h"
#include "sim/UTL_SimCtrlHalvane.h"

#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QVBoxLayout>

namespace
{
QString NameOf(const GFX_Friend* person)
{
    return person ? QString::fromStdString(person->GetShownName()) : QString();
}

QString Count(size_t count, const char* one, const char* many)
{
    return QString("%1 %2").arg(count).arg(count == 1 ? one : many);
}
} // namespace

UI_PersonPanel::UI_PersonPanel(UTL_SimCtrlHalvane& controller, QWidget* parent)
    : QDockWidget("Person", parent), controller(controller)
{
    setObjectName("personPanel");
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(6, 6, 6, 6);
    picture = new QLabel(body);
    picture->setFixedSize(PictureSide, PictureSide);
    picture->setAlignment(Qt::AlignCenter);
    nameLabel = new QLabel(body);
    nameLabel->setWordWrap(true);
    QFont bold = nameLabel->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    nameLabel->setFont(bold);
    detailLabel = new QLabel(body);
    detailLabel->setWordWrap(true);
    answerLabel = new QLabel(body);
    answerLabel->setWordWrap(true);
    list = new QListWidget(body);
    layout->addWidget(picture, 0, Qt::AlignHCenter);
    layout->addWidget(nameLabel);
    layout->addWidget(detailLabel);
    layout->addWidget(answerLabel);
    layout->addWidget(list, 1);
    setWidget(body);

    connect(list, &QListWidget::itemClicked, this, &UI_PersonPanel::OnClicked);
    // The person's context menu ("This is me"), as on the globe and in the docks.
    body->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(body, &QWidget::customContextMenuRequested, this,
            [this, body](const QPoint& at)
            {
                if (const GFX_Friend* person = this->controller.GetSelection().GetPerson())
                    emit personMenuWanted(QString::fromStdString(person->GetId()), NameOf(person),
                                          body->mapToGlobal(at));
            });
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at)
            {
                if (const QListWidgetItem* item = list->itemAt(at))
                    emit personMenuWanted(item->data(Qt::UserRole).toString(), item->text(),
                                          list->viewport()->mapToGlobal(at));
            });
    // Nothing is kept up to date while the panel is closed: it is filled anew when it opens.
    connect(this, &QDockWidget::visibilityChanged, this,
            [this](bool visible)
            {
                if (visible)
                    shownFocus = ~uint64_t(0);
            });
}

void UI_PersonPanel::Refresh()
{
    GFX_Friend* person = controller.GetSelection().GetPerson();
    const UTL_Focus& focus = controller.GetFocus();
    const bool asked =
        focus.GetQuestion() != UTL_Focus::Question::None && person && focus.GetFrom() == person;
    // A question's answer is what the panel is for: it opens to show it.
    if (asked && focus.GetVersion() != shownFocus && isHidden())
        show();
    if (isHidden())
        return;
    const uint64_t change = controller.GetCircle().GetChangeCount();
    const bool same = person == shownPerson && focus.GetVersion() == shownFocus;
    if (same &&
        (change == shownChange || (filled.isValid() && filled.elapsed() < RefillMilliseconds)))
    {
        if (person && !pictureShown)
            pictureShown = ShowPicture(*person);
        return;
    }
    filled.start();
    const bool newPerson = person != shownPerson;
    const bool newAnswer = asked && (newPerson || focus.GetVersion() != shownFocus);
    shownPerson = person;
    shownFocus = focus.GetVersion();
    shownChange = change;
    list->clear();
    if (!person)
    {
        picture->clear();
        nameLabel->setText("Nobody selected");
        detailLabel->setText("Click a person on the globe or in a dock.");
        answerLabel->clear();
        return;
    }
    if (newPerson)
        pictureShown = ShowPicture(*person);

    UTL_CircleAnalysis& analysis = controller.GetAnalysis();
    const size_t node = analysis.NodeOf(person);
    const bool isUser = person == controller.GetCircle().GetSelf();
    const std::vector<size_t> friends = analysis.Paths().FriendsOf(node);
    nameLabel->setText(NameOf(person));
    QString detail = isUser ? "You · " + Count(friends.size(), "friend", "friends")
                            : Count(friends.size(), "friend", "friends") + " in this circle";
    const int community = isUser ? -1 : analysis.KnownCommunityOf(node);
    if (community >= 0)
        detail += QString(" · community %1").arg(community);
    detailLabel->setText(detail);
    if (newPerson)
        UI_LogEvent("panel: " + NameOf(person) + " · " + detail);

    std::vector<GFX_Friend*> shown;
    const QString other = NameOf(focus.GetTo());
    if (asked && focus.GetQuestion() == UTL_Focus::Question::Path)
    {
        shown = focus.GetAnswer();
        QStringList chain;
        for (const GFX_Friend* step : shown)
            chain << NameOf(step);
        const bool throughUser = controller.GetCircle().GetSelf() != nullptr;
        if (shown.empty())
            answerLabel->setText(
                NameOf(person) + " and " + other +
                (throughUser ? " are connected only through you." : " are not connected."));
        else
            answerLabel->setText("How " + NameOf(person) + " and " + other + " are connected (" +
                                 Count(shown.size() - 1, "friendship", "friendships") + "):");
        if (newAnswer)
            UI_LogEvent("panel path: " + (shown.empty() ? QString("none") : chain.join(" > ")));
    }
    else if (asked)
    {
        shown = focus.GetAnswer();
        answerLabel->setText(Count(shown.size(), "friend", "friends") + " in common with " + other +
                             ":");
        if (newAnswer)
            UI_LogEvent(QString("panel in common: %1 with %2").arg(shown.size()).arg(other));
    }
    else
    {
        shown = analysis.People(friends);
        answerLabel->setText(isUser ? "Your friends:" : "Friends of you both:");
    }
    for (const GFX_Friend* entry : shown)
    {
        auto* item = new QListWidgetItem(NameOf(entry), list);
        item->setData(Qt::UserRole, QString::fromStdString(entry->GetId()));
    }
}

bool UI_PersonPanel::ShowPicture(const GFX_Friend& person)
{
    // The large picture stays in a texture of its own, pixels and all; the small square one may
    // have given its pixels to the label atlas.
    for (const GFX_Foto* photo : {person.GetPicture(), person.GetSquarePicture()})
    {
        const OGL_TextureFoto* texture = photo ? photo->GetTexture() : nullptr;
        const GFX_Image* image = texture ? texture->GetImage() : nullptr;
        if (!image || !image->HasPixels() || image->GetWidth() <= 0 || image->GetHeight() <= 0)
            continue;
        const int bits = image->GetBitsPerPixel();
        const QImage::Format format = bits == 32   ? QImage::Format_RGBA8888
                                      : bits == 24 ? QImage::Format_RGB888
                                      : bits == 8  ? QImage::Format_Grayscale8
                                                   : QImage::Format_Invalid;
        if (format == QImage::Format_Invalid)
            continue;
        // Rows come bottom first, as GL takes them.
        const QImage rows(image->GetPixels(), image->GetWidth(), image->GetHeight(),
                          qsizetype(image->GetWidth()) * (bits / 8), format);
        picture->setPixmap(QPixmap::fromImage(rows.mirrored().scaled(
            PictureSide, PictureSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
        return true;
    }
    picture->clear();
    return false;
}

void UI_PersonPanel::OnClicked(QListWidgetItem* item)
{
    const QString id = item->data(Qt::UserRole).toString();
    UI_LogEvent("panel picked: " + item->text());
    controller.SelectFriendById(id.toStdString());
}
