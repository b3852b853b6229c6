// SPDX-License-Identifier: MIT
#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// A fresh temporary folder made the current directory for the lifetime of the object;
// the settings files are read and written there.
class TempCurrentDir
{
public:
    TempCurrentDir()
    {
        if (m_dir.isValid())
            QDir::setCurrent(m_dir.path());
    }
    ~TempCurrentDir() { QDir::setCurrent(m_previous); }
    Q_DISABLE_COPY_MOVE(TempCurrentDir)

    [[nodiscard]] bool isValid() const { return m_dir.isValid(); }
    [[nodiscard]] QString path() const { return m_dir.path(); }
    [[nodiscard]] QString filePath(const QString &name) const { return m_dir.filePath(name); }

    // Whole-file helpers on names relative to the folder.
    [[nodiscard]] QByteArray read(const QString &name) const
    {
        QFile file(filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(filePath(name));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(bytes);
    }
    [[nodiscard]] bool exists(const QString &name) const { return QFile::exists(filePath(name)); }

private:
    const QString m_previous = QDir::currentPath();
    QTemporaryDir m_dir;
};
