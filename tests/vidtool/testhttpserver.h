// A small HTTP server on 127.0.0.1 for the real video engine: GET and HEAD of files by name,
// optionally paced to a number of bytes per second, so that a download lasts long enough to be
// cancelled. Runs on the thread that made it (the test's, whose waits run its events).
#pragma once

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

class TestHttpServer : public QTcpServer {
public:
    TestHttpServer() { listen(QHostAddress::LocalHost, 0); }

    // "/name" serves `path`; bytesPerSecond 0 sends as fast as the socket takes it.
    void serve(const QString& name, const QString& path, qint64 bytesPerSecond = 0)
    {
        files[name] = {path, bytesPerSecond};
    }
    QString url(const QString& name) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(name);
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(serverPort()); }
    int requests = 0;

protected:
    void incomingConnection(qintptr fd) override
    {
        auto* socket = new QTcpSocket(this);
        socket->setSocketDescriptor(fd);
        auto request = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, request] {
            request->append(socket->readAll());
            if (!request->contains("\r\n\r\n")) return;
            answer(socket, *request);
            request->clear();
        });
    }

private:
    struct Entry {
        QString path;
        qint64 rate = 0;
    };

    void answer(QTcpSocket* socket, const QByteArray& request)
    {
        ++requests;
        const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
        const QByteArray method = words.value(0);
        const QString name = QString::fromUtf8(words.value(1));
        if (!files.contains(name)) {
            socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\nConnection: close\r\n\r\nNot found");
            socket->disconnectFromHost();
            return;
        }
        const Entry entry = files[name];
        auto file = std::make_shared<QFile>(entry.path);
        file->open(QIODevice::ReadOnly);
        const QString suffix = QFileInfo(entry.path).suffix();
        const QByteArray type = suffix == "mp4" ? "video/mp4" : suffix == "wav" ? "audio/x-wav" : "text/plain";
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: " + type + "\r\nContent-Length: " +
                      QByteArray::number(file->size()) + "\r\nConnection: close\r\n\r\n");
        if (method == "HEAD") {
            socket->disconnectFromHost();
            return;
        }
        // a chunk every 10 ms (paced) or whenever the socket has sent what it had
        const qint64 chunk = entry.rate > 0 ? qMax<qint64>(1, entry.rate / 100) : 256 * 1024;
        auto* pace = new QTimer(socket);
        pace->setInterval(entry.rate > 0 ? 10 : 0);
        QPointer<QTcpSocket> guard(socket);
        connect(pace, &QTimer::timeout, socket, [guard, file, chunk, pace] {
            if (!guard) return;
            if (guard->bytesToWrite() > 4 * chunk) return;
            const QByteArray bytes = file->read(chunk);
            if (bytes.isEmpty()) {
                pace->stop();
                guard->disconnectFromHost();
                return;
            }
            guard->write(bytes);
        });
        pace->start();
    }

    QHash<QString, Entry> files;
};
