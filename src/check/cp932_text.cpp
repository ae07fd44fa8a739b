// Walks code page 932 text character by character, so that one bad byte costs one replacement
// character and never the rest of the line.
#include "cp932_text.h"

#include "setuplist/text.h"

namespace {

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD, spelled in bytes: the sources use CP932

bool is_single_byte_char(unsigned char b) {
  return b < 0x80 || (b >= 0xA1 && b <= 0xDF);
}

bool is_trail_byte(unsigned char b) {
  return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

void replace(Utf8Text* out, size_t offset) {
  if (out->invalid_count++ == 0) out->first_invalid = offset;
  out->text += kReplacement;
}

}  // namespace

Utf8Text decode_cp932(std::string_view bytes, bool more_follows) {
  Utf8Text out;
  out.text.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    auto b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {  // ASCII is itself in both encodings: no need to ask the platform
      out.text += static_cast<char>(b);
      ++i;
      continue;
    }
    bool lead = is_cp932_lead(b);
    bool at_end = i + 1 == bytes.size();
    if (lead && at_end && more_follows) break;
    // A lead byte without a proper second byte is bad on its own; the byte after it is read
    // afresh, so "\x81" followed by "A" still yields the "A".
    bool paired = lead && !at_end && is_trail_byte(static_cast<unsigned char>(bytes[i + 1]));
    size_t len = paired ? 2 : 1;
    bool well_formed = paired || (!lead && is_single_byte_char(b));
    if (!well_formed || !append_cp932_char(bytes.data() + i, len, &out.text)) replace(&out, i);
    i += len;
  }
  out.consumed = i;
  return out;
}

std::string cp932_to_utf8(std::string_view bytes) {
  return decode_cp932(bytes).text;
}
