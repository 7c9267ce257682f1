// Text on the wire: Latin-1 when it fits, UTF-8 otherwise, and the reader's rule.
#include "text_codec.h"

#include <QStringDecoder>

namespace wire {

namespace {

    // Length of the well-formed UTF-8 sequence starting at bytes[i], or 0.
    std::size_t sequenceLength(std::string_view bytes, std::size_t i)
    {
        const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
        const unsigned char lead = byte(i);
        if (lead < 0x80)
            return 1;
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF; // bounds of the second byte
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0; // no overlong forms
            else if (lead == 0xED)
                high = 0x9F; // no surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F; // nothing past U+10FFFF
        } else {
            return 0;
        }
        if (i + length > bytes.size())
            return 0;
        if (byte(i + 1) < low || byte(i + 1) > high)
            return 0;
        for (std::size_t k = 2; k < length; ++k)
            if (byte(i + k) < 0x80 || byte(i + k) > 0xBF)
                return 0;
        return length;
    }

} // namespace

bool readsAsUtf8(std::string_view bytes)
{
    bool wide = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = sequenceLength(bytes, i);
        if (length == 0)
            return false;
        wide = wide || length > 1;
        i += length;
    }
    return wide;
}

std::string encodeText(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return text.toUtf8().toStdString();
    return text.toLatin1().toStdString();
}

QString decodeText(std::string_view bytes)
{
    const auto size = static_cast<qsizetype>(bytes.size());
    if (readsAsUtf8(bytes)) {
        // A leading U+FEFF is text like any other here, not a byte-order mark.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return utf8.decode(QByteArrayView(bytes.data(), size));
    }
    return QString::fromLatin1(bytes.data(), size);
}

std::string_view cutText(std::string_view bytes, std::size_t maxBytes)
{
    if (bytes.size() <= maxBytes)
        return bytes;
    if (!readsAsUtf8(bytes))
        return bytes.substr(0, maxBytes);
    std::size_t end = maxBytes;
    // Back off over continuation bytes to the start of the character cut through.
    while (end > 0 && (static_cast<unsigned char>(bytes[end]) & 0xC0) == 0x80)
        --end;
    return bytes.substr(0, end);
}

} // namespace wire
