// Stand-ins for what a deck reaches out to: its message box, speed slider, progress bar,
// the library write-back, the song grids and the peaks scan.
#pragma once

#include <mutex>
#include <vector>

#include <QString>
#include <QStringList>

#include "engine/decklibrary.h"
#include "engine/deckmessagebox.h"
#include "engine/peaksworker.h"
#include "engine/precord.h"
#include "engine/progressview.h"
#include "engine/songgridlink.h"
#include "engine/speedslider.h"

struct FakeMessageBox : DeckMessageBox {
    struct Call { QString caption, text; int timeout; };
    bool MessageDlg(const QString& caption, const QString& text, int timeoutMs, int, int) override
    {
        std::lock_guard<std::mutex> l(m);
        calls.push_back({caption, text, timeoutMs});
        return true;
    }
    std::mutex m;
    std::vector<Call> calls;
};

struct FakeSpeedSlider : SpeedSlider {
    void setRange(int mn, int mx) override { minimum = mn; maximum = mx; }
    void setPosition(int p) override { pos = p; }
    int position() const override { return pos; }
    int minimum = 0, maximum = 0, pos = 0;
};

struct FakeProgress : ProgressView {
    void setVisible(bool v) override { visible = v; }
    void setPosition(int p) override { pos = p; }
    bool visible = true;
    int pos = -1;
};

struct FakeLibrary : DeckLibrary {
    void salvatag(const PRecord& r, const QString& file) override
    {
        files << file;
        bpms.push_back(r.tag[0]);
    }
    QStringList files;
    std::vector<double> bpms;
};

struct FakeGrid : SongGridLink {
    explicit FakeGrid(const QStringList& paths)
    {
        rows.resize(paths.size() + 1, QStringList(QVector<QString>(25)));
        for (int i = 0; i < paths.size(); ++i) rows[i + 1][6] = paths[i];
    }
    int rowCount() const override { return int(rows.size()); }
    QString cell(int c, int r) const override { return rows[r][c]; }
    void setCell(int c, int r, const QString& t) override { rows[r][c] = t; }
    void repaint() override { ++repaints; }
    std::vector<QStringList> rows;
    int repaints = 0;
};

// Records what the deck asks of its scan; `running` tells whether a scan is between
// resume() and fin().
struct FakePeaksWorker : PeaksWorker {
    void init(int points, int width, const QString& file, HandOverCells* c, PeakBufferPtr, PeakBufferPtr,
              PeakBufferPtr, bool tempo, bool peaks) override
    {
        std::lock_guard<std::mutex> l(m);
        if (running) initWhileRunning = true;
        log << QStringLiteral("init %1 %2 %3 %4 %5").arg(points).arg(width).arg(file).arg(tempo).arg(peaks);
        cells = c;
    }
    void resume() override
    {
        std::lock_guard<std::mutex> l(m);
        running = true;
        log << QStringLiteral("resume");
    }
    void fin() override
    {
        std::lock_guard<std::mutex> l(m);
        running = false;
        log << QStringLiteral("fin");
    }
    int count(const QString& prefix) const
    {
        int n = 0;
        for (const auto& s : log) n += s.startsWith(prefix);
        return n;
    }
    std::mutex m;
    QStringList log;
    bool running = false;
    bool initWhileRunning = false;
    HandOverCells* cells = nullptr;
};
