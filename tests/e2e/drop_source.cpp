// A window to drag a file from, as a file manager's would be, for the end-to-end test: the test
// presses the mouse on it with xdotool and lets go over the viewer, which then receives a real
// drop through the X drag-and-drop protocol. It prints "drop accepted" or "drop refused" when
// the drag is over, and ends a while later.
//
// Usage: halvane-drop-source FILE

#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <cstdio>

namespace
{
class DropSource : public QLabel
{
public:
    explicit DropSource(const QString& path) : QLabel(path), path(path)
    {
        setWindowTitle("Drop source");
        setMinimumSize(160, 80);
    }

protected:
    void mousePressEvent(QMouseEvent*) override
    {
        auto* data = new QMimeData;
        data->setUrls({QUrl::fromLocalFile(path)});
        // On the heap, the window its parent: the target asks it for the data after the drag.
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        const Qt::DropAction done = drag->exec(Qt::CopyAction);
        std::printf("drop %s\n", done == Qt::IgnoreAction ? "refused" : "accepted");
        std::fflush(stdout);
        // The drop's target asks for the data after the drag is over, as a file manager would
        // answer it: the source stays a while for that.
        QTimer::singleShot(DataServedMs, qApp, &QApplication::quit);
    }

private:
    static constexpr int DataServedMs = 10000;
    QString path;
};
} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: halvane-drop-source FILE\n");
        return 2;
    }
    DropSource source(QString::fromLocal8Bit(argv[1]));
    source.move(0, 0);
    source.show();
    return application.exec();
}
