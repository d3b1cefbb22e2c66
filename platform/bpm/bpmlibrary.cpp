#include "platform/bpm/bpmlibrary.h"

#include <map>

std::shared_ptr<BpmLibrary> BpmLibrary::load(const QString& name)
{
    QString key = name.trimmed().toLower();
    if (key.endsWith(QLatin1String(".dll"))) key.chop(4);
    bool bytes;
    if (key == QLatin1String("ostrellibrary") || key == QLatin1String("ostrellibrary2"))
        bytes = false;
    else if (key == QLatin1String("ostrel1") || key == QLatin1String("ostrel2"))
        bytes = true;
    else
        return nullptr;
    static std::mutex m;
    static std::map<QString, std::shared_ptr<BpmLibrary>> loaded;
    std::lock_guard<std::mutex> l(m);
    auto& lib = loaded[key];
    if (!lib) lib = std::make_shared<BpmLibrary>(key, bytes);
    return lib;
}

BpmLibrary::BpmLibrary(const QString& name, bool countsBytes) : name_(name), countsBytes_(countsBytes) {}

BpmEntryPoints BpmLibrary::lookup(const QString& entry)
{
    BpmEntryPoints e;
    if (entry == QLatin1String("Init"))
        e.Init = [this](int c, int r) { return Init(c, r); };
    else if (entry == QLatin1String("Decode"))
        e.Decode = [this](const int16_t* b, int n) { return Decode(b, n); };
    else if (entry == QLatin1String("DameBpm"))
        e.DameBpm = [this] { return DameBpm(); };
    return e;
}

BpmEntryPoints BpmLibrary::all()
{
    BpmEntryPoints e;
    e.Init = lookup(QStringLiteral("Init")).Init;
    e.Decode = lookup(QStringLiteral("Decode")).Decode;
    e.DameBpm = lookup(QStringLiteral("DameBpm")).DameBpm;
    return e;
}

int BpmLibrary::Init(int channels, int rate)
{
    std::lock_guard<std::mutex> l(m_);
    analyser_.start(channels, rate);
    return 1;
}

int BpmLibrary::Decode(const int16_t* block, int count)
{
    if (!block || count <= 0) return 0;
    std::lock_guard<std::mutex> l(m_);
    analyser_.feed(block, countsBytes_ ? size_t(count) / 2 : size_t(count));
    return 1;
}

float BpmLibrary::DameBpm()
{
    std::lock_guard<std::mutex> l(m_);
    return analyser_.tempo();
}
