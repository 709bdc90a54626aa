// Any bytes as an encoded resource: the decoder must end with a result code,
// never read or write out of bounds, and agree with itself on what it reports.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "content/content_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const CodecOutput out = decodeContent(std::span<const std::uint8_t>(data, size));
    if (out.buffer && out.reportedLength != out.size + 2) std::abort();
    if (out.size > DecoderOutputCapacity) std::abort();
    if (out.result == CodecOk && size > 0) {
        // What decodes must encode to a stream that decodes to the same bytes,
        // when it fits the encoder's buffer.
        const CodecOutput again = encodeContent(out.bytes());
        if (again.result == CodecOk) {
            const CodecOutput back = decodeContent(again.bytes());
            if (back.result != CodecOk || back.size != out.size) std::abort();
            for (std::size_t i = 0; i < out.size; ++i) {
                if (back.buffer[i] != out.buffer[i]) std::abort();
            }
        }
    }
    return 0;
}
