// The reply parser: whatever bytes the link delivers, the search for a valid reply and the
// decoding of readings stay within the buffer.
#include "instrument/Engine.h"
#include "instrument/FrameProtocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    const char address = char(data[0] & 0x07);
    const int length = 10 + (data[1] % 8);
    const QByteArray request = FrameProtocol::request(address, data[2], QByteArray(1, char(data[1])));
    const QByteArray buffer(reinterpret_cast<const char*>(data + 3), int(size - 3));
    const int start = FrameProtocol::findValidReply(buffer, request, length, true);
    if (start >= 0)
        Engine::pdValues(2, buffer.mid(start, length));
    FrameProtocol::findValidReply(buffer, request, length, false);
    return 0;
}
