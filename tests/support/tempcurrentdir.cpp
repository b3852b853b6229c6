// SPDX-License-Identifier: MIT
#include "tempcurrentdir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempCurrentDir::TempCurrentDir() : m_previous(QDir::currentPath())
{
    if (m_dir.isValid())
        QDir::setCurrent(m_dir.path());
}

TempCurrentDir::~TempCurrentDir()
{
    QDir::setCurrent(m_previous);
}

QByteArray TempCurrentDir::read(const QString &name) const
{
    QFile file(filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void TempCurrentDir::write(const QString &name, const QByteArray &bytes) const
{
    QFile file(filePath(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

bool TempCurrentDir::exists(const QString &name) const
{
    return QFileInfo::exists(filePath(name));
}
