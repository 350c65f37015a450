#include "osc/oscmessageencoder.h"

#include "osc/oscencoding.h"

namespace tarv::osc {

namespace {

void Append(QByteArray& bytes, const std::vector<std::uint8_t>& encoded)
{
    bytes.append(reinterpret_cast<const char*>(encoded.data()),
                 static_cast<qsizetype>(encoded.size()));
}

void AppendString(const QString& text, std::vector<OscType>& types, QByteArray& bytes)
{
    Append(bytes, EncodeOscString(text.toStdString()));
    types.push_back(OscType::String);
}

} // namespace

void EncodeArgument(const QString& token, std::vector<OscType>& types, QByteArray& bytes)
{
    bool ok = false;
    const int integer = token.toInt(&ok, 10);
    if (ok) {
        Append(bytes, EncodeInt32(integer));
        types.push_back(OscType::Int32);
        return;
    }
    const float real = token.toFloat(&ok);
    if (ok) {
        Append(bytes, EncodeFloat32(real));
        types.push_back(OscType::Float32);
        return;
    }
    AppendString(token, types, bytes);
}

QByteArray EncodeOscMessage(const QString& command)
{
    if (command.isEmpty()) {
        return {};
    }
    const qsizetype blank = command.indexOf(u' ');
    const QString address = blank < 0 ? command : command.left(blank);
    const QString rest = blank < 0 ? QString() : command.mid(blank + 1);

    QByteArray message;
    Append(message, EncodeOscString(address.toStdString()));

    std::vector<OscType> types;
    QByteArray arguments;
    QString token;
    bool inQuotes = false;
    bool atTokenStart = true;
    for (const QChar c : rest) {
        if (c == u' ' && !inQuotes && atTokenStart) {
            continue;
        }
        if (c == u'"' && !inQuotes) {
            inQuotes = true;
            atTokenStart = false;
        } else if (c == u'"') {
            // A closing quote always makes an argument, even an empty one.
            inQuotes = false;
            AppendString(token, types, arguments);
            token.clear();
            atTokenStart = true;
        } else if (c == u' ' && !inQuotes) {
            if (!token.isEmpty()) {
                EncodeArgument(token, types, arguments);
                token.clear();
            }
            atTokenStart = true;
        } else {
            token.append(c);
            atTokenStart = false;
        }
    }
    if (!token.isEmpty()) {
        if (inQuotes) {
            AppendString(token, types, arguments);
        } else {
            EncodeArgument(token, types, arguments);
        }
    }

    // The type-tag string is written even without arguments: liblo-based
    // receivers reject a message that lacks one as invalid.
    Append(message, EncodeOscString(MakeTypeTagString(types)));
    message.append(arguments);
    return message;
}

} // namespace tarv::osc
