// e2e_dragsource: a small window at the screen's top right corner, titled "e2e drag source",
// that starts a drag of the files it was given when the pointer is pressed and moved on it.
// The test moves the pointer with the button held, in steps, onto the target and lets go.
// After the drag it prints "dropped ACTION" (or "cancelled") and stays up 3 s, since the
// target reads the files from the source after the drop; it ends by itself after 60 s.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {

class Source : public QWidget {
public:
    explicit Source(QList<QUrl> urls) : urls_(std::move(urls))
    {
        setWindowTitle(QStringLiteral("e2e drag source"));
        setFixedSize(160, 80);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(40, 90, 160));
        p.setPen(Qt::white);
        p.drawText(rect(), Qt::AlignCenter, QStringLiteral("drag me\n%1 file(s)").arg(urls_.size()));
    }
    void mousePressEvent(QMouseEvent* e) override { pressAt_ = e->position().toPoint(); }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        if (started_ || !(e->buttons() & Qt::LeftButton)) return;
        if ((e->position().toPoint() - pressAt_).manhattanLength() < QApplication::startDragDistance()) return;
        started_ = true;
        auto* drag = new QDrag(this);
        auto* mime = new QMimeData;
        mime->setUrls(urls_);
        drag->setMimeData(mime);
        const Qt::DropAction a = drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction);
        std::printf(a == Qt::IgnoreAction ? "cancelled\n" : "dropped %d\n", int(a));
        std::fflush(stdout);
        QTimer::singleShot(3000, qApp, &QApplication::quit);
    }

private:
    QList<QUrl> urls_;
    QPoint pressAt_;
    bool started_ = false;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QList<QUrl> urls;
    for (int i = 1; i < argc; ++i) urls << QUrl::fromLocalFile(QString::fromLocal8Bit(argv[i]));
    Source s(urls);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    s.move(screen.right() - 200, 40);
    s.show();
    std::printf("shown\n");
    std::fflush(stdout);
    QTimer::singleShot(60000, &app, &QApplication::quit);
    return app.exec();
}
