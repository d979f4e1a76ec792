#include "platform/ProfileStore.h"

#include <QSettings>
#include <QVariant>

namespace vantor {

std::optional<QByteArray> ReadProfileBinary(const QString& section, const QString& entry)
{
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(kProfileOrganization),
                             QString::fromLatin1(kProfileApplication));
    return ReadProfileBinary(settings, section, entry);
}

std::optional<QByteArray> ReadProfileBinary(const QSettings& settings, const QString& section, const QString& entry)
{
    if (section.isEmpty() || entry.isEmpty())
        return std::nullopt;
    const QVariant value = settings.value(section + QLatin1Char('/') + entry);
    // Only a value stored as binary counts; text or a list under the same name is not a block.
    if (value.typeId() != QMetaType::QByteArray)
        return std::nullopt;
    return value.toByteArray();
}

}  // namespace vantor
