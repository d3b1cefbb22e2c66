#include "library/librarypanellogic.h"

#include <utility>

#include <QFileInfo>

#include "engine/mainservices.h"
#include "engine/microsf.h"
#include "engine/precord.h"
#include "library/panelgrid.h"
#include "library/panelprompts.h"
#include "library/songtags.h"
#include "library/tmsql.h"
#include "library/tsqlitetable.h"

LibraryPanelLogic::LibraryPanelLogic(songgridrow::Kind kind, Tmsql& sql, PanelGrid& grid, PanelPrompts* prompts,
                                     MainServices* main)
    : kind_(kind), sql_(sql), grid_(grid), prompts_(prompts), main_(main)
{
}

LibraryPanelLogic::~LibraryPanelLogic() = default;

void LibraryPanelLogic::load()
{
    for (int r = 1; r < grid_.rowCount(); ++r)
        grid_.setCell(gridcol::deck, r, songgridrow::deckMarks(kind_, grid_.cell(gridcol::path, r), loada, loadb));
    grid_.repaint();
}

std::optional<QString> LibraryPanelLogic::searchKey(const QString& keyText) const
{
    if (iskeyboard) return std::nullopt;
    const QList<uint> code = keyText.toUcs4();
    if (code.size() != 1 || !QChar::isPrint(char32_t(code[0])) || keyText == QLatin1String("0") ||
        keyText == QLatin1String(" "))
        return std::nullopt;
    return keyText.toUpper();
}

void LibraryPanelLogic::edit1focus()
{
    if (main_) main_->postHint(QStringLiteral("NOKEY"));
}

void LibraryPanelLogic::edit1nofocus()
{
    if (main_) main_->postHint(QStringLiteral("KEY"));
}

int LibraryPanelLogic::rowOf(const QString& path) const
{
    return path.isEmpty() ? 0 : grid_.find(gridcol::path, path);
}

void LibraryPanelLogic::fill(std::unique_ptr<TSQLiteTable> songs, bool withOrder, bool marks)
{
    grid_.setRows(songgridrow::listing(*songs, withOrder, &pacer_));
    grid_.setCurrentRow(1);
    if (marks) load();
    else grid_.repaint();
}

void LibraryPanelLogic::refreshRows(const QString& file, const PRecord& deck, int veces, bool tagAndTime)
{
    for (int r = 1; r < grid_.rowCount(); ++r) {
        if (grid_.cell(gridcol::path, r) != file) continue;
        pacer_.tick();
        if (tagAndTime) {
            grid_.setCell(gridcol::bpm, r, songgridrow::bpm(deck.tag[tagslot::bpm]));
            grid_.setCell(gridcol::time, r, deck.duration.get());
            for (int slot = tagslot::cue1; slot <= tagslot::cue11; ++slot)
                grid_.setCell(tagSlotColumn(slot), r, FloatText(deck.tag[size_t(slot)]));
        }
        if (veces >= 0) grid_.setCell(gridcol::veces, r, QString::number(veces));
    }
    grid_.repaint();
}

void LibraryPanelLogic::pause()
{
    if (main_) main_->mmain(false);
}

void LibraryPanelLogic::resume()
{
    if (main_) main_->mmain(true);
}

void LibraryPanelLogic::confirm(const QString& text, std::function<void(bool)> answer)
{
    if (!prompts_) {
        answer(false);
        return;
    }
    pause();
    prompts_->confirm(text, [this, answer = std::move(answer)](bool yes) {
        resume();
        answer(yes);
    });
}

void LibraryPanelLogic::warn(const QString& text)
{
    if (!prompts_) return;
    pause();
    prompts_->warn(text);
    resume();
}

void LibraryPanelLogic::askText(const QString& caption, const QString& prompt, const QString& value,
                                std::function<void(std::optional<QString>)> answer)
{
    if (!prompts_) {
        answer(std::nullopt);
        return;
    }
    pause();
    prompts_->askText(caption, prompt, value, [this, answer = std::move(answer)](std::optional<QString> text) {
        resume();
        answer(std::move(text));
    });
}

std::optional<LibraryPanelLogic::FileInfo> LibraryPanelLogic::fileInfo() const
{
    const int r = grid_.currentRow();
    const QString id = grid_.cell(gridcol::id, r);
    if (id.isEmpty()) return std::nullopt;
    const QString path = grid_.cell(gridcol::path, r);
    QString file = LongFileName(path);
    if (file.isEmpty() && fileLabelFallsBack_) file = path;
    return FileInfo{grid_.cell(gridcol::bpm, r), grid_.cell(gridcol::artist, r), grid_.cell(gridcol::title, r), file, id};
}

void LibraryPanelLogic::saveFileInfo(const FileInfo& info)
{
    Ttagsong t;
    t.Title = info.title;
    t.Artist = info.artist;
    t.alfichero = info.id;
    t.Bpm = info.bpm;
    sql_.modificacancion(t);
    showInfo(info);
}

void LibraryPanelLogic::showInfo(const FileInfo& info)
{
    for (int r = 1; r < grid_.rowCount(); ++r) {
        if (grid_.cell(gridcol::id, r) != info.id) continue;
        grid_.setCell(gridcol::bpm, r, info.bpm);
        grid_.setCell(gridcol::artist, r, info.artist);
        grid_.setCell(gridcol::title, r, info.title);
    }
    grid_.repaint();
}

QString LibraryPanelLogic::notAddedText(const QStringList& files)
{
    return (files.size() == 1 ? QStringLiteral("1 file could not be added to the library:\n")
                              : QStringLiteral("%1 files could not be added to the library:\n").arg(files.size())) +
           files.join(QLatin1Char('\n'));
}

void LibraryPanelLogic::dropFiles(const QStringList& names)
{
    if (adder_.running()) {
        pendingDrops_ += names;  // taken when the run going ends
        return;
    }
    beforeDrop();
    QStringList files;
    QString lastDuplicate;
    for (const QString& name : names) {
        const QFileInfo fi(name);
        if (!fi.isFile()) continue;
        if (dropsCheckDuplicates()) {
            if (const int r = rowOf(name)) {
                grid_.setCurrentRow(r);
                lastDuplicate = name;
                continue;
            }
        }
        if (!songtags::accepted(name)) continue;
        files << name;
        lastDuplicate.clear();
    }
    if (files.isEmpty()) return;
    if (startRun(AddKind::Drop, files, QString())) dropDuplicate_ = lastDuplicate;
}

bool LibraryPanelLogic::addFiles(const QStringList& files)
{
    if (busqueda && kind_ == songgridrow::Kind::Playlists) return false;
    QStringList take;
    for (const QString& f : files)
        if (!QFileInfo(f).isDir()) take << ShortFileName(f);
    return startRun(AddKind::Files, take, QString());
}

bool LibraryPanelLogic::addFromDir(const QString& folder)
{
    if (busqueda || folder.isEmpty()) return false;
    return startRun(AddKind::Folder, {}, folder);
}

void LibraryPanelLogic::cancelAdding() { adder_.cancel(); }

bool LibraryPanelLogic::startRun(AddKind kind, QStringList files, const QString& folder)
{
    TrackAdder::Run run;
    run.sql = &sql_;
    run.files = std::move(files);
    run.folder = folder;
    run.playlists = kind_ == songgridrow::Kind::Playlists;
    run.insert = inserter(kind);
    // "File Add" and "Add from Dir" pass over the files the grid already lists
    if (kind != AddKind::Drop)
        for (int r = 1; r < grid_.rowCount(); ++r) run.skip.insert(grid_.cell(gridcol::path, r));
    TrackAdder::Listener l;
    l.label = [this](const QString& t) {
        if (adding.label) adding.label(t);
    };
    l.progress = [this](int p, int m) {
        if (adding.progress) adding.progress(p, m);
    };
    l.finished = [this, kind](const TrackAdder::Outcome& o) {
        const QString dup = std::exchange(dropDuplicate_, QString());
        afterAdding(kind, o, dup);
        if (adding.finished) adding.finished(o);
        if (!pendingDrops_.isEmpty() && !adder_.running()) dropFiles(std::exchange(pendingDrops_, QStringList()));
    };
    if (kind != AddKind::Drop && adding.label) adding.label(QStringLiteral("Adding songs"));
    return adder_.start(std::move(run), std::move(l));
}

void LibraryPanelLogic::afterAdding(AddKind kind, const TrackAdder::Outcome& outcome, const QString& lastDuplicate)
{
    relist();
    if (kind != AddKind::Drop) grid_.setCurrentRow(grid_.rowCount() - 1);
    if (!lastDuplicate.isEmpty()) {
        if (const int r = rowOf(lastDuplicate)) grid_.setCurrentRow(r);
    }
    if (!outcome.notAdded.isEmpty()) warn(notAddedText(outcome.notAdded));
}
