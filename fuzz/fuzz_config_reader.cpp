// Feeds arbitrary bytes to the .scd reader. The first byte picks the reader's inputs, so the
// gate, the checksum states and the applicability paths are all reached.
#include "files/config_file_reader.h"

#include <QByteArrayView>
#include <QDate>

#include <array>
#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tunekit;
    if (size == 0)
        return 0;
    constexpr std::array<AccessLevel, 4> levels{AccessLevel::level1(), AccessLevel::service(), AccessLevel::production(),
                                                AccessLevel::development()};
    constexpr std::array<int, 4> devices{0, 2, 5, 52};
    const unsigned pick = data[0];
    ReaderInputs inputs;
    inputs.accessLevel = levels[pick & 3u];
    inputs.checksumState = static_cast<ChecksumState>((pick >> 2) % 3u);
    inputs.deviceConfigId = devices[(pick >> 4) & 3u];
    inputs.today = QDate(2024, 3, 9);
    inputs.path = QStringLiteral("C:\\fuzz\\input.scd");
    const QByteArrayView bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

    const ConfigFileContent content = readConfigFile(bytes, inputs);
    const ExtendedDataStore& store = content.extended;
    check(content.description.count(QStringLiteral("\r\n")) <= 6);
    check(store.freqTableLast >= -1 && store.freqTableLast <= 80);
    check(store.interpreterImage.size() <= bytes.size() / 2);
    check(content.refused
          == (inputs.checksumState == ChecksumState::ChecksumNotValid && !inputs.accessLevel.opensFilesWithWrongChecksum()));
    for (int k = 1; k <= ParamCount; ++k)
        check(content.imageValues[k].isEmpty() || content.applicable[k]);

    DeviceImage image;
    image.deviceConfigId = static_cast<qint16>(inputs.deviceConfigId);
    applyConfigFile(image, content);

    // The decoders on their own, fed the raw bytes.
    const QByteArray hex = decodeHexSection(bytes);
    check(hex.size() == (bytes.size() % 2 == 0 ? bytes.size() / 2 : 0));
    const FrequencyTableDecoded table = decodeFrequencyTable(QString::fromLatin1(bytes));
    for (int n = 0; n <= table.lastChannel; ++n)
        check(table.frequencies[static_cast<std::size_t>(n)] >= 1);
    (void)leadingNumber(bytes);
    return 0;
}
