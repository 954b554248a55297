// formati.txt as an installation might write it, or damage it.

#include "EditorKind.h"
#include "PresetsTable.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    // The picture's size from the first bytes, the table from the rest.
    const int width = (data[0] << 8 | data[1]) % 32768;
    const int height = (data[2] << 8 | data[3]) % 32768;
    const QByteArray content(reinterpret_cast<const char*>(data + 4), qsizetype(size - 4));
    for (const EditorKind* kind : {&EditorKind::Photo(), &EditorKind::Signature()}) {
        for (const PresetsTable::ScrollValues& v : PresetsTable::MatchingRows(content, width, height, *kind)) {
            if (v.sh < -32768 || v.sh > 32767 || v.sv < -32768 || v.sv > 32767)
                std::abort(); // scroll values stay 16-bit
        }
    }
    return 0;
}
