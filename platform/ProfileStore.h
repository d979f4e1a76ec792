#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QSettings;

namespace vantor {

// The per-user profile is a QSettings store in the native format with organisation and
// application both "Dorvex" (the program's name); on Linux that is ~/.config/Dorvex/Dorvex.conf.
// A section is a settings group and an entry a key in it. The program only ever reads it.
inline constexpr const char* kProfileOrganization = "Dorvex";
inline constexpr const char* kProfileApplication = "Dorvex";

// The binary value of an entry, or nothing when it is missing or not binary.
std::optional<QByteArray> ReadProfileBinary(const QString& section, const QString& entry);
// The same, from a given store (tests point it at a file of their own).
std::optional<QByteArray> ReadProfileBinary(const QSettings& settings, const QString& section, const QString& entry);

}  // namespace vantor
