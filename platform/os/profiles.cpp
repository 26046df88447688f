#include "platform/os/profiles.h"

namespace platform {

ProfileWriteError::ProfileWriteError(const QString& path)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(path).toStdString()) {}

IniFile::IniFile(Profiles& profiles, QString path) : profiles_(profiles), path_(std::move(path)) {
    const Profiles::Loaded loaded = profiles_.load(path_);
    readable_ = loaded.state != Profiles::Loaded::Unreadable;
    if (loaded.state == Profiles::Loaded::Read)
        text_ = IniText(loaded.bytes);
}

QString IniFile::ReadString(const QString& section, const QString& key,
                            const QString& fallback) const {
    if (const std::optional<QString> value = text_.value(section, key))
        return fitToBuffer(*value, ValueBufferSize);
    qsizetype length = fallback.size();
    while (length > 0 && fallback[length - 1] == QLatin1Char(' '))
        --length;
    return fallback.left(length);
}

int IniFile::ReadInteger(const QString& section, const QString& key, int fallback) const {
    const std::optional<QString> value = text_.value(section, key);
    return value ? strToIntDef(fitToBuffer(*value, ValueBufferSize), fallback) : fallback;
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    if (!text_.canWrite(section, key, value))
        throw ProfileWriteError(path_);
    text_.setValue(section, key, value);
    changed_ = true;
}

void IniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void IniFile::DeleteKey(const QString& section, const QString& key) {
    if (text_.removeKey(section, key))
        changed_ = true;
}

void IniFile::EraseSection(const QString& section) {
    if (text_.removeSection(section))
        changed_ = true;
}

void IniFile::UpdateFile() {
    if (!changed_)
        return;
    if (!readable_ || !profiles_.save(path_, text_.bytes()))
        throw ProfileWriteError(path_);
    changed_ = false;
}

} // namespace platform
