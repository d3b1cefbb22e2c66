#include "vidtool/tdownload.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QUrl>

#include "snkins/colorref.h"
#include "snkins/quor/kitcolours.h"
#include "snkins/quor/tquorpanel.h"
#include "snkins/quor/tquorswitch1.h"
#include "snkins/vr/tvrprogressbar.h"
#include "vidtool/cfgfile.h"
#include "vidtool/ytdloutput.h"
#include "vidtool/ytdlrunner.h"

namespace {

const QString kTitle = QStringLiteral("TITLE");
const QString kDownload = QStringLiteral("DOWNLOAD");
const QString kUpdate = QStringLiteral("UPDATE");
const QString kStatus = QStringLiteral("STATUS:");

// Tahoma and Verdana of the original layout: DejaVu Sans is their stand-in here.
QFont face(int pixels, bool bold)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QLabel* label(QWidget* parent, const QString& text, int x, int y)
{
    auto* l = new QLabel(text, parent);
    l->setFont(face(11, false));
    setKitColours(l, QColor(), colorFromRef(0xD3D3D3));
    l->move(x, y);
    l->adjustSize();
    return l;
}

QLineEdit* edit(QWidget* parent, const QRect& r)
{
    auto* e = new QLineEdit(parent);
    e->setGeometry(r);
    e->setFont(face(13, true));
    QPalette pal = e->palette();
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::Text, Qt::white);
    e->setPalette(pal);
    return e;
}

// The glyph widened to `width`: its ends kept, its middle stretched.
QImage widened(const QImage& glyph, int width)
{
    const int end = 6;
    if (glyph.isNull() || width <= glyph.width()) return glyph;
    QImage out(width, glyph.height(), glyph.format());
    QPainter p(&out);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(QPoint(0, 0), glyph, QRect(0, 0, end, glyph.height()));
    p.drawImage(QRect(end, 0, width - 2 * end, glyph.height()), glyph,
                QRect(end, 0, glyph.width() - 2 * end, glyph.height()));
    p.drawImage(QPoint(width - end, 0), glyph, QRect(glyph.width() - end, 0, end, glyph.height()));
    return out;
}

TQuorSwitch1* button(QWidget* parent, const QString& caption, const QRect& r)
{
    auto* b = new TQuorSwitch1(parent);
    b->setCaption(caption);
    b->setGeometry(r);
    b->setFont(face(11, true));
    b->setColor(colorFromRef(0x212121));
    if (b->GlyphOff().width() < r.width() - 1) {
        b->setGlyphOff(widened(b->GlyphOff(), r.width() - 1));
        b->setGlyphOn(widened(b->GlyphOn(), r.width() - 1));
        b->setTransparentColor(0, qRgb(0, 0, 0));
        b->setTransparentColor(1, qRgb(0, 0, 0));
    }
    QPalette pal = b->palette();
    pal.setColor(QPalette::WindowText, QColor(0xDD, 0xDD, 0xDD));
    // disabled: the caption at 40 % on the button
    pal.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x6E, 0x6E, 0x6E));
    b->setPalette(pal);
    return b;
}

}  // namespace

tdownload::tdownload(const QString& profileFolder, const VideoEngine& engine, const QString& url, QWidget* parent)
    : QWidget(parent), profile(profileFolder), fengine(engine), productUrl(url)
{
    if (!profile.endsWith(u'/')) profile += u'/';
    setObjectName(QStringLiteral("tdownload"));
    setWindowTitle(QStringLiteral("OSTREL Clipwell"));
    setFixedSize(1000, 422);
    setFont(face(13, true));
    setKitColours(this, colorFromRef(0x202020), QColor());

    frunner = new YtdlRunner(this);
    connect(frunner, &YtdlRunner::line, this, [this](const QString& text, bool err) { mycallback(mode, text, err); });
    connect(frunner, &YtdlRunner::finished, this, &tdownload::runEnded);

    // the folders; a first start before the main program has made the profile folder makes it
    defaultFolder = profile + QStringLiteral("Downloads");
    if (!QDir(profile).exists()) QDir().mkpath(defaultFolder);

    buildControls();

    QString line, error;
    const bool haveCfg = CfgFile::read(cfgPath(), line, error);
    if (!error.isEmpty()) showMessage(QStringLiteral("Error"), QStringLiteral("I/O error: ") + cfgPath() + u'\n' + error, true);
    downloadto->setText(haveCfg && !line.isEmpty() ? line : defaultFolder + u'/');

    if (!QDir(downloadto->text()).exists()) {
        // after the window shows: the dialog opens over it
        QTimer::singleShot(0, this, &tdownload::QuorSwitch11Click);
    } else if (!QFile::exists(cfgPath())) {
        QString folder = downloadto->text();
        if (!folder.endsWith(u'/')) folder += u'/';
        downloadto->setText(folder);
        writeCfg(folder);
    }
    reinicia();
    mstat->setText(fengine.found() ? QStringLiteral("STATUS : ") : idleStatus());
    setRunButtons(false);
}

tdownload::~tdownload() = default;

void tdownload::buildControls()
{
    pdt = new TQuorPanel(this);
    pdt->tbackcolor = colorFromRef(0x212121);
    pdt->setColor(colorFromRef(0x212121));
    pdt->tcaptioncolor = colorFromRef(0x4F433D);
    pdt->tcaptionfcolor = Qt::white;
    pdt->tpencolor = Qt::white;
    pdt->ttitlecaption = QStringLiteral("Download Internet Video to Audio File");
    pdt->tpform = this;
    pdt->setbordercolor(colorFromRef(0x3A3A3A));
    pdt->movepanel = false;
    pdt->setGeometry(1, 1, width() - 2, height() - 2);
    pdt->init();
    pdt->tcaptionfcolor = Qt::white;
    pdt->SetShowtitle(false);
    QWidget* c = pdt->client();

    Image1 = new QLabel(c);
    Image1->setGeometry(23, 5, 143, 48);
    Image1->setPixmap(QPixmap::fromImage(QImage(QStringLiteral(":/vid/logo"), "BMP")));

    Label3 = label(c, QStringLiteral("1. Video URL"), 24, 57);
    paste = button(c, QStringLiteral("Paste Url"), QRect(741, 36, 97, 25));
    bffd1 = button(c, QStringLiteral("Check Url"), QRect(850, 36, 97, 25));
    txtLink = edit(c, QRect(24, 72, 820, 24));

    Image2 = new QLabel(c);
    Image2->setGeometry(850, 68, 137, 105);
    Image2->setScaledContents(false);
    Image2->setAlignment(Qt::AlignCenter);
    Image2->hide();

    Label2 = label(c, QStringLiteral("2. Title"), 24, 112);
    txtVideoTitle = edit(c, QRect(23, 127, 821, 24));
    Label4 = label(c, QStringLiteral("3. Download to:"), 25, 169);
    downloadto = edit(c, QRect(24, 181, 820, 24));
    downloadto->setReadOnly(true);
    QuorSwitch11 = button(c, QStringLiteral("Select Dir"), QRect(850, 179, 97, 25));

    Label5 = label(c, QStringLiteral("4. Quality"), 25, 221);
    ComboBox3 = new QComboBox(c);
    ComboBox3->setGeometry(25, 234, 288, 24);
    ComboBox3->setFont(face(13, true));
    ComboBox3->setMaxVisibleItems(11);
    ComboBox3->addItems({QStringLiteral("MP3  320 (Best Quality) "), QStringLiteral("MP3  192 (High Quality) "),
                         QStringLiteral("MP3  128 (Mid Quality)"), QStringLiteral("MP3  96   (Low Quality)")});
    ComboBox3->setCurrentIndex(0);

    mstat = new QLabel(QStringLiteral("STATUS : "), c);
    mstat->setGeometry(131, 263, 593, 19);
    mstat->setAlignment(Qt::AlignCenter);
    mstat->setFont(face(15, true));
    setKitColours(mstat, QColor(), colorFromRef(0xD3D3D3));

    Panel2 = new QWidget(c);
    Panel2->setGeometry(0, 284, 987, 54);
    Label1 = label(Panel2, QStringLiteral("5. Progress Download"), 21, 5);
    mprogress = new TVrProgressBar(Panel2);
    mprogress->setGeometry(20, 19, 811, 20);
    mprogress->SetStartColor(0x12ABEE);
    mprogress->SetEndColor(0x0D7DAE);
    mprogress->SetSmooth(true);
    mprogress->SetPosition(0);
    bffd3 = button(Panel2, QStringLiteral("Download"), QRect(848, 11, 97, 25));

    Image3 = new QLabel(c);
    Image3->setGeometry(23, 349, 433, 66);
    Image3->setPixmap(QPixmap::fromImage(QImage(QStringLiteral(":/vid/banner"), "BMP")));
    if (!productUrl.isEmpty()) Image3->setCursor(Qt::PointingHandCursor);
    Image3->installEventFilter(this);

    bffd2 = button(c, QStringLiteral("Cancel"), QRect(741, 364, 97, 25));
    bffd4 = button(c, QStringLiteral("Close"), QRect(850, 364, 97, 25));
    // on the form itself, over the panel
    QuorSwitch12 = button(this, QStringLiteral("Check for Update"), QRect(483, 368, 133, 25));

    Memo1 = new QPlainTextEdit(QStringLiteral("Memo1"), c);
    Memo1->setGeometry(22, 421, 921, 188);
    Memo1->setReadOnly(true);
    Memo1->setMaximumBlockCount(5000);

    Image1->raise();
    connect(paste, &TQuorSwitch1::clicked, this, &tdownload::pasteClick);
    connect(bffd1, &TQuorSwitch1::clicked, this, &tdownload::bffd1Click);
    connect(bffd3, &TQuorSwitch1::clicked, this, &tdownload::bffd3Click);
    connect(bffd2, &TQuorSwitch1::clicked, this, &tdownload::bffd2Click);
    connect(bffd4, &TQuorSwitch1::clicked, this, &tdownload::bffd4Click);
    connect(QuorSwitch11, &TQuorSwitch1::clicked, this, &tdownload::QuorSwitch11Click);
    connect(QuorSwitch12, &TQuorSwitch1::clicked, this, &tdownload::QuorSwitch12Click);
    connect(ComboBox3, &QComboBox::currentIndexChanged, this, &tdownload::ComboBox3Change);
    connect(ComboBox3, &QComboBox::activated, this, &tdownload::ComboBox3CloseUp);
}

void tdownload::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (centred || isMaximized()) return;
    centred = true;
    if (QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
}

QString tdownload::idleStatus() const
{
    if (fengine.found()) return kStatus;
    return QStringLiteral("STATUS : No video engine: install yt-dlp, or put yt-dlp in ") + profile;
}

bool tdownload::running() const { return frunner->running(); }

void tdownload::setRunButtons(bool isRunning)
{
    const bool idle = !isRunning;
    paste->setEnabled(idle);
    QuorSwitch11->setEnabled(idle);
    bffd1->setEnabled(idle && fengine.found());
    QuorSwitch12->setEnabled(idle && fengine.found());
    if (isRunning) bffd3->setEnabled(false);
    bffd2->setEnabled(isRunning);
    bffd4->setEnabled(true);
}

void tdownload::showMessage(const QString& title, const QString& text, bool error)
{
    if (message) message->deleteLater();
    message = new QMessageBox(error ? QMessageBox::Critical : QMessageBox::Warning, title, text, QMessageBox::Ok, this);
    message->setAttribute(Qt::WA_DeleteOnClose);
    message->open();
}

void tdownload::writeCfg(const QString& line)
{
    QString error;
    if (!CfgFile::write(cfgPath(), line, error))
        showMessage(QStringLiteral("Error"), QStringLiteral("I/O error: ") + cfgPath() + u'\n' + error, true);
}

void tdownload::reinicia()
{
    bffd3->setEnabled(false);
    bffd2->setEnabled(false);
    txtVideoTitle->clear();
    mstat->setText(idleStatus());
    mprogress->SetPosition(0);
    mstat->setToolTip(QString());
    Image2->hide();
}

void tdownload::pasteClick()
{
    txtLink->setText(QGuiApplication::clipboard()->text());
    bffd3->setEnabled(false);
    txtVideoTitle->clear();
    mstat->setText(idleStatus());
}

void tdownload::QuorSwitch11Click()
{
    if (running() || (jsd && jsd->isVisible())) return;
    if (!jsd) {
        // made when first asked for: its folder model runs a thread of its own
        jsd = new QFileDialog(this, QStringLiteral("Select Dir"));
        jsd->setFileMode(QFileDialog::Directory);
        jsd->setOption(QFileDialog::ShowDirsOnly, true);
        jsd->setOption(QFileDialog::DontUseNativeDialog, true);
        connect(jsd, &QDialog::finished, this, &tdownload::folderDialogDone);
    }
    jsd->setDirectory(downloadto->text());
    jsd->open();
}

void tdownload::folderDialogDone(int result)
{
    if (result == QDialog::Accepted && !jsd->selectedFiles().isEmpty())
        downloadto->setText(jsd->selectedFiles().constFirst());
    // cancelled too: the folder shown is written back
    QString folder = downloadto->text();
    if (!folder.endsWith(u'/')) folder += u'/';
    downloadto->setText(folder);
    writeCfg(folder);
    emit folderChosen();
}

void tdownload::ComboBox3Change() { txtLink->setFocus(); }

void tdownload::ComboBox3CloseUp() { txtLink->setFocus(); }

void tdownload::Image3Click()
{
    if (!productUrl.isEmpty()) QDesktopServices::openUrl(QUrl(productUrl));
}

bool tdownload::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == Image3 && e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton)
        Image3Click();
    return QWidget::eventFilter(watched, e);
}

QString tdownload::quality() const
{
    switch (ComboBox3->currentIndex()) {
    case 1: return QStringLiteral("192k");
    case 2: return QStringLiteral("128k");
    case 3: return QStringLiteral("96k");
    default: return QStringLiteral("320k");
    }
}

QStringList tdownload::titleArgs(const QString& url) const
{
    return {QStringLiteral("--ignore-config"), QStringLiteral("-e"), QStringLiteral("--write-thumbnail"),
            QStringLiteral("-o"), ytdl::TemplateFolder(profile) + QStringLiteral("imagen.%(ext)s"),
            QStringLiteral("--"), url};
}

QStringList tdownload::downloadArgs(const QString& url) const
{
    return {QStringLiteral("--ignore-config"), QStringLiteral("-x"), QStringLiteral("--audio-format"),
            QStringLiteral("mp3"), QStringLiteral("--audio-quality"), quality(), QStringLiteral("-o"),
            ytdl::TemplateFolder(downloadto->text()) + QStringLiteral("%(title)s.%(ext)s"), QStringLiteral("--"), url};
}

QStringList tdownload::updateArgs() const { return {QStringLiteral("--ignore-config"), QStringLiteral("-U")}; }

QString tdownload::checkedUrl()
{
    const QString url = ytdl::CheckedUrl(txtLink->text());
    if (url.isEmpty()) showMessage(QStringLiteral("WARNING"), QStringLiteral("Not a valid URL"), false);
    return url;
}

void tdownload::bffd1Click()
{
    if (running() || !fengine.found()) return;
    const QString url = checkedUrl();
    if (url.isEmpty()) return;
    txtLink->setText(url);
    fcancel = false;
    bffd3->setEnabled(false);
    txtVideoTitle->clear();
    mstat->setText(kStatus);
    Image2->hide();
    QFile::remove(profile + QStringLiteral("imagen.jpg"));
    getdownload(titleArgs(url), kTitle);
}

void tdownload::bffd3Click()
{
    if (running() || !fengine.found()) return;
    // the address that reaches the engine always passes the check, edited since or not
    const QString url = checkedUrl();
    if (url.isEmpty()) return;
    fcancel = false;
    bffd3->setEnabled(false);
    bffd2->setEnabled(true);
    getdownload(downloadArgs(url), kDownload);
}

void tdownload::QuorSwitch12Click()
{
    if (running() || !fengine.found()) return;
    fcancel = false;
    if (!fengine.inProfile) {
        // the system's copy answers -U with an error: its updates come with its package
        mstat->setText(QStringLiteral("STATUS : The video engine is the system's: updates come with its packages"));
        return;
    }
    getdownload(updateArgs(), kUpdate);
}

void tdownload::getdownload(const QStringList& args, const QString& info)
{
    if (running() || !fengine.found()) return;
    mode = info;
    runFolder = downloadto->text();
    foundTitle.clear();
    titleError = false;
    errorLine.clear();
    if (!frunner->start(fengine.program, args, profile, info == kDownload ? runFolder : QString())) {
        errorLine = QStringLiteral("ERROR: the video engine could not be started (") + fengine.program + u')';
        titleError = info == kTitle;
        QTimer::singleShot(0, this, [this] { runEnded(-1, false, false); });
    }
    setRunButtons(true);
}

void tdownload::mycallback(const QString& info, const QString& consola, bool errorStream)
{
    const QString text = ytdl::CollapseWhitespace(consola);
    if (text.trimmed().isEmpty() || fcancel) return;
    Memo1->appendPlainText(text);
    const bool isError = errorStream && text.startsWith(QStringLiteral("ERROR:"));
    if (isError && errorLine.isEmpty()) errorLine = text;
    if (info == kTitle) {
        Memo1->appendPlainText(text);
        if (isError) {
            titleError = true;
            txtVideoTitle->setText(QStringLiteral("ERROR: Video not found"));
            bffd3->setEnabled(false);
            fcancel = true;
            frunner->cancel();
            return;
        }
        // the title is the first line of standard output; warnings and notes go to the log only
        if (!errorStream && foundTitle.isEmpty() && !text.startsWith(QStringLiteral("WARNING:"))) {
            foundTitle = text.trimmed();
            txtVideoTitle->setText(foundTitle);
        }
    } else if (info == kUpdate) {
        Memo1->appendPlainText(text);
        const QString status = ytdl::UpdateStatus(text);
        if (!status.isEmpty()) mstat->setText(status);
    } else if (info == kDownload) {
        const int n = ytdl::DownloadPercent(text);
        if (n >= 0) {
            mprogress->SetPosition(n);
            mstat->setText(QStringLiteral("STATUS : ") + QString::number(n) +
                           QStringLiteral("% Downloading Temporary Video File..."));
        }
        if (ytdl::IsConversion(text)) mstat->setText(QStringLiteral("STATUS : Saving audio.... Wait a moment ..."));
    }
}

void tdownload::runEnded(int exitCode, bool crashed, bool cancelled)
{
    const QString info = mode;
    const bool failed = !errorLine.isEmpty() || exitCode != 0 || crashed;
    const bool userCancel = cancelled && !titleError;
    if (info == kTitle) {
        if (!userCancel && (titleError || failed || foundTitle.isEmpty())) {
            txtVideoTitle->setText(QStringLiteral("ERROR: Video not found"));
            bffd3->setEnabled(false);
        } else if (!userCancel) {
            bffd3->setEnabled(true);
        }
        const QString thumbnail = profile + QStringLiteral("imagen.jpg");
        if (!userCancel && QFile::exists(thumbnail)) {
            const QPixmap picture(thumbnail);
            Image2->setPixmap(picture.scaled(Image2->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
            Image2->show();
        }
    } else if (info == kDownload) {
        fcancel = false;
        txtLink->clear();
        bffd3->setEnabled(false);
        txtVideoTitle->clear();
        mstat->setText(idleStatus());
        bffd2->setEnabled(false);
        reinicia();
        if (failed && !cancelled) {
            const QString why = errorLine.isEmpty()
                                    ? QStringLiteral("ERROR: the video engine ended with code ") + QString::number(exitCode)
                                    : errorLine;
            mstat->setText(mstat->fontMetrics().elidedText(QStringLiteral("STATUS : ") + why, Qt::ElideRight,
                                                           mstat->width()));
            mstat->setToolTip(why);
        }
    } else if (info == kUpdate) {
        reinicia();
    }
    mode.clear();
    const bool downloadReady = bffd3->isEnabled();
    setRunButtons(false);
    bffd3->setEnabled(downloadReady);
    emit runFinished(info);
    if (closePending) close();
}

void tdownload::bffd2Click()
{
    reinicia();
    fcancel = true;
    frunner->cancel();
    reinicia();
}

void tdownload::bffd4Click()
{
    fcancel = true;
    close();
}

void tdownload::closeEvent(QCloseEvent* e)
{
    reinicia();
    fcancel = true;
    if (frunner->running()) {
        // the run's group ends and its files go first; the window closes when it has
        closePending = true;
        frunner->cancel();
        e->ignore();
        return;
    }
    e->accept();
}
