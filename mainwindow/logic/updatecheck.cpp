#include "mainwindow/logic/updatecheck.h"

#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTimer>

UpdateCheck::UpdateCheck(QObject* parent) : QObject(parent) {}

UpdateCheck::~UpdateCheck()
{
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
    }
}

std::optional<QString> UpdateCheck::question(const QByteArray& file, const QString& current)
{
    if (file.contains('\0')) return std::nullopt;
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(file);
    if (utf8.hasError()) return std::nullopt;
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& l : lines)
        if (l.endsWith(QLatin1Char('\r'))) l.chop(1);
    // a final line break ends the last line; it does not start another
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    if (lines.size() < 2) return std::nullopt;
    for (const QString& l : lines)
        for (QChar c : l)
            if (c.category() == QChar::Other_Control && c != QLatin1Char('\t')) return std::nullopt;
    if (lines.at(0) == current) return std::nullopt;
    QString q = QStringLiteral("Version ") + lines.at(0) + QStringLiteral("       Date: ") + lines.at(1) + QLatin1Char('\n');
    for (qsizetype i = 2; i < lines.size(); ++i) q += lines.at(i) + QLatin1Char('\n');
    q += QLatin1Char('\n') + QStringLiteral("Do you want to download ? ");
    return q;
}

void UpdateCheck::descargarAct()
{
    if (checkeada_) return;
    checkeada_ = true;
    if (!destination.isEmpty()) QFile::remove(destination);
    if (address.isEmpty() || !address.isValid()) {
        end(false);
        return;
    }
    net_ = new QNetworkAccessManager(this);
    QNetworkRequest request(address);
    request.setTransferTimeout(kTimeoutMs);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    reply_ = net_->get(request);
    connect(reply_, &QNetworkReply::readyRead, this, [this] {
        if (!reply_ || tooLong_) return;
        body_ += reply_->read(kMaxBytes + 1 - body_.size());
        if (body_.size() > kMaxBytes) {
            tooLong_ = true;
            reply_->abort();
        }
    });
    connect(reply_, &QNetworkReply::finished, this, &UpdateCheck::finished);
}

void UpdateCheck::finished()
{
    QNetworkReply* r = reply_;
    if (!r) return;
    r->deleteLater();
    reply_ = nullptr;
    if (!tooLong_ && r->error() == QNetworkReply::NoError) body_ += r->read(kMaxBytes + 1 - body_.size());
    const int status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool ok = !tooLong_ && body_.size() <= kMaxBytes && r->error() == QNetworkReply::NoError &&
                    (status == 0 || status == 200);
    if (!ok) {
        end(false);
        return;
    }
    if (!destination.isEmpty()) {
        QSaveFile copy(destination);
        if (copy.open(QIODevice::WriteOnly)) {
            copy.write(body_);
            copy.commit();
        }
    }
    answer(question(body_));
}

void UpdateCheck::answer(const std::optional<QString>& q)
{
    if (!q || !ask) {
        end(false);
        return;
    }
    if (dialogOpen && dialogOpen()) {
        // the question waits until no modal dialog is open
        if (!poll_) {
            poll_ = new QTimer(this);
            poll_->setInterval(dialogPollMs);
        }
        poll_->disconnect();
        connect(poll_, &QTimer::timeout, this, [this, q] {
            if (dialogOpen && dialogOpen()) return;
            poll_->stop();
            answer(q);
        });
        poll_->start();
        return;
    }
    ask(caption(), *q, [this](bool yes) {
        if (yes && openUrl && !productUrl.isEmpty()) openUrl(productUrl);
        end(true);
    });
}

void UpdateCheck::end(bool asked)
{
    if (focusGrids) focusGrids();
    if (mainLoopOn && !(dialogOpen && dialogOpen())) mainLoopOn();
    if (done) done(asked);
}
