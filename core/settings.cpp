#include "core/settings.h"

#include <QRegularExpression>
#include <QSettings>

#include <cmath>
#include <limits>

namespace {

QString SettingPath(const QString &section, const QString &key) {
    return section + QLatin1Char('/') + key;
}

}  // namespace

QString ReadSetting(const QString &application, const QString &section, const QString &key,
                    const QString &defaultText) {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, application);
    const QVariant value = store.value(SettingPath(section, key));
    if (!value.isValid()) {
        return defaultText;
    }
    // A hand-edited value with commas comes back as a list; give it back as it was written.
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QLatin1Char(','));
    }
    return value.toString();
}

void WriteSetting(const QString &application, const QString &section, const QString &key,
                  const QString &value) {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, application);
    store.setValue(SettingPath(section, key), value);
    store.sync();
}

QString Settings::Read(const SettingKey &setting) {
    return ReadSetting(QString::fromLatin1(kAppTitle), QString::fromLatin1(setting.section),
                       QString::fromLatin1(setting.key), QString::fromUtf8(setting.defaultText));
}

void Settings::Write(const SettingKey &setting, const QString &value) {
    WriteSetting(QString::fromLatin1(kAppTitle), QString::fromLatin1(setting.section),
                 QString::fromLatin1(setting.key), value);
}

bool Settings::IsStored(const SettingKey &setting) {
    const QSettings store(QSettings::IniFormat, QSettings::UserScope,
                          QString::fromLatin1(kAppTitle));
    return store.contains(
        SettingPath(QString::fromLatin1(setting.section), QString::fromLatin1(setting.key)));
}

int Settings::ReadInt(const SettingKey &setting, int fallback) {
    return NumericTextToInt(Read(setting)).value_or(fallback);
}

bool Settings::ReadBool(const SettingKey &setting) {
    return TextToBool(Read(setting));
}

bool IsNumericText(const QString &text) {
    static const QRegularExpression numeric(
        QStringLiteral(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?\s*$)"));
    return numeric.match(text).hasMatch();
}

std::optional<int> NumericTextToInt(const QString &text) {
    if (!IsNumericText(text)) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    const double rounded = std::nearbyint(value);  // the default rounding: halves to even
    if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(rounded);
}

bool TextToBool(const QString &text) {
    const QString word = text.trimmed();
    if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        return false;
    }
    if (IsNumericText(text)) {
        return text.trimmed().toDouble() != 0.0;
    }
    return false;
}

QString BoolToText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString TwipsToText(float twips) {
    return QString::number(static_cast<double>(twips), 'g', 7);
}
