// The main window's command mailbox. Writers on any thread post a word ("CARGACANCION1",
// "ECARGACANCION2", "NOKEY", ...); the main window's 50 ms tick takes them. Every word
// posted is taken exactly once, in the order posted, however close together they came.
#pragma once

#include <deque>
#include <mutex>
#include <optional>

#include <QString>
#include <QStringList>

class HintMailbox {
public:
    void post(const QString& word);
    std::optional<QString> take();  // the oldest word not yet taken
    QStringList takeAll();          // every waiting word, oldest first
    bool empty() const;

private:
    mutable std::mutex m_;
    std::deque<QString> words_;
};
