#include "SaneDevice.h"

#include "SaneChoices.h"

#include <QByteArray>

#include <cstring>

QString SaneDeviceEntry::caption() const
{
    QString text = (vendor + u' ' + model).trimmed();
    if (text.isEmpty())
        return name;
    return text + QStringLiteral(" (") + name + u')';
}

SaneDevice::~SaneDevice()
{
    if (handle_)
        sane_close(handle_);
}

SANE_Status SaneDevice::open(const QString& name)
{
    if (handle_) {
        sane_close(handle_);
        handle_ = nullptr;
    }
    const QByteArray encoded = name.toUtf8();
    SANE_Handle handle = nullptr;
    const SANE_Status status = sane_open(encoded.constData(), &handle);
    if (status == SANE_STATUS_GOOD)
        handle_ = handle;
    return status;
}

int SaneDevice::find(const char* name) const
{
    if (!handle_)
        return -1;
    SANE_Int count = 0;
    if (sane_control_option(handle_, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD)
        return -1;
    for (SANE_Int i = 1; i < count; ++i) {
        const SANE_Option_Descriptor* d = sane_get_option_descriptor(handle_, i);
        if (d && d->name && std::strcmp(d->name, name) == 0)
            return i;
    }
    return -1;
}

const SANE_Option_Descriptor* SaneDevice::usable(int index) const
{
    const SANE_Option_Descriptor* d = active(index);
    return d && SANE_OPTION_IS_SETTABLE(d->cap) ? d : nullptr;
}

const SANE_Option_Descriptor* SaneDevice::active(int index) const
{
    if (!handle_ || index <= 0)
        return nullptr;
    const SANE_Option_Descriptor* d = sane_get_option_descriptor(handle_, index);
    return d && SANE_OPTION_IS_ACTIVE(d->cap) ? d : nullptr;
}

std::optional<double> SaneDevice::number(int index) const
{
    const SANE_Option_Descriptor* d = active(index);
    if (!d || (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED)
        || d->size != static_cast<SANE_Int>(sizeof(SANE_Word)))
        return std::nullopt;
    SANE_Word word = 0;
    if (sane_control_option(handle_, index, SANE_ACTION_GET_VALUE, &word, nullptr) != SANE_STATUS_GOOD)
        return std::nullopt;
    return SaneChoices::WordToNumber(word, d->type);
}

std::optional<QString> SaneDevice::text(int index) const
{
    const SANE_Option_Descriptor* d = active(index);
    if (!d || d->type != SANE_TYPE_STRING || d->size <= 0)
        return std::nullopt;
    QByteArray buffer(d->size, '\0');
    if (sane_control_option(handle_, index, SANE_ACTION_GET_VALUE, buffer.data(), nullptr)
        != SANE_STATUS_GOOD)
        return std::nullopt;
    return QString::fromUtf8(buffer.constData()); // stops at the terminating NUL
}

std::optional<SANE_Int> SaneDevice::setNumber(int index, double value)
{
    const SANE_Option_Descriptor* d = usable(index);
    if (!d || (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED)
        || d->size != static_cast<SANE_Int>(sizeof(SANE_Word)))
        return std::nullopt;
    SANE_Word word = SaneChoices::NumberToWord(value, d->type);
    SANE_Int info = 0;
    if (sane_control_option(handle_, index, SANE_ACTION_SET_VALUE, &word, &info) != SANE_STATUS_GOOD)
        return std::nullopt;
    return info;
}

std::optional<SANE_Int> SaneDevice::setText(int index, const QString& value)
{
    const SANE_Option_Descriptor* d = usable(index);
    if (!d || d->type != SANE_TYPE_STRING || d->size <= 0)
        return std::nullopt;
    const QByteArray encoded = value.toUtf8();
    if (encoded.size() >= d->size)
        return std::nullopt;
    // The backend may write its adjusted value back into the buffer.
    QByteArray buffer(d->size, '\0');
    std::memcpy(buffer.data(), encoded.constData(), static_cast<std::size_t>(encoded.size()));
    SANE_Int info = 0;
    if (sane_control_option(handle_, index, SANE_ACTION_SET_VALUE, buffer.data(), &info)
        != SANE_STATUS_GOOD)
        return std::nullopt;
    return info;
}
