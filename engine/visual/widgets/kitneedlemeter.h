// A deck's needle meter (the kit's TVrQuorAngularMeter) as the visual step reaches it. The state
// word is the meter's caption in its font colour; the end warning colours the remaining time.
// A text or colour is handed on only when it changes: each change rebuilds the meter's scale.
#pragma once

#include <QPointer>

#include "engine/visual/needlemeter.h"
#include "snkins/vr/tvrquorangularmeter.h"

class KitNeedleMeter : public NeedleMeter {
public:
    explicit KitNeedleMeter(TVrQuorAngularMeter* meter) : m_(meter) {}

    void SetPico(int value) override
    {
        if (m_) m_->SetPico(value);
    }
    double Position() const override { return m_ ? m_->Position() : 0; }
    void SetPosition(double value) override
    {
        if (m_) m_->SetPosition(value);
    }
    bool Enabled() const override { return m_ && m_->isEnabled(); }
    void SetStateWord(const QString& word, TColor color) override
    {
        if (!m_) return;
        if (m_->Font().Color != color) {
            KitFont f = m_->Font();
            f.Color = color;
            m_->SetFont(f);
        }
        if (m_->Caption() != word) m_->SetCaption(word);
    }
    void SetRemainColor(TColor color) override
    {
        if (!m_ || m_->fontremain().Color == color) return;
        KitFont f = m_->fontremain();
        f.Color = color;
        m_->setfontremain(f);
    }

private:
    QPointer<TVrQuorAngularMeter> m_;
};
