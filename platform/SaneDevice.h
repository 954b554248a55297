#pragma once
// An open SANE device and the few option calls the scan dialog makes on it,
// with SANE's C conventions (option 0 holds the count, values are written
// into caller buffers of the descriptor's size) kept in one place.

#include <sane/sane.h>

#include <QString>

#include <optional>

// A device as sane_get_devices lists it.
struct SaneDeviceEntry {
    QString name;   // what sane_open takes, e.g. "test:0"
    QString vendor;
    QString model;

    // "Vendor Model (name)", the way the operator sees it in the dialogs.
    QString caption() const;
};

class SaneDevice {
public:
    SaneDevice() = default;
    ~SaneDevice();
    SaneDevice(const SaneDevice&) = delete;
    SaneDevice& operator=(const SaneDevice&) = delete;

    SANE_Status open(const QString& name);
    SANE_Handle handle() const { return handle_; }

    // Index of the option with that name, or -1.
    int find(const char* name) const;
    // The option's descriptor when it is there and active; usable() also
    // wants it settable by software. Otherwise null.
    const SANE_Option_Descriptor* active(int index) const;
    const SANE_Option_Descriptor* usable(int index) const;

    // Values of active single-word numeric options and of string options.
    std::optional<double> number(int index) const;
    std::optional<QString> text(int index) const;
    // Sets the value; the device may adjust it (read it back) or change
    // other options. Returns the SANE info bits, or nothing on failure.
    std::optional<SANE_Int> setNumber(int index, double value);
    std::optional<SANE_Int> setText(int index, const QString& value);

private:
    SANE_Handle handle_ = nullptr;
};
