#pragma once

#include <QString>

#include <optional>

// The application title, under which every setting is stored.
inline constexpr char kAppTitle[] = "Tessory";

// The per-user settings store: text values under (application, section, key), kept in an INI
// file per application in the user's configuration folder. A missing value reads as the default.
QString ReadSetting(const QString &application, const QString &section, const QString &key,
                    const QString &defaultText);
void WriteSetting(const QString &application, const QString &section, const QString &key,
                  const QString &value);

// Every setting of the program, with its default text.
struct SettingKey {
    const char *section;
    const char *key;
    const char *defaultText;
};

namespace Settings {
inline constexpr SettingKey ConnectDsn{"CONNECT", "DSN", ""};
inline constexpr SettingKey ConnectUid{"CONNECT", "UID", ""};
inline constexpr SettingKey MainTop{"FORM_MAIN", "TOP", "0"};
inline constexpr SettingKey MainLeft{"FORM_MAIN", "LEFT", "0"};
inline constexpr SettingKey MainHeight{"FORM_MAIN", "HEIGHT", "6000"};
inline constexpr SettingKey MainWidth{"FORM_MAIN", "WIDTH", "8000"};
inline constexpr SettingKey MainState{"FORM_MAIN", "STATE", "0"};
inline constexpr SettingKey QueryTimeout{"QUERY", "TIMEOUT", "30"};
inline constexpr SettingKey OpenSql{"OPEN_SQL", "OPEN_SQL", ""};
inline constexpr SettingKey SaveSql{"SAVE_SQL", "SAVE_SQL", ""};
inline constexpr SettingKey FontSize{"FONT", "SIZE", "10"};
inline constexpr SettingKey FontName{"FONT", "NAME", "Meiryo UI"};
inline constexpr SettingKey FontBold{"FONT", "BOLD", "False"};
inline constexpr SettingKey FontItalic{"FONT", "ITALIC", "False"};
inline constexpr SettingKey SearchUpper{"SEARCH", "UPPER", "0"};

// Reads or writes one setting of the table under the application title.
QString Read(const SettingKey &setting);
void Write(const SettingKey &setting, const QString &value);
// True when the setting holds a value of its own (it was written), not only its default.
bool IsStored(const SettingKey &setting);

// Typed reads with the fallbacks of the table: a whole number (fallback when the text is not
// numeric), or a Boolean.
int ReadInt(const SettingKey &setting, int fallback);
bool ReadBool(const SettingKey &setting);
}  // namespace Settings

// Conversions of stored text.
// Numeric text: optional sign, digits with an optional decimal point, an optional exponent,
// surrounding white space allowed.
bool IsNumericText(const QString &text);
// Numeric text as a 32-bit integer, rounded to the nearest whole number with halves to even;
// nothing when the text is not numeric or does not fit.
std::optional<int> NumericTextToInt(const QString &text);
// "True" / "False" in any letter case, or a number (0 is False); any other text is False.
bool TextToBool(const QString &text);
// The writers' forms.
QString BoolToText(bool value);
QString TwipsToText(float twips);
