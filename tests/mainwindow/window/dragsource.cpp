// A file manager's drag in miniature, for the window's screen test: a small window at a given
// place that, once pressed, drags one file as a list of URLs through the X server (XDND).
//   dragsource FILE X Y
// Prints "ready" when its window is shown, then "dropped" or "refused" when the drag ends; it
// stays 10 s after that, for the target to fetch the data.
#include <QApplication>
#include <QDrag>
#include <QLabel>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <cstdio>

namespace {

class Source : public QLabel {
public:
    explicit Source(const QString& file) : QLabel(QStringLiteral("  drag me  ")), file_(file) {}

protected:
    void mousePressEvent(QMouseEvent*) override
    {
        if (dragging_) return;
        dragging_ = true;
        auto* drag = new QDrag(this);
        auto* mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(file_)});
        drag->setMimeData(mime);
        const Qt::DropAction done = drag->exec(Qt::CopyAction);
        std::printf("%s\n", done == Qt::CopyAction ? "dropped" : "refused");
        std::fflush(stdout);
        // the target fetches the data after the drop: the owner of the selection stays a while,
        // as a file manager does, until the test ends it
        QTimer::singleShot(10000, qApp, [done] { QCoreApplication::exit(done == Qt::CopyAction ? 0 : 1); });
    }
    void showEvent(QShowEvent*) override
    {
        QTimer::singleShot(200, this, [] {
            std::printf("ready\n");
            std::fflush(stdout);
        });
    }

private:
    QString file_;
    bool dragging_ = false;
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: dragsource FILE X Y\n");
        return 2;
    }
    Source source(QString::fromLocal8Bit(argv[1]));
    source.setWindowFlag(Qt::FramelessWindowHint);
    source.setAutoFillBackground(true);
    source.resize(120, 40);
    source.move(atoi(argv[2]), atoi(argv[3]));
    source.show();
    // a drag that never ends must not outlive the test
    QTimer::singleShot(60000, &app, [] { QCoreApplication::exit(3); });
    return app.exec();
}
