#include "protocol/DisplayText.h"

#include <QByteArrayView>
#include <QStringDecoder>

#include <algorithm>

namespace vantor {

QString DisplayTextFromBytes(std::string_view bytes)
{
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    // Plain ASCII is the common case (every cell of the device list): no decoder needed.
    if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return QString::fromLatin1(view);
    // Stateless: a sequence cut off at the end is an error. ConvertInitialBom: a leading
    // byte-order mark is part of the text.
    QStringDecoder decoder(QStringConverter::Utf8,
                           QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(view);
    if (decoder.hasError())
        return QString::fromLatin1(view);
    return text;
}

}  // namespace vantor
