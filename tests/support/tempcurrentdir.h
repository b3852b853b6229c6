// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh temporary folder made the current directory for the lifetime of the object;
// the settings files are read and written there.
class TempCurrentDir
{
public:
    TempCurrentDir();
    ~TempCurrentDir();
    TempCurrentDir(const TempCurrentDir &) = delete;
    TempCurrentDir &operator=(const TempCurrentDir &) = delete;

    [[nodiscard]] bool isValid() const { return m_dir.isValid(); }
    [[nodiscard]] QString path() const { return m_dir.path(); }
    [[nodiscard]] QString filePath(const QString &name) const { return m_dir.filePath(name); }

    // Whole-file helpers on names relative to the folder.
    [[nodiscard]] QByteArray read(const QString &name) const;
    void write(const QString &name, const QByteArray &bytes) const;
    [[nodiscard]] bool exists(const QString &name) const;

private:
    QString m_previous;
    QTemporaryDir m_dir;
};
