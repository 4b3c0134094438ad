#include "byte_vector.h"

QString PadLeftZeros(const QString& text, int width) {
    QString result = text;
    while (result.size() < width)
        result.prepend(QLatin1Char('0'));
    return result;
}

ByteVector NewByteVector(int count) {
    return count > 0 ? ByteVector(static_cast<std::size_t>(count), 0) : ByteVector();
}

bool PutByte(ByteVector& vector, int index, int value) {
    if (index < 0 || static_cast<std::size_t>(index) >= vector.size())
        return false;
    vector[static_cast<std::size_t>(index)] = static_cast<std::uint8_t>(value & 0xFF);
    return true;
}

bool GetByte(const ByteVector& vector, int index, std::uint8_t& value) {
    if (index < 0 || static_cast<std::size_t>(index) >= vector.size())
        return false;
    value = vector[static_cast<std::size_t>(index)];
    return true;
}

void CopyBytes(const ByteVector& source, int sourceStart, ByteVector& target, int targetStart,
               int count) {
    for (int k = 0; k < count; ++k) {
        std::uint8_t b = 0;
        if (GetByte(source, sourceStart + k, b))
            PutByte(target, targetStart + k, b);
    }
}

QString BytesToHex(const ByteVector& vector) {
    static const char digits[] = "0123456789ABCDEF";
    QString text;
    text.reserve(static_cast<qsizetype>(vector.size() * 3));
    for (std::uint8_t b : vector) {
        text.append(QLatin1Char(digits[b >> 4]));
        text.append(QLatin1Char(digits[b & 0x0F]));
        text.append(QLatin1Char(' '));
    }
    return text;
}

int PrivilegeFromIndex(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(PrivilegeValues)))
        return 1;
    return PrivilegeValues[index];
}

QString PrivilegeName(int privilege) {
    switch (privilege) {
    case 1:
        return QStringLiteral("General user");
    case 2:
        return QStringLiteral("Super user");
    case 4:
        return QStringLiteral("Enroll user");
    case 8:
        return QStringLiteral("View user");
    case 16:
        return QStringLiteral("Customer");
    default:
        return QString();
    }
}
