#include "TempDir.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

TempDir::TempDir() {
    EXPECT_TRUE(m_dir.isValid());
}

QString TempDir::write(const QString& name, const QByteArray& bytes) const {
    QString path = filePath(name);
    writeFileBytes(path, bytes);
    return path;
}

QByteArray TempDir::read(const QString& name) const {
    return readFileBytes(filePath(name));
}

bool TempDir::exists(const QString& name) const {
    return QFileInfo::exists(filePath(name));
}

QByteArray readFileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return file.readAll();
}

void writeFileBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}
