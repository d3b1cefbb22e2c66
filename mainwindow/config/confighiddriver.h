// What the HID controller page needs of the first HID driver (hidcontrol1): clearing its name
// list (limpialista), enumerating the devices again (Enumerate) and its name list (lista,
// entries 0..xn; an entry may be empty). HidDriverList adapts the driver itself.
#pragma once

#include <algorithm>
#include <iterator>

#include <QString>
#include <QStringList>

class ConfigHidDriver {
  public:
    virtual ~ConfigHidDriver() = default;
    virtual void limpialista() = 0;
    virtual void Enumerate() = 0;
    virtual QStringList lista() const = 0;
};

// Any driver with limpialista(), Enumerate(), an indexable `lista` of QString and its last
// entry `xn` (TOstrelHid).
template <class Driver> class HidDriverList : public ConfigHidDriver {
  public:
    explicit HidDriverList(Driver& driver) : d(driver) {}

    void limpialista() override { d.limpialista(); }
    void Enumerate() override { d.Enumerate(); }
    QStringList lista() const override {
        QStringList l;
        const int last = std::min<int>(d.xn, int(std::size(d.lista)) - 1);
        for (int i = 0; i <= last; ++i)
            l << d.lista[size_t(i)];
        return l;
    }

  private:
    Driver& d;
};
