// The password rule: typed text (any UTF-16, surrogate halves and NUL included) becomes the
// password field's bytes only when every character has a one-byte form and there are at most
// eight; then the field holds exactly those bytes, zero-padded.
#include "commands/CommandDatagrams.h"
#include "tests/fuzz/FuzzCheck.h"

#include <QString>

#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace vantor;
    QString typed;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        typed.append(QChar(static_cast<char16_t>(data[i] | (data[i + 1] << 8))));

    const std::optional<std::string> bytes = PasswordBytes(typed);
    const bool allSingleByte = std::all_of(typed.begin(), typed.end(), HasSingleBytePasswordForm);
    const bool expected = allSingleByte && static_cast<std::size_t>(typed.size()) <= kPasswordMaxBytes;
    FUZZ_CHECK(bytes.has_value() == expected);
    if (!bytes)
        return 0;
    FUZZ_CHECK(QString::fromLatin1(bytes->data(), static_cast<qsizetype>(bytes->size())) == typed);
    DEVICE_PACKET packet = DEVICE_PACKET::Request(Opcode::SoftReset);
    packet.SetPassword(*bytes);
    const auto field = packet.passwordField();
    for (std::size_t i = 0; i < field.size(); ++i)
        FUZZ_CHECK(field[i] == (i < bytes->size() ? static_cast<std::uint8_t>((*bytes)[i]) : 0));
    // Nothing around the field changes.
    FUZZ_CHECK(packet.bytes[DEVICE_PACKET::kPasswordOffset - 1] == 0 && packet.bytes[50] == 0 && packet.bytes[51] == 0);
    return 0;
}
