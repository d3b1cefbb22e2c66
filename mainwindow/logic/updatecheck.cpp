#include "mainwindow/logic/updatecheck.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTcpSocket>
#include <QTimer>

UpdateCheck::UpdateCheck(QObject* parent) : QObject(parent) {}

UpdateCheck::~UpdateCheck()
{
    if (socket_) socket_->disconnect(this);
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
    if (address.isEmpty() || !address.isValid() || address.scheme() != QLatin1String("http") || address.host().isEmpty()) {
        end(false);
        return;
    }
    socket_ = new QTcpSocket(this);
    limit_ = new QTimer(this);
    limit_->setSingleShot(true);
    connect(limit_, &QTimer::timeout, this, &UpdateCheck::fail);
    connect(socket_, &QTcpSocket::connected, this, [this] {
        QByteArray path = address.path(QUrl::FullyEncoded).toLatin1();
        if (path.isEmpty()) path = "/";
        if (address.hasQuery()) path += '?' + address.query(QUrl::FullyEncoded).toLatin1();
        QByteArray host = address.host(QUrl::FullyEncoded).toLatin1();
        if (address.port() > 0) host += ':' + QByteArray::number(address.port());
        socket_->write("GET " + path + " HTTP/1.0\r\nHost: " + host +
                       "\r\nUser-Agent: ostrelkorvanta\r\nCache-Control: no-cache\r\nConnection: close\r\n\r\n");
    });
    connect(socket_, &QTcpSocket::readyRead, this, &UpdateCheck::received);
    connect(socket_, &QTcpSocket::disconnected, this, &UpdateCheck::finished);
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        // the server closing after its answer is the end of the answer
        if (e == QAbstractSocket::RemoteHostClosedError) finished();
        else fail();
    });
    limit_->start(kTimeoutMs);
    socket_->connectToHost(address.host(), quint16(address.port(80)));
}

void UpdateCheck::received()
{
    if (over_ || !socket_) return;
    reply_ += socket_->read(kMaxHeader + kMaxBytes + 1 - reply_.size());
    const qsizetype head = reply_.indexOf("\r\n\r\n");
    if ((head < 0 && reply_.size() > kMaxHeader) || (head >= 0 && reply_.size() - head - 4 > kMaxBytes)) fail();
}

void UpdateCheck::fail()
{
    if (over_) return;
    over_ = true;
    if (limit_) limit_->stop();
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
    }
    end(false);
}

void UpdateCheck::finished()
{
    if (over_ || !socket_) return;
    received();
    if (over_) return;
    over_ = true;
    limit_->stop();
    socket_->disconnect(this);
    const qsizetype head = reply_.indexOf("\r\n\r\n");
    const QList<QByteArray> lines = reply_.left(std::max<qsizetype>(head, 0)).split('\n');
    const QList<QByteArray> status = lines.value(0).trimmed().split(' ');
    bool chunked = false;
    for (const QByteArray& l : lines)
        if (l.trimmed().toLower().startsWith("transfer-encoding:") && !l.toLower().contains("identity")) chunked = true;
    if (head < 0 || status.size() < 2 || !status.at(0).startsWith("HTTP/1.") || status.at(1) != "200" || chunked) {
        end(false);
        return;
    }
    const QByteArray body = reply_.mid(head + 4);
    if (!destination.isEmpty()) {
        QSaveFile copy(destination);
        if (copy.open(QIODevice::WriteOnly)) {
            copy.write(body);
            copy.commit();
        }
    }
    answer(question(body));
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
