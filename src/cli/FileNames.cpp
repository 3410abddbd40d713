#include "cli/FileNames.h"

namespace vastrel::cli {

namespace {

constexpr char16_t kEscapedByte = 0xDC00;  // + the byte, for bytes 0x80 to 0xFF

bool isEscapedByte(char16_t c)
{
    return c >= kEscapedByte + 0x80 && c <= kEscapedByte + 0xFF;
}

// The length of the valid UTF-8 sequence at `at` (1 to 4), or 0 when the byte
// there starts none: no overlong forms, no surrogates, nothing past U+10FFFF.
int validSequenceAt(const QByteArray& bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u; };
    const unsigned lead = byte(at);
    const auto continuation = [&](qsizetype i, unsigned low = 0x80, unsigned high = 0xBF) {
        return byte(i) >= low && byte(i) <= high;
    };
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return continuation(at + 1) ? 2 : 0;
    if (lead == 0xE0) return continuation(at + 1, 0xA0) && continuation(at + 2) ? 3 : 0;
    if (lead == 0xED) return continuation(at + 1, 0x80, 0x9F) && continuation(at + 2) ? 3 : 0;
    if (lead >= 0xE1 && lead <= 0xEF) return continuation(at + 1) && continuation(at + 2) ? 3 : 0;
    if (lead == 0xF0) return continuation(at + 1, 0x90) && continuation(at + 2) && continuation(at + 3) ? 4 : 0;
    if (lead >= 0xF1 && lead <= 0xF3)
        return continuation(at + 1) && continuation(at + 2) && continuation(at + 3) ? 4 : 0;
    if (lead == 0xF4) return continuation(at + 1, 0x80, 0x8F) && continuation(at + 2) && continuation(at + 3) ? 4 : 0;
    return 0;
}

bool isControl(char32_t c)
{
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F) || c == 0x2028 || c == 0x2029;
}

// "\xFF" for a byte or a C0 or C1 control, "\u2028" for a wider one.
QString hexEscape(unsigned value)
{
    const bool wide = value > 0xFF;
    return QLatin1String(wide ? "\\u" : "\\x") +
           QString::number(value, 16).toUpper().rightJustified(wide ? 4 : 2, QLatin1Char('0'));
}

}  // namespace

QString argumentText(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        const int length = validSequenceAt(bytes, at);
        if (length == 0) {
            text.append(QChar(char16_t(kEscapedByte + static_cast<unsigned char>(bytes[at]))));
            ++at;
            continue;
        }
        text.append(QString::fromUtf8(bytes.constData() + at, length));
        at += length;
    }
    return text;
}

QByteArray fileSystemName(const QString& name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype run = 0;  // where the text not yet encoded begins
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isEscapedByte(name[i].unicode())) continue;
        bytes.append(name.mid(run, i - run).toUtf8());
        bytes.append(static_cast<char>(name[i].unicode() - kEscapedByte));
        run = i + 1;
    }
    bytes.append(name.mid(run).toUtf8());
    return bytes;
}

QString printableName(const QString& name)
{
    QString shown;
    shown.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (isEscapedByte(c)) {
            shown += hexEscape(c - kEscapedByte);
        } else if (c == '\n') {
            shown += QLatin1String("\\n");
        } else if (c == '\t') {
            shown += QLatin1String("\\t");
        } else if (c == '\r') {
            shown += QLatin1String("\\r");
        } else if (isControl(c)) {
            shown += hexEscape(c);
        } else {
            shown += name[i];
        }
    }
    return shown;
}

}  // namespace vastrel::cli
