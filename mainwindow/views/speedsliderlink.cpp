#include "mainwindow/views/speedsliderlink.h"

#include <QThread>

SpeedSliderLink::SpeedSliderLink(TVsSlider* slider) : s_(slider)
{
    if (s_) {
        position_ = s_->Position();
        QObject::connect(s_, &TVsSlider::OnChange, s_, [this] {
            if (s_) position_ = s_->Position();
        });
    }
}

template <class F>
void SpeedSliderLink::onSliderThread(F&& f)
{
    if (!s_) return;
    if (QThread::currentThread() == s_->thread()) f();
    else QMetaObject::invokeMethod(s_, std::forward<F>(f), Qt::QueuedConnection);
}

void SpeedSliderLink::setRange(int minimum, int maximum)
{
    onSliderThread([this, minimum, maximum] {
        if (!s_) return;
        // each limit is taken only on its side of the other
        if (minimum >= s_->MaxValue()) {
            s_->SetMaxValue(maximum);
            s_->SetMinValue(minimum);
        } else {
            s_->SetMinValue(minimum);
            s_->SetMaxValue(maximum);
        }
        position_ = s_->Position();
    });
}

void SpeedSliderLink::setPosition(int position)
{
    position_ = position;
    onSliderThread([this, position] {
        if (s_) s_->SetPosition(position);
        if (s_) position_ = s_->Position();
    });
}
