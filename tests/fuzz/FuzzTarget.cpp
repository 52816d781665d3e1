// One libFuzzer target: the build names its entry in ZORBETH_FUZZ_TARGET.
#include "FuzzEntries.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const FuzzEntries::Entry entry = FuzzEntries::find(QStringLiteral(ZORBETH_FUZZ_TARGET))->entry;
    entry(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    return 0;
}
