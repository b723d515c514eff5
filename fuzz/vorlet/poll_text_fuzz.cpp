// A polling table's text form, as vorlet-cli reads it from a file and
// polledit from its edit box, in either name encoding, stored and shown again.
#include "vorlet/io/poll/poll_text.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace vorlet::poll;
    static auto record = std::make_unique<vorlet::ParameterRecord>();
    for (NameEncoding encoding : {NameEncoding::Gbk, NameEncoding::Utf8}) {
        const ParsedText parsed = parseTableText(kyvo::ByteView(data, size), encoding);
        if (storeEntries(record->poll, parsed.entries)) (void)tableText(record->poll);
    }
    return 0;
}
