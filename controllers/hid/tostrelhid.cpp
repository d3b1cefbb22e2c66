#include "controllers/hid/tostrelhid.h"

#include <algorithm>

namespace {

// byte x of the data, 0 past its end
int at(const uint8_t* data, int size, int x) { return x >= 0 && x < size ? data[x] : 0; }

QString hex2(int v) { return QStringLiteral("%1").arg(v & 0xFF, 2, 16, QLatin1Char('0')).toUpper(); }

}  // namespace

TOstrelHid::TOstrelHid(hid::Backend& backend, bool secondDriver) : HidDeviceController(backend), second(secondDriver)
{
    hproducname = proname;
    SetDevThreadSleepTime(10);
    lights.fill(QStringLiteral("0"));
    for (int j = 0; j <= 64; ++j) leds[size_t(j)] = QStringLiteral("0");
    for (int k = 0; k < 64; ++k)
        for (int j = 1; j <= 8; ++j) boton[size_t(8 * k + j)] = 1 << (j - 1);
    multi[9] = 8;
    multi[17] = 16;
}

// ---- events

void TOstrelHid::activo()
{
    enumerateBound_ = true;
    changeBound_ = true;
    OnEnumerate = [this](HidDevice& d, int i) { return HidCtldevEnumerate(d, i); };
    OnDeviceChange = [this] { HidCtlDeviceChange(); };
    OnRemoval = [this](HidDevice& d) { HidCtlRemoval(d); };
    startPolling();
}

void TOstrelHid::desactivo()
{
    enumerateBound_ = false;
    changeBound_ = false;
    OnEnumerate = nullptr;
    OnDeviceChange = nullptr;
    OnRemoval = nullptr;
    stopPolling();
}

void TOstrelHid::bindDevice()
{
    if (!hercules) return;
    hercules->setOnData([this](HidDevice& d, int id, const uint8_t* data, int size) { ShowRead(&d, id, data, size); });
    hercules->setOnUnplug([this](HidDevice& d) { desconecta(d); });
}

void TOstrelHid::unbindDevice()
{
    if (!hercules) return;
    hercules->setOnData(nullptr);
    hercules->setOnUnplug(nullptr);
}

void TOstrelHid::setfenabled(bool v)
{
    if (v == fenabled) return;
    fenabled = v;
    if (!hercules) return;
    if (v) {
        changeBound_ = true;
        OnDeviceChange = [this] { HidCtlDeviceChange(); };
        OnRemoval = [this](HidDevice& d) { HidCtlRemoval(d); };
        startPolling();
        hercules->setOnData([this](HidDevice& d, int id, const uint8_t* data, int size) { ShowRead(&d, id, data, size); });
    } else {
        changeBound_ = false;
        OnDeviceChange = nullptr;
        OnRemoval = nullptr;
        stopPolling();
        CheckIn(hercules);
    }
}

// ---- device names

void TOstrelHid::limpialista()
{
    for (int i = 0; i < kMaxDevices; ++i) {
        lista[size_t(i)].clear();
        lista2[size_t(i)].clear();
    }
    xn = 0;
    initduplicate();
}

void TOstrelHid::initduplicate()
{
    for (QString& s : oldpn2) s.clear();
    indexoldpn2 = 0;
}

QString TOstrelHid::finduplicate(const QString& name)
{
    int count = 0;
    for (int i = 0; i <= indexoldpn2 && i < kMaxDevices; ++i)
        if (oldpn2[size_t(i)] == name) ++count;
    const QString numbered = count == 0 ? name : name + QLatin1Char(' ') + QString::number(count);
    if (indexoldpn2 < kMaxDevices) oldpn2[size_t(indexoldpn2++)] = name;
    return numbered;
}

int TOstrelHid::Enumerate()
{
    HidDeviceController::Enumerate();
    return 0;
}

bool TOstrelHid::HidCtldevEnumerate(HidDevice& device, int)
{
    // more devices than the name tables hold are listed nowhere and never chosen
    if (xn >= kMaxDevices) {
        device.Tag = -1;
        return true;
    }
    int in = 0, out = 0;
    const int n = device.GetCaps(in, out) ? in - 1 : 9;
    if (!second && n < 10) {
        lista2[size_t(xn)] = lista[size_t(xn)];
        device.Tag = -1;
    } else {
        const QString name = finduplicate(device.ProductName());
        lista[size_t(xn)] = name;
        lista2[size_t(xn)] = name;
        device.Tag = xn;
    }
    ++xn;
    return true;
}

void TOstrelHid::setproname(const QString& name)
{
    if ((second || changeBound_) && name != proname) {
        proname = name;
        hproducname = name;
    }
}

bool TOstrelHid::FindIOWarrior(HidDevice& device) const
{
    const int tag = device.Tag;
    if (tag < 0 || tag >= kMaxDevices) return false;
    const QString& listed = lista2[size_t(tag)];
    return !listed.isEmpty() && !hproducname.isEmpty() && listed == hproducname;
}

void TOstrelHid::HidCtlDeviceChange()
{
    // The list is read again whether a device was held or not: a device plugged in again must be
    // judged by its own name, not by whatever name the list held at its place before.
    CheckIn(hercules);
    limpialista();
    Enumerate();
    if (!hercules && CheckOutByCallback(hercules, [this](HidDevice& d) { return FindIOWarrior(d); })) {
        conectado = true;
        bindDevice();
        return;
    }
    conectado = false;
    CheckIn(hercules);
}

void TOstrelHid::HidCtlRemoval(HidDevice&)
{
    if (hercules) hercules->setOnData(nullptr);
}

void TOstrelHid::desconecta(HidDevice&) { CheckIn(hercules); }

// ---- input reports

void TOstrelHid::ShowRead(HidDevice*, int reportId, const uint8_t* data, int size)
{
    if (!changeBound_) return;
    if (!data) size = 0;
    rid = hex2(reportId);
    for (int i = 0; i < kDataPositions; ++i) {
        const int d = at(data, size, i);
        if (tipo[size_t(i)] == 0) {
            for (int j = 1; j <= 8; ++j) {
                const int n = 8 * i + j;
                const bool set = (d & boton[size_t(n)]) != 0;
                if (set && botpres[size_t(n)] == 0) {
                    botpres[size_t(n)] = 1;
                    if (FonButton) FonButton(this, true, 144, n, 127);
                } else if (!set && botpres[size_t(n)] == 1) {
                    botpres[size_t(n)] = 0;
                    if (FonButton) FonButton(this, true, 144, n, 0);
                }
            }
            continue;
        }
        const int counter = signo[size_t(i)];
        const bool counterValid = counter > 0 && counter < int(valsigno.size());
        const int s = counterValid ? at(data, size, counter) : 0;
        const bool changed = d != potpres[size_t(i)] || (counterValid && s != valsigno[size_t(counter)]);
        if (!changed) continue;
        int v = d;
        potpres[size_t(i)] = d;
        if (multi[size_t(i)] > 0) {
            const int m = at(data, size, multi[size_t(i)]);
            const int t = m == 0 ? 0 : (m <= 30 ? m : m - 256);
            v = d + valor[size_t(i)] + 255 * t;
        }
        if (counterValid) {
            int& last = valsigno[size_t(counter)];
            if (last == 255 && s == 0) {
                last = s;
                v = d + 66;
            } else if (last == 0 && s == 255) {
                last = s;
                v = 62 - d;
            } else if (s == last) {
                v = 64;
            } else if (s > last) {
                last = s;
                v = d + 66;
            } else {
                last = s;
                v = 62 - d;
            }
        }
        if (sumar[size_t(i)] > 0) potpres[size_t(i)] = at(data, size, sumar[size_t(i)]) + d;
        if (dire[size_t(i)] > 0) {
            const int dir = at(data, size, dire[size_t(i)]);
            if (dir <= direlow || dir >= direhig) v = rangezero;
            else if (dir > direzero) v = rangezero + v / 10;
            else v = rangezero - v / 10;
        }
        envio[size_t(i)] = v;
        if (FonButton) FonButton(this, true, 176, i, v);
    }
    if (Fondatos) {
        std::vector<QString> texts(second ? 21 : 23);
        for (int i = 0; i < kDataPositions; ++i) texts[size_t(i)] = hex2(at(data, size, i));
        texts[19] = rid;
        Fondatos(this, true, texts);
    }
}

// ---- output reports

int TOstrelHid::outputLength() const
{
    int in = 0, out = 0;
    hercules->GetCaps(in, out);
    return std::min(out, kMaxReport);
}

void TOstrelHid::writeReport(std::vector<uint8_t>& report)
{
    report[0] = uint8_t(textNumber(HexToStr(rid)));
    hercules->WriteFile(report.data(), int(report.size()));
}

int TOstrelHid::textNumber(const QString& t)
{
    bool ok = false;
    const qlonglong v = t.trimmed().toLongLong(&ok);
    return ok ? int(v & 0xFFFFFFFF) : 0;
}

int TOstrelHid::BinToInt(const QString& t)
{
    uint32_t v = 0;
    for (const QChar c : t) v = v * 2 + (c == QLatin1Char('1') ? 1 : 0);
    return int(v & 0x7FFFFFFF);
}

QString TOstrelHid::HexToStr(const QString& t)
{
    bool ok = false;
    const qulonglong v = t.toULongLong(&ok, 16);
    return QString::number(ok ? v : 0);
}

void TOstrelHid::updatelights()
{
    if (!changeBound_ || !hercules || uplight) return;
    uplight = true;
    const int L = outputLength();
    if (L > 0) {
        std::vector<uint8_t> report(size_t(L), 0);
        for (int b = 1; b < L; ++b) {
            if (tipol[size_t(b)] == 0) {
                QString joined;
                for (int p = 8 * b - 7; p <= 8 * b; ++p) joined += lights[size_t(p)];
                btoi[size_t(b)] = BinToInt(joined);
                report[size_t(b)] = uint8_t(btoi[size_t(b)] & 0xFF);
            } else {
                report[size_t(b)] = uint8_t(textNumber(lights[size_t(8 * b - 7)]) & 0xFF);
            }
        }
        writeReport(report);
    }
    uplight = false;
}

void TOstrelHid::updateleds()
{
    if (!changeBound_ || !hercules) return;
    const int L = outputLength();
    if (L <= 0) return;
    std::vector<uint8_t> report(size_t(L), 0);
    for (int j = 1; j < L; ++j)
        report[size_t(j)] = leds[size_t(j)] == QLatin1String("0") ? 0 : uint8_t(textNumber(leds[size_t(j)]) & 0xFF);
    writeReport(report);
}

void TOstrelHid::ejecutacadena(const QString& s)
{
    if (!changeBound_ || !hercules) return;
    for (int j = 0; j <= 64; ++j) leds[size_t(j)] = QStringLiteral("0");
    // at most 65 pairs, and none after a pair that is not hexadecimal
    const int pairs = std::min<int>(int(s.size() / 2), kBytes - 1);
    for (int k = 0; k < pairs; ++k) {
        bool ok = false;
        const int v = s.mid(2 * k, 2).toInt(&ok, 16);
        if (!ok) break;
        leds[size_t(k + 1)] = QString::number(v);
    }
}

void TOstrelHid::setLight(int position, const QString& text)
{
    if (position >= 0 && position < kLights) lights[size_t(position)] = text;
}

void TOstrelHid::displaytexto(const QString& text, int first, int last)
{
    if (!changeBound_ || !hercules || first <= 0 || last <= 0) return;
    const QString t = text.left(std::max(0, last - first));
    if (!cadenatexto.isEmpty()) ejecutacadena(cadenatexto);
    if (modotexto == 0) {
        for (int p = first; p <= last && p < kBytes; ++p) leds[size_t(p)] = QStringLiteral("32");
        for (int k = 0; k < t.size(); ++k) {
            const int p = first + k;
            if (p < kBytes) leds[size_t(p)] = QString::number(t[k].unicode());
        }
        updateleds();
    } else {
        for (int p = first; p <= last; ++p) setLight(8 * p + 1, QStringLiteral("1"));
        for (int k = 0; k < t.size(); ++k) setLight(8 * (first - 1) + 1 + 8 * k, QString::number(t[k].unicode()));
        updatelights();
    }
}

void TOstrelHid::displaydoble(int v, int first, int secondPos)
{
    if (!changeBound_ || !hercules || first <= 0 || first > kLights / 8) return;
    if (secondPos > 0) {
        const QString h = QStringLiteral("%1").arg(uint32_t(v), 4, 16, QLatin1Char('0')).toUpper();
        if (secondPos <= kLights / 8) {
            setLight(8 * first + 1, HexToStr(h.mid(0, 2)));
            setLight(8 * secondPos + 1, HexToStr(h.mid(2, 2)));
        }
    } else if (secondPos == 0) {
        setLight(8 * first + 1, QString::number(v));
    }
}
