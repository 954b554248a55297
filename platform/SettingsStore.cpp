#include "SettingsStore.h"

#include "Numbers.h"

#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

namespace {
const QString Section = QStringLiteral("Ritrax");
}

SettingsStore::SettingsStore(const QString& filePath)
    : settings_(std::make_unique<QSettings>(filePath, QSettings::IniFormat))
{
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::DefaultFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Kelm.ini");
}

QString SettingsStore::read(const QString& key, const QString& defaultValue) const
{
    // Pick up changes made by another copy of the program or by hand.
    settings_->sync();
    const QVariant value = settings_->value(Section + u'/' + key);
    if (!value.isValid())
        return defaultValue;
    // An unquoted value with commas, written by hand, comes back as a list.
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    return value.toString();
}

void SettingsStore::write(const QString& key, const QString& value)
{
    settings_->setValue(Section + u'/' + key, value);
    settings_->sync(); // write through at once; a failure is not reported
}

double SettingsStore::readNumber(const QString& key, const QString& defaultValue) const
{
    return Numbers::LenientNumber(read(key, defaultValue));
}

QString SettingsStore::filePath() const
{
    return settings_->fileName();
}
