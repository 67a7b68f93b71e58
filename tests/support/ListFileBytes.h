#pragma once

// List files written out byte by byte. The Base64 texts below were worked
// out by hand and with an independent Base64 tool from the enciphered
// characters (code XOR 91 in Windows-1252) taken as UTF-16LE.

#include <QByteArray>
#include <QFile>
#include <QtEndian>

namespace listbytes {

template<typename T>
inline QByteArray littleEndian(T value)
{
    QByteArray bytes(sizeof(T), Qt::Uninitialized);
    qToLittleEndian(value, bytes.data());
    return bytes;
}
inline QByteArray int16(qint16 value) { return littleEndian(value); }
inline QByteArray int32(qint32 value) { return littleEndian(value); }

// A field entry: length entry (tag 3, 32-bit length), text entry (tag 8,
// 16-bit length, the Base64 text).
inline QByteArray field(const QByteArray &base64)
{
    return int16(3) + int32(qint32(base64.size())) + int16(8) + int16(qint16(base64.size())) + base64;
}

inline QByteArray header(qint16 version = 1)
{
    return QByteArray("LEXIG") + int16(version);
}

inline const QByteArray empty = "AAA=";
inline const QByteArray colors = "GAA0ADcANAApACgA";
inline const QByteArray red = "KQA+AD8A";
inline const QByteArray green = "PAApAD4APgA1AA==";
inline const QByteArray blue = "OQA3AC4APgA=";
inline const QByteArray tiger = "LwAyADwAPgApAA==";
inline const QByteArray accented = "sgDbAMcA"; // "é€œ"

// A list named Colors, no description, words red, green, blue and the
// closing empty word: 131 bytes.
inline const QByteArray colorsFile = QByteArray::fromHex(
    "4c45584947" "0100"
    "0300" "04000000" "0800" "0400" "4141413d"
    "0300" "10000000" "0800" "1000" "47414130414463414e41417041436741"
    "04000000"
    "0300" "08000000" "0800" "0800" "4b51412b41443841"
    "0300" "10000000" "0800" "1000" "50414170414434415067413141413d3d"
    "0300" "0c000000" "0800" "0c00" "4f5141334143344150"
    "67413d"
    "0300" "04000000" "0800" "0400" "4141413d");

inline void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write test file %s", qPrintable(path));
}

inline QByteArray read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace listbytes
