#include "tests/e2e/desk.h"

#include <QHash>
#include <QRegularExpression>

#include <chrono>
#include <thread>

#include "mainwindow/form/formdata.h"
#include "mainwindow/logic/loadsource.h"
#include "mainwindow/logic/panelarrangement.h"
#include "snkins/vs/tvsgraphic.h"
#include "snkins/vs/tvsgraphics.h"
#include "tests/mainwindow/support/fakeviews.h"
#include "tests/support/toolprocess.h"

namespace e2e {

int xdo(const QStringList& args, QString* out, int timeoutMs)
{
    QByteArray text;
    const int rc = testsupport::runTool(QStringLiteral("xdotool"), args, &text, timeoutMs);
    if (out) *out = QString::fromUtf8(text).trimmed();
    return rc;
}

namespace {

// NAME=value lines, as xdotool's --shell prints them
QHash<QString, int> shellValues(const QString& out)
{
    QHash<QString, int> v;
    for (const QString& line : out.split(QLatin1Char('\n')))
        v.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1).toInt());
    return v;
}

// The pointer's place on the screen; a null point when xdotool cannot tell.
QPoint pointer()
{
    QString out;
    if (xdo({"getmouselocation", "--shell"}, &out) != 0) return {};
    const QHash<QString, int> v = shellValues(out);
    return QPoint(v.value(QStringLiteral("X")), v.value(QStringLiteral("Y")));
}

}  // namespace

QString waitWindow(qint64 pid, const QString& nameRegex, int timeoutMs, int minWidth)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    const QStringList search{"search", "--sync", "--all", "--onlyvisible", "--pid", QString::number(pid), "--name", nameRegex};
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return {};
        QString out;
        // --sync waits until one exists; the tool's own time limit ends the wait
        xdo(search, &out, int(left.count()));
        for (const QString& w : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            if (windowGeometry(w.trimmed()).width() >= minWidth) return w.trimmed();
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
}

bool waitWindowGone(qint64 pid, const QString& nameRegex, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < end) {
        QString out;
        if (xdo({"search", "--all", "--onlyvisible", "--pid", QString::number(pid), "--name", nameRegex}, &out, 5000) != 0 ||
            out.isEmpty())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

QRect windowGeometry(const QString& window)
{
    QString out;
    if (xdo({"getwindowgeometry", "--shell", window}, &out) != 0) return {};
    const QHash<QString, int> v = shellValues(out);
    return QRect(v.value(QStringLiteral("X")), v.value(QStringLiteral("Y")), v.value(QStringLiteral("WIDTH")),
                 v.value(QStringLiteral("HEIGHT")));
}

QRect settledGeometry(const QString& window, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    QRect last = windowGeometry(window);
    while (std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const QRect now = windowGeometry(window);
        if (now == last && !now.isEmpty()) return now;
        last = now;
    }
    return last;
}

void moveTo(QPoint at)
{
    // a synchronous move waits for the pointer to move, so one onto where it already is would
    // hang until the tool's time limit
    if (pointer() != at) xdo({"mousemove", "--sync", QString::number(at.x()), QString::number(at.y())});
}

void click(QPoint at, int button)
{
    moveTo(at);
    // a press and release apart, as a hand makes them: a skinned button reacts on the press
    xdo({"mousedown", QString::number(button)});
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    xdo({"mouseup", QString::number(button)});
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
}

void drag(QPoint from, QPoint to, int steps, int stepMs)
{
    moveTo(from);
    xdo({"mousedown", "1"});
    for (int i = 1; i <= steps; ++i) {
        const QPoint p = from + (to - from) * i / steps;
        xdo({"mousemove", QString::number(p.x()), QString::number(p.y())});
        std::this_thread::sleep_for(std::chrono::milliseconds(stepMs));
    }
    // a last small move on the target: the drop goes where the drag manager saw the pointer
    xdo({"mousemove", QString::number(to.x() + 1), QString::number(to.y())});
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    xdo({"mouseup", "1"});
}

bool key(const QString& window, const QString& keyName)
{
    // keys are lost until the window has the focus
    if (xdo({"windowfocus", "--sync", window}) != 0) return false;
    return xdo({"key", "--delay", "60", keyName}) == 0;
}

bool typeText(const QString& window, const QString& text)
{
    if (xdo({"windowfocus", "--sync", window}) != 0) return false;
    return xdo({"type", "--delay", "30", text}) == 0;
}

bool grab(const QString& grabProgram, const QString& path, const QRect& part)
{
    QStringList args{path};
    if (!part.isEmpty())
        args << QString::number(part.x()) << QString::number(part.y()) << QString::number(part.width())
             << QString::number(part.height());
    return testsupport::runTool(grabProgram, args, nullptr, 20000) == 0;
}

Places::Places(const QString& formFile) : form_(std::make_unique<FormData>(formFile)) {}
Places::~Places() = default;

bool Places::has(const QString& control) const { return form_->control(control) != nullptr; }

void Places::movePanel(const QString& panel, const QString& marker)
{
    const FormData::Control* m = form_->control(marker);
    if (marker.isEmpty() || !m) moved_.remove(panel.toLower());
    else moved_.insert(panel.toLower(), form_->surfaceRect(*m).topLeft());
}

QRect Places::rect(const QString& control) const
{
    const FormData::Control* c = form_->control(control);
    if (!c) return {};
    const bool host = c->parent.compare(QStringLiteral("todo"), Qt::CaseInsensitive) == 0;
    return (host ? panelRect(c->name) : surfaceRect(c->name)).translated(window_.topLeft());
}

// in the window's coordinates
QRect Places::surfaceRect(const QString& control) const
{
    const FormData::Control* c = form_->control(control);
    if (!c) return {};
    const int design = form_->control(QStringLiteral("form1")) ? form_->control(QStringLiteral("form1"))->rect.width() : 1024;
    const int dx = window_.width() > design ? std::min(window_.width(), 1280) - design : 0;
    QRect r = form_->surfaceRect(*c);
    if (c->stretch == QLatin1String("bottom")) r.setHeight(std::max(0, window_.height() - r.top()));
    // right-anchored controls (or their parents) follow the right edge in the wide mode; a
    // moved panel takes its children along
    for (const FormData::Control* p = c; p && p->name.compare(form_->surfaceName(), Qt::CaseInsensitive) != 0;
         p = form_->control(p->parent)) {
        if (const auto m = moved_.constFind(p->name.toLower()); m != moved_.constEnd())
            r.translate(*m - form_->surfaceRect(*p).topLeft());
        const bool left = p->anchors.contains(QStringLiteral("left")), right = p->anchors.contains(QStringLiteral("right"));
        if (right && !left) r.translate(dx, 0);
        if (right && left && p == c) r.setWidth(r.width() + dx);
    }
    return r;
}

// The browser area's hosts, laid out by the window's own arrangement over stand-ins of the area
// at its place on the screen and of the side buttons.
QRect Places::panelRect(const QString& host) const
{
    const QRect area = surfaceRect(QStringLiteral("todo"));
    LoadSource source;
    PanelArrangement arrangement(source);
    FakeControl todo, playlist, grupos, explorer;
    FakeButton bpplaylist, bggrupos, bpexplorer;
    todo.bounds_ = QRect(QPoint(0, 0), area.size());
    arrangement.todo = &todo;
    arrangement.playlist = &playlist;
    arrangement.grupos = &grupos;
    arrangement.explorer = &explorer;
    arrangement.bpplaylist = &bpplaylist;
    arrangement.bggrupos = &bggrupos;
    arrangement.bpexplorer = &bpexplorer;
    arrangement.vpl = playlists_;
    arrangement.vgr = groups_;
    arrangement.vex = explorer_;
    arrangement.alineopanels();
    const FakeControl* placed = host.compare(QStringLiteral("playlist"), Qt::CaseInsensitive) == 0 ? &playlist
                                : host.compare(QStringLiteral("grupos"), Qt::CaseInsensitive) == 0  ? &grupos
                                                                                                    : &explorer;
    return placed->bounds_.isEmpty() ? QRect() : placed->bounds_.translated(area.topLeft());
}

void Places::readPanels(const QImage& shot)
{
    const auto down = [&](const char* button) {
        return cellMatch(shot, QLatin1String(button), 1) > cellMatch(shot, QLatin1String(button), 0);
    };
    playlists_ = down("bpplaylist");
    groups_ = down("bggrupos");
    explorer_ = down("bpexplorer");
}

bool Places::panelShown(const QString& host) const
{
    if (host.compare(QStringLiteral("playlist"), Qt::CaseInsensitive) == 0) return playlists_;
    if (host.compare(QStringLiteral("grupos"), Qt::CaseInsensitive) == 0) return groups_;
    return explorer_;
}

QPoint Places::inertSpot() const
{
    // between the left end of the top bar and the clock ("Timet"): no control lies there
    const QRect clock = rect(QStringLiteral("Timet"));
    return QPoint(clock.left() - 60, clock.center().y());
}

double Places::nonUniform(const QImage& shot, const QString& control) const
{
    const QRect r = rect(control).intersected(shot.rect());
    if (r.isEmpty()) return 0;
    QHash<QRgb, int> count;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) ++count[shot.pixel(x, y) & 0xFFFFFF];
    int most = 0;
    for (int n : count) most = std::max(most, n);
    return 1.0 - double(most) / double(r.width() * r.height());
}

double Places::changed(const QImage& before, const QImage& after, const QString& control) const
{
    return changed(before, after, rect(control));
}

double Places::changed(const QImage& before, const QImage& after, const QRect& area)
{
    const QRect r = area.intersected(before.rect()).intersected(after.rect());
    if (r.isEmpty()) return 0;
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) n += (before.pixel(x, y) & 0xFFFFFF) != (after.pixel(x, y) & 0xFFFFFF);
    return double(n) / double(r.width() * r.height());
}

double Places::cellMatch(const QImage& shot, const QString& control, int cell) const
{
    const FormData::Control* c = form_->control(control);
    if (!c || c->graphic.isEmpty()) return -1;
    TVsGraphics pack;
    pack.LoadFromFile(QStringLiteral(":/skin/tform1.vsf"));
    const int index = pack.IndexByName(c->graphic);
    if (index < 0) return -1;
    const QRect r = rect(control);
    const QImage bitmap = pack.Items(index)->Bitmap().convertToFormat(QImage::Format_RGB32);
    const QRect clip = c->clip.isEmpty() ? QRect(QPoint(0, 0), bitmap.size()) : c->clip;
    const QImage face = bitmap.copy(clip).copy(cell * r.width(), 0, r.width(), r.height());
    int opaque = 0, same = 0;
    for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x) {
            const QRgb f = face.pixel(x, y) & 0xFFFFFF;
            if (f == 0xFF00FF) continue;  // the mask colour: the background shows there
            ++opaque;
            same += f == (shot.pixel(r.left() + x, r.top() + y) & 0xFFFFFF);
        }
    return opaque ? double(same) / opaque : -1;
}

}  // namespace e2e
