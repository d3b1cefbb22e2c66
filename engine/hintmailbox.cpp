#include "engine/hintmailbox.h"

void HintMailbox::post(const QString& word)
{
    std::lock_guard<std::mutex> l(m_);
    words_.push_back(word);
}

std::optional<QString> HintMailbox::take()
{
    std::lock_guard<std::mutex> l(m_);
    if (words_.empty()) return std::nullopt;
    QString w = std::move(words_.front());
    words_.pop_front();
    return w;
}

QStringList HintMailbox::takeAll()
{
    std::lock_guard<std::mutex> l(m_);
    QStringList out;
    for (auto& w : words_) out << std::move(w);
    words_.clear();
    return out;
}

bool HintMailbox::empty() const
{
    std::lock_guard<std::mutex> l(m_);
    return words_.empty();
}
