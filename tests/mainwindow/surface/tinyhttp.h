// An HTTP server of the test's own on 127.0.0.1: answers every request with one canned
// response (or, silent, never answers) and counts the requests.
#pragma once

#include <QObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

class TinyHttp : public QObject {
public:
    QByteArray status = "200 OK";
    QByteArray body;
    bool silent = false;  // accepts and never answers
    int requests = 0;
    QByteArray lastRequest;
    TinyHttp()
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, this, [this, s] {
                    lastRequest += s->readAll();
                    if (!lastRequest.contains("\r\n\r\n")) return;
                    ++requests;
                    if (silent) return;
                    s->write("HTTP/1.1 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: " +
                             QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
                    s->disconnectFromHost();
                });
            }
        });
    }
    QUrl url() const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1/updates/verkorvanta.txt").arg(server.serverPort()));
    }
    QTcpServer server;
};

